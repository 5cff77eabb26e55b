#include "files/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <streambuf>
#include <system_error>
#include <thread>

#include "files/system_calls.h"
#include "model/error.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const fs::path& target, int err) {
  throw FileWriteError(target.string(), err);
}

// The permissions a newly created file gets: 0666 less the process's umask, read from
// /proc so that no thread has to change the umask to learn it.
mode_t NewFileMode() {
  static const mode_t mode = [] {
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("Umask:", 0) == 0) mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

}  // namespace

// Buffers output and writes it to the temporary's descriptor; a failed write throws,
// which the stream passes on because badbit is in its exception mask.
class PrivateFile::Buffer : public std::streambuf {
 public:
  Buffer(int fd, const fs::path& target) : fd_(fd), target_(target) { setp(data_.data(), data_.data() + data_.size()); }

  size_t written() const { return written_ + static_cast<size_t>(pptr() - pbase()); }

  void Drain() {
    const char* p = pbase();
    size_t left = static_cast<size_t>(pptr() - pbase());
    while (left > 0) {
      ssize_t n = FileCalls().write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        setp(data_.data(), data_.data() + data_.size());
        Fail(target_, err);
      }
      p += n;
      left -= static_cast<size_t>(n);
      written_ += static_cast<size_t>(n);
    }
    setp(data_.data(), data_.data() + data_.size());
  }

 protected:
  int_type overflow(int_type c) override {
    Drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    Drain();
    return 0;
  }

 private:
  int fd_;
  size_t written_ = 0;
  const fs::path& target_;
  std::array<char, 1 << 16> data_;
};

PrivateFile::PrivateFile(fs::path target) : target_(std::move(target)) {
  fs::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  // A name the folder cannot hold, or a folder at the name, would only fail at the rename,
  // after other files of the same write had been moved into place: found here instead.
  const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (target_.filename().string().size() > static_cast<size_t>(nameMax > 0 ? nameMax : 255)) Fail(target_, ENAMETOOLONG);
  struct stat existing {};
  if (::lstat(target_.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) Fail(target_, EISDIR);
  std::string name = (folder / TemporaryPrefix).string() + std::to_string(::getpid()) + "-XXXXXX" + TemporarySuffix;
  // mkostemps creates the name with O_CREAT | O_EXCL and mode 0600, retrying other names
  // while one exists; O_EXCL never follows a symlink.
  fd_ = ::mkostemps(name.data(), static_cast<int>(std::strlen(TemporarySuffix)), O_CLOEXEC);
  if (fd_ < 0) Fail(target_, errno);
  temporary_ = name;
  buffer_ = std::make_unique<Buffer>(fd_, target_);
  stream_ = std::make_unique<std::ostream>(buffer_.get());
  stream_->exceptions(std::ios::badbit);
}

PrivateFile::~PrivateFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void PrivateFile::Finish() {
  if (finished_ || fd_ < 0) return;
  buffer_->Drain();
  // An existing regular file keeps its permissions; a new one gets the usual ones.
  struct stat old {};
  mode_t mode = NewFileMode();
  if (::lstat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) mode = old.st_mode & 07777;
  if (::fchmod(fd_, mode) != 0) Fail(target_, errno);
  // Starts the disk on the content now, so that files finished one after the other are
  // written together and a later Sync mostly finds the work done. Only a hint: whatever
  // fails here fails again, and is reported, in Sync. Linux only (the page's WebAssembly
  // build keeps its files in memory).
#ifdef __linux__
  ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  finished_ = true;
}

int PrivateFile::TrySync() noexcept {
  if (synced_) return 0;
  if (fd_ < 0) return syncError_ != 0 ? syncError_ : EBADF;  // failed before, or closed unsynced
  const FileSystemCalls& calls = FileCalls();
  int err = calls.fileSync(fd_) != 0 ? errno : 0;
  if (calls.close(fd_) != 0 && err == 0) err = errno;
  fd_ = -1;
  synced_ = err == 0;
  syncError_ = err;
  return err;
}

void PrivateFile::Sync() {
  Finish();
  if (const int err = TrySync()) Fail(target_, err);
}

size_t PrivateFile::size() const { return buffer_ ? buffer_->written() : 0; }

void PrivateFile::Close() {
  if (fd_ < 0 || synced_) return;
  buffer_->Drain();  // no permissions or disk start: the file is not kept
  const int result = FileCalls().close(fd_);
  fd_ = -1;
  if (result != 0) Fail(target_, errno);
}

void PrivateFile::Rename() {
  if (committed_) return;
  Sync();
  if (FileCalls().rename(temporary_.c_str(), target_.c_str()) != 0) Fail(target_, errno);
  committed_ = true;
}

void PrivateFile::Commit() { CommitFiles({this}); }

namespace {

fs::path FolderOf(const fs::path& file) {
  fs::path folder = file.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// Groups whose content adds up to no more than this are synced one file after the other
// on the calling thread. Finish has already started the disk on every file, so the first
// sync's journal commit takes the others' new sizes and blocks along and the later syncs
// find little left to wait for; starting threads would cost more than it saves.
constexpr size_t SmallGroupBytes = size_t{1} << 20;

// Waits for the disk on all files. A large group waits on all at once, each file on its own
// thread (a few at most): file systems join syncs that wait at the same time into one
// journal commit and one cache flush, where syncs one after the other of large files pay
// for one each (see bench/file_commit_bench.cpp). Returns each file's error number, 0 for
// success.
std::vector<int> SyncAll(const std::vector<PrivateFile*>& files) {
  constexpr size_t MaxThreads = 8;
  std::vector<int> errors(files.size(), 0);
  size_t bytes = 0;
  for (const PrivateFile* file : files) bytes += file->size();
  if (bytes <= SmallGroupBytes) {
    for (size_t i = 0; i < files.size(); ++i) errors[i] = files[i]->TrySync();
    return errors;
  }
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < files.size(); i = next++) errors[i] = files[i]->TrySync();
  };
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < std::min(files.size(), MaxThreads); ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: fewer do the same work
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  return errors;
}

}  // namespace

