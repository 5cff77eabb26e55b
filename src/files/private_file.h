#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

namespace kelmor {

// A file being written under a private temporary name beside its target and moved over
// the target only when complete, so that the target always holds a whole file: the
// previous one or the new one, never a mixture or a fragment.
//
// The temporary is created exclusively (an existing name, a planted symlink included,
// is never opened) with owner-only access, and named ".kelmor-PID-XXXXXX.tmp" so that a
// later run can recognise and remove the temporaries of a killed one. The rename replaces
// whatever sits at the target's name, a symlink included, without following it.
//
// Any failure (creating, writing, flushing, renaming) throws FileWriteError naming the
// target; a name too long for the folder or a folder at the name fail at creation. A file dropped before Commit removes its temporary.
class PrivateFile {
 public:
  explicit PrivateFile(std::filesystem::path target);
  ~PrivateFile();
  PrivateFile(const PrivateFile&) = delete;
  PrivateFile& operator=(const PrivateFile&) = delete;

  // The stream to write to. A failed write throws out of the stream operation itself.
  std::ostream& stream() { return *stream_; }
  // Writes out everything buffered and closes the temporary.
  void Finish();
  // Finishes, gives the file the target's permissions and renames it over the target.
  void Commit();

  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& temporary() const { return temporary_; }

 private:
  class Buffer;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool committed_ = false;
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::ostream> stream_;
};

// The prefix and suffix of every temporary name (see PrivateFile).
inline constexpr const char* TemporaryPrefix = ".kelmor-";
inline constexpr const char* TemporarySuffix = ".tmp";

// Writes text to path through a PrivateFile. Throws FileWriteError.
void ReplaceFileWith(const std::filesystem::path& path, const std::string& text);

}  // namespace kelmor
