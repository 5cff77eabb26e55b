#include "settings/path_kind.h"

#include <sys/stat.h>

#include <cerrno>

namespace kelmor {

std::string NonFileKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ELOOP ? "a loop of symbolic links" : std::string();
  if (S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return "a folder";
  if (S_ISFIFO(st.st_mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  return "not a regular file";
}

}  // namespace kelmor
