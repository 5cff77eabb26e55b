#include "batch/batch_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace kelmor {

namespace {

// The process id the holder wrote into the lock file, or "" when there is none yet (the
// holder may be between taking the lock and writing it).
std::string HolderOf(int fd) {
  char text[32] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  std::string pid = n > 0 ? std::string(text, static_cast<size_t>(n)) : "";
  while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
  return pid.find_first_not_of("0123456789") == std::string::npos ? pid : "";
}

}  // namespace

BatchLock::~BatchLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::optional<std::string> BatchLock::acquire(const std::filesystem::path& folder, LockProblem& problem) {
  problem = LockProblem::Failed;
  const std::filesystem::path path = folder / BatchLockName;
  // Close-on-exec: a program the batch starts must not keep the folder locked after it.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0)
    return "cannot lock the batch folder '" + folder.string() + "': " + path.string() + ": " +
           std::strerror(errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) < 0) {
    const int error = errno;
    const std::string holder = error == EWOULDBLOCK ? HolderOf(fd) : "";
    ::close(fd);
    if (error == ENOLCK || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL) {
      problem = LockProblem::Unsupported;
      return "the batch folder '" + folder.string() + "' cannot be locked on this file system (" +
             std::strerror(error) + "); make sure no other batch writes into it";
    }
    if (error != EWOULDBLOCK)
      return "cannot lock the batch folder '" + folder.string() + "': " + std::strerror(error);
    problem = LockProblem::Busy;
    return "the batch folder '" + folder.string() + "' is in use by another batch (" +
           (holder.empty() ? std::string("process id not yet known") : "process " + holder) +
           "); wait for it to end, or give another --out";
  }
  const std::string pid = std::to_string(::getpid()) + "\n";
  // The id is only for messages: a failure to record it does not stop the batch.
  static_cast<void>(::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) > 0);
  fd_ = fd;
  problem = LockProblem::None;
  return std::nullopt;
}

}  // namespace kelmor
