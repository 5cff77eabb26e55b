#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

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
// A committed file is durable: its content reaches the disk before the rename, and the
// folder's names are synced after it (see CommitFiles for several files at once, which
// wait for the disk once for all of them instead of once a file).
//
// Any failure (creating, writing, flushing, syncing, renaming) throws FileWriteError
// naming the target; a name too long for the folder or a folder at the name fail at
// creation. A file dropped before Commit removes its temporary.
class PrivateFile {
 public:
  explicit PrivateFile(std::filesystem::path target);
  ~PrivateFile();
  PrivateFile(const PrivateFile&) = delete;
  PrivateFile& operator=(const PrivateFile&) = delete;

  // The stream to write to. A failed write throws out of the stream operation itself.
  std::ostream& stream() { return *stream_; }
  // Writes out everything buffered, gives the file the target's permissions and starts
  // writing it to the disk without waiting; the temporary stays open for Sync or Close.
  void Finish();
  // Finishes and waits until the content is on the disk; closes the temporary.
  void Sync();
  // Waits until the finished content is on the disk and closes the temporary; returns 0
  // or the error number instead of throwing (safe on another thread than the writer's,
  // one thread a file). A failed or skipped sync keeps failing.
  int TrySync() noexcept;
  // Writes out everything buffered and closes the temporary without starting or waiting
  // for the disk (a file that is not kept: the content and the space it needs have still
  // been handed to the file system).
  void Close();
  // Syncs and renames the file over the target; the folder itself is not synced (see
  // CommitFiles and SyncFolder).
  void Rename();
  // Rename, then the target's folder synced: the file is in place for good.
  void Commit();

  const std::filesystem::path& target() const { return target_; }
  // The bytes written to the stream so far.
  size_t size() const;
  const std::filesystem::path& temporary() const { return temporary_; }

 private:
  class Buffer;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool finished_ = false;
  bool synced_ = false;
  int syncError_ = 0;
  bool committed_ = false;
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::ostream> stream_;
};

// The prefix and suffix of every temporary name (see PrivateFile).
inline constexpr const char* TemporaryPrefix = ".kelmor-";
inline constexpr const char* TemporarySuffix = ".tmp";

// Makes the names in a folder durable (the renames and new entries in it survive a
// crash). File systems that cannot sync a folder are taken as done. Throws
// FileWriteError naming the folder.
void SyncFolder(const std::filesystem::path& folder);

// Commits several files at once: every file is finished first (the disk starts on all of
// them), then all are synced at the same time, then renamed into place in the given
// order, then each distinct folder is synced once. Waiting for the disk once for a group
// instead of once a file is what makes writing a run's files cheap. before(file) is called before each
// file's sync and rename (a failure then concerns that file), after(file) once it is in
// place. A failure throws FileWriteError: one while syncing leaves every target as it
// was; one while renaming keeps (and syncs) the files moved before it.
void CommitFiles(const std::vector<PrivateFile*>& files,
                 const std::function<void(const PrivateFile&)>& before = {},
                 const std::function<void(const PrivateFile&)>& after = {});

// Writes text to path through a PrivateFile and commits it. Throws FileWriteError.
void ReplaceFileWith(const std::filesystem::path& path, const std::string& text);

}  // namespace kelmor
