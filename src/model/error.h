#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

namespace kelmor {

// Platform error numbers the run's error handler knows.
enum ErrorCode : int {
  ErrInvalidCall = 5,
  ErrOverflow = 6,
  ErrSubscript = 9,
  ErrZeroDivide = 11,
  ErrTypeMismatch = 13,
  ErrBadFileName = 52,
  ErrFileOpen = 55,
  ErrPastEnd = 62,
  ErrDevice = 68,
  ErrPathAccess = 75,
  ErrPathNotFound = 76,
  ErrInvalidProperty = 380,
};

// A run-time failure inside a run. It carries the error number; the handler of the
// run sequence turns it into the system's message and resumes or abandons the run.
class KelmorError : public std::runtime_error {
 public:
  explicit KelmorError(int code, std::string detail = {})
      : std::runtime_error("Kelmor error " + std::to_string(code) +
                           (detail.empty() ? std::string() : ": " + detail)),
        code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

[[noreturn]] inline void raiseError(int code, std::string detail = {}) {
  throw KelmorError(code, std::move(detail));
}

// A file that could not be written (created, filled, flushed or moved into place). It
// is error 76 to the run's handler, with the file's name and the system's reason kept for
// the message that ends the run.
class FileWriteError : public KelmorError {
 public:
  FileWriteError(std::string path, int errnum)
      : KelmorError(ErrPathNotFound, path + ": " + std::strerror(errnum)),
        path_(std::move(path)),
        reason_(std::strerror(errnum)),
        errnum_(errnum) {}
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }
  int errnum() const { return errnum_; }

 private:
  std::string path_;
  std::string reason_;
  int errnum_;
};

// Thrown to end a run at once (an abandoning error, or a failure the code detects itself
// after its message has been shown). Carries no message: it has already been shown.
struct RunAbandoned {
  bool byError = true;  // false: a detected failure ended the run (status 1, not 3)
  bool writeFailed = false;  // an output file could not be written
};

}  // namespace kelmor
