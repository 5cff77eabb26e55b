#include "render/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kelmor::render {

namespace {

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

std::string Megabytes(size_t bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB"; }

std::optional<std::string> StatProblem(const std::string& path, const struct stat& st, size_t limit) {
  if (!S_ISREG(st.st_mode)) return "'" + path + "' is " + KindOf(st.st_mode) + ", not a file Kelmor can draw";
  if (static_cast<unsigned long long>(st.st_size) > limit)
    return "'" + path + "' is " + Megabytes(static_cast<size_t>(st.st_size)) + ", more than the " +
           Megabytes(limit) + " Kelmor reads of one file";
  return std::nullopt;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> FileProblem(const std::string& path, size_t limit) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "cannot open '" + path + "': " + std::strerror(errno);
  return StatProblem(path, st, limit);
}

std::optional<std::string> ReadBoundedFile(const std::string& path, std::string& text, size_t limit) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer; the kind is checked on the open
  // file, so that what is read is what was checked.
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return "cannot open '" + path + "': " + std::strerror(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return "cannot read '" + path + "': " + std::strerror(errno);
  if (auto problem = StatProblem(path, st, limit)) return problem;
  text.clear();
  char block[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return "cannot read '" + path + "': " + std::strerror(errno);
    if (n == 0) break;
    // A file that grows while it is read stops at the limit like one that was too large.
    if (text.size() + static_cast<size_t>(n) > limit)
      return "'" + path + "' grew past the " + Megabytes(limit) + " Kelmor reads of one file";
    text.append(block, static_cast<size_t>(n));
  }
  return std::nullopt;
}

}  // namespace kelmor::render