void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail(folder, errno);
  int err = 0;
  // EINVAL: a file system that has nothing to sync for a folder.
  if (FileCalls().folderSync(fd) != 0 && errno != EINVAL) err = errno;
  ::close(fd);
  if (err != 0) Fail(folder, err);
}

void CommitFiles(const std::vector<PrivateFile*>& files, const std::function<void(const PrivateFile&)>& before,
                 const std::function<void(const PrivateFile&)>& after) {
  for (PrivateFile* file : files) {
    if (before) before(*file);
    file->Finish();
  }
  // All on the disk before any is renamed: a failure here leaves every target as it was.
  const std::vector<int> errors = SyncAll(files);
  for (size_t i = 0; i < files.size(); ++i) {
    if (errors[i] == 0) continue;
    if (before) before(*files[i]);
    Fail(files[i]->target(), errors[i]);
  }
  std::vector<fs::path> folders;
  // The folders of the files already in place are synced even when a later file fails.
  auto syncFolders = [&] {
    for (const fs::path& folder : folders) SyncFolder(folder);
  };
  try {
    for (PrivateFile* file : files) {
      if (before) before(*file);
      file->Rename();
      const fs::path folder = FolderOf(file->target());
      if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
      if (after) after(*file);
    }
  } catch (const FileWriteError&) {
    try {
      syncFolders();
    } catch (const FileWriteError&) {
      // The first failure is the one reported.
    }
    throw;
  }
  syncFolders();
}

void ReplaceFileWith(const fs::path& path, const std::string& text) {
  PrivateFile file(path);
  file.stream().write(text.data(), static_cast<std::streamsize>(text.size()));
  file.Commit();
}

}  // namespace kelmor
