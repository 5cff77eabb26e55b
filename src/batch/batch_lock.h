#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kelmor {

// Why a batch folder could not be locked.
enum class LockProblem {
  None,
  Busy,         // another process holds it
  Unsupported,  // the file system has no flock (some cluster file systems): the batch may go on
  Failed,       // the lock file cannot be made
};

// An exclusive hold on a batch's folder for as long as the batch runs: a lock file in the
// folder locked with flock, which the kernel releases when the process ends however it
// ends, so a killed batch never leaves the folder locked. The file holds the holder's
// process id for the message a second batch gets; it is never removed (removing it would
// let two processes lock two different files of the same name).
class BatchLock {
 public:
  BatchLock() = default;
  ~BatchLock();
  BatchLock(const BatchLock&) = delete;
  BatchLock& operator=(const BatchLock&) = delete;

  // Takes the folder's lock without waiting. Returns the reason when another process holds
  // it (naming that process), the file system cannot lock, or the lock file cannot be made;
  // `problem` tells which.
  std::optional<std::string> acquire(const std::filesystem::path& folder, LockProblem& problem);

 private:
  int fd_ = -1;
};

// The lock file's name in a batch folder.
inline constexpr const char* BatchLockName = ".kelmor-batch.lock";

}  // namespace kelmor
