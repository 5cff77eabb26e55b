#include "files/output_folder.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/stale_temporaries.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

// The smallest file every folder must take; a run's smallest file is larger.
constexpr rlim_t SmallestFile = 512;

// The error number that writing the smallest file would end in, found without writing
// one: the process's file-size limit (whose signal would otherwise end the run at its
// first write), the folder's permissions for this process (a read-only file system and
// an immutable folder included) and a file system without a free block or file. Anything
// else the writes themselves report, and the commit then leaves every old file whole.
int WhyNotWritable(const fs::path& folder, bool lookAtFolder) {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < SmallestFile)
    return EFBIG;
  if (!lookAtFolder) return 0;
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return errno;
  struct statvfs space {};
  if (::statvfs(folder.c_str(), &space) != 0) return 0;  // no figures: the writes will tell
  // Root may still use the blocks kept back for it. File systems that keep no count
  // (zero totals) are left to the writes.
  const fsblkcnt_t blocks = ::geteuid() == 0 ? space.f_bfree : space.f_bavail;
  if ((space.f_blocks > 0 && blocks == 0) || (space.f_files > 0 && space.f_favail == 0)) return ENOSPC;
  return 0;
}

}  // namespace

OutputFolderCheck CheckOutputFolder(const fs::path& folder, bool create, bool tryWriting) {
  OutputFolderCheck check;
  const std::string name = "output folder '" + folder.string() + "'";
  std::error_code ec;
  const fs::file_status status = fs::status(folder, ec);
  if (status.type() == fs::file_type::not_found && create) {
    fs::path parent = fs::absolute(folder, ec).parent_path();
    if (!fs::is_directory(parent, ec)) {
      check.problem = name + " does not exist, nor does the folder it would be made in";
      return check;
    }
    if (!fs::create_directory(folder, ec) || ec) {
      check.problem = name + " cannot be made: " + ec.message();
      return check;
    }
    check.created = true;
  } else if (status.type() == fs::file_type::not_found) {
    check.problem = name + " does not exist";
    return check;
  } else if (status.type() != fs::file_type::directory) {
    check.problem = name + " is not a folder";
    return check;
  }
  if (!check.created) RemoveStaleTemporaries(folder);  // a folder just made holds none
  if (const int err = WhyNotWritable(folder, tryWriting && !check.created))
    check.problem = name + " cannot be written: " + std::strerror(err);
  return check;
}

}  // namespace kelmor
