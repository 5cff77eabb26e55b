#include "run/debug_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "files/private_file.h"
#include "model/numtext.h"
#include "model/error.h"

namespace kelmor {

ListLine& ListLine::operator<<(double value) {
  text_ += BareNumber(value);
  return *this;
}

void DebugFile::Create(const std::string& path) {
  path_ = path;
  // Made whole under a private name and moved into place: a symlink planted at the name
  // is replaced, never followed.
  ReplaceFileWith(path, "KELMOR Debug File\r\n" + path + "\r\n" + " \r\n");
  on_ = true;
}

void DebugFile::Line(std::string_view text) {
  if (!on_) return;
  const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  std::string line(text);
  line += "\r\n";
  size_t done = 0;
  int err = fd < 0 ? errno : 0;
  while (err == 0 && done < line.size()) {
    ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) err = errno;
    else done += static_cast<size_t>(n);
  }
  if (fd >= 0) ::close(fd);
  if (err != 0) {
    // Reported once: the file stays off for the rest of the run.
    on_ = false;
    raiseError(ErrPathNotFound, path_);
  }
}

}  // namespace kelmor
