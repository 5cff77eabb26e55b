#pragma once

#include <sys/types.h>

namespace kelmor {

// The system calls through which a committed file reaches the disk, in one table so that
// a test can make any of them fail, or record the order in which they come, without a
// failing disk. The program itself only ever uses the real calls.
struct FileSystemCalls {
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fileSync)(int fd);    // a file's content (and size) on the disk
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*folderSync)(int fd);  // a folder's names on the disk
};

// The table in force: the real calls unless a FileCallsOverride is alive.
const FileSystemCalls& FileCalls();

// Puts another table in force for its lifetime (tests only: one at a time, and no files
// being written on other threads while it is made or dropped). The table must outlive it.
class FileCallsOverride {
 public:
  explicit FileCallsOverride(const FileSystemCalls& calls);
  ~FileCallsOverride();
  FileCallsOverride(const FileCallsOverride&) = delete;
  FileCallsOverride& operator=(const FileCallsOverride&) = delete;

  // The real calls, for a replacement that fails some and passes the rest on.
  static const FileSystemCalls& Real();

 private:
  const FileSystemCalls* previous_;
};

}  // namespace kelmor
