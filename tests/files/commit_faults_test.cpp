// The commit under a failing disk: each system call it makes is made to fail in turn, or
// recorded, through the files layer's table of calls. Whatever fails, every target holds a
// whole file (its old one, or its new one where the rename had already happened), the
// failure is reported naming the file or folder, and no temporary is left behind; the
// content reaches the disk before its name does, and the names before the folder is synced.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/private_file.h"
#include "files/system_calls.h"
#include "model/error.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::WriteAll;

// What the recording calls do: which call fails (its name and the how-manieth), and
// the calls seen so far, each as "name target" with the target's file name.
struct Script {
  std::string failing;  // "write", "fileSync", "close", "rename", "folderSync" or empty
  int failAt = 1;       // the how-manieth call of that name fails
  int errnum = EIO;
  size_t writeChunk = 0;  // above 0: each write takes at most this many bytes
  bool interruptFirstWrite = false;
  std::mutex lock;
  std::map<std::string, int> counts;
  std::vector<std::string> log;
  std::vector<std::thread::id> syncThreads;
};
Script* script = nullptr;

std::string NameOfDescriptor(int fd) {
  std::error_code ec;
  return fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec).filename().string();
}

// Records the call and says whether it is the one to fail (errno then set).
bool Fails(const std::string& call, const std::string& what) {
  std::lock_guard<std::mutex> hold(script->lock);
  script->log.push_back(call + " " + what);
  if (call != script->failing || ++script->counts[call] != script->failAt) return false;
  errno = script->errnum;
  return true;
}

const FileSystemCalls Recording{
    [](int fd, const void* data, size_t size) -> ssize_t {
      if (script->writeChunk > 0) {  // short writes, not recorded
        if (script->interruptFirstWrite && script->counts["interrupted"]++ == 0) {
          errno = EINTR;
          return -1;
        }
        return FileCallsOverride::Real().write(fd, data, std::min(size, script->writeChunk));
      }
      return Fails("write", NameOfDescriptor(fd)) ? -1 : FileCallsOverride::Real().write(fd, data, size);
    },
    [](int fd) {
      {
        std::lock_guard<std::mutex> hold(script->lock);
        script->syncThreads.push_back(std::this_thread::get_id());
      }
      return Fails("fileSync", NameOfDescriptor(fd)) ? -1 : FileCallsOverride::Real().fileSync(fd);
    },
    [](int fd) {
      const bool fail = Fails("close", NameOfDescriptor(fd));
      const int result = FileCallsOverride::Real().close(fd);  // closed either way, as close(2) does
      if (fail) errno = script->errnum;
      return fail ? -1 : result;
    },
    [](const char* from, const char* to) {
      return Fails("rename", fs::path(to).filename().string()) ? -1 : FileCallsOverride::Real().rename(from, to);
    },
    [](int fd) { return Fails("folderSync", NameOfDescriptor(fd)) ? -1 : FileCallsOverride::Real().folderSync(fd); },
};

class CommitFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "out");
    fs::create_directories(dir_ / "other");
    script_ = std::make_unique<Script>();
    script = script_.get();
  }
  void TearDown() override { script = nullptr; }
  std::vector<std::string> Temporaries() {
    std::vector<std::string> found;
    for (const fs::path& folder : {dir_ / "out", dir_ / "other"})
      for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind(TemporaryPrefix, 0) == 0) found.push_back(e.path().string());
    return found;
  }
  // Commits new contents over old ones at the given names under the recording calls;
  // returns the error it ended in (errnum 0 and an empty path for none).
  std::pair<int, std::string> CommitOver(const std::vector<fs::path>& targets, size_t size = 40) {
    std::vector<std::unique_ptr<PrivateFile>> files;
    std::vector<PrivateFile*> group;
    for (const fs::path& t : targets) {
      WriteAll(t, "old " + t.filename().string());
      files.push_back(std::make_unique<PrivateFile>(t));
      group.push_back(files.back().get());
    }
    FileCallsOverride recorded(Recording);
    try {
      for (size_t i = 0; i < targets.size(); ++i) files[i]->stream() << New(targets[i], size);
      CommitFiles(group);
      return {0, ""};
    } catch (const FileWriteError& e) {
      return {e.errnum(), e.path()};
    }
  }
  static std::string New(const fs::path& target, size_t size) {
    std::string text = "new " + target.filename().string() + " ";
    while (text.size() < size) text += static_cast<char>('a' + text.size() % 26);
    return text;
  }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
  std::unique_ptr<Script> script_;
};

TEST_F(CommitFaults, EveryFailingCallIsReportedAndLeavesWholeFiles) {
  struct Case {
    const char* failing;
    int failAt;
    int errnum;
    int reported;  // index of the target the failure names; 3: the folder
    int renamed;   // how many targets hold their new content afterwards
  } cases[] = {
      {"write", 1, ENOSPC, 0, 0},      {"write", 3, EDQUOT, 2, 0},  {"fileSync", 1, EIO, 0, 0},
      {"fileSync", 2, EIO, 1, 0},      {"close", 3, EIO, 2, 0},     {"rename", 1, EACCES, 0, 0},
      {"rename", 2, EXDEV, 1, 1},      {"rename", 3, EIO, 2, 2},    {"folderSync", 1, EIO, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.failing) + " #" + std::to_string(c.failAt));
    SetUp();
    script->failing = c.failing;
    script->failAt = c.failAt;
    script->errnum = c.errnum;
    const std::vector<fs::path> targets = {dir_ / "out" / "cube.off", dir_ / "out" / "cube_solid.wrl",
                                           dir_ / "out" / "cube_anim.wrl"};
    const auto [errnum, path] = CommitOver(targets);
    EXPECT_EQ(errnum, c.errnum);
    EXPECT_EQ(path, c.reported < 3 ? targets[static_cast<size_t>(c.reported)].string() : (dir_ / "out").string());
    for (size_t i = 0; i < targets.size(); ++i)
      EXPECT_EQ(ReadAll(targets[i]), static_cast<int>(i) < c.renamed ? New(targets[i], 40) : "old " + targets[i].filename().string())
          << targets[i];
    EXPECT_EQ(Temporaries(), std::vector<std::string>{});
    // Files moved into place before a failed rename are still made durable.
    const bool folderSynced = std::count(script->log.begin(), script->log.end(), "folderSync out") > 0;
    EXPECT_EQ(folderSynced, c.renamed > 0);
    TearDown();
  }
}

TEST_F(CommitFaults, ContentReachesTheDiskBeforeItsNameAndTheNamesBeforeTheFolder) {
  const std::vector<fs::path> targets = {dir_ / "out" / "a.wrl", dir_ / "other" / "b.wrl", dir_ / "out" / "c.off"};
  ASSERT_EQ(CommitOver(targets).first, 0);
  const std::vector<std::string>& log = script->log;
  auto at = [&](const std::string& entry) {
    const auto it = std::find(log.begin(), log.end(), entry);
    EXPECT_NE(it, log.end()) << entry << " never came";
    return it - log.begin();
  };
  auto all = [&](const std::string& call) {
    std::vector<long> found;
    for (size_t i = 0; i < log.size(); ++i)
      if (log[i].rfind(call + " ", 0) == 0) found.push_back(static_cast<long>(i));
    return found;
  };
  const std::vector<long> syncs = all("fileSync"), closes = all("close"), renames = all("rename"),
                          folders = all("folderSync");
  ASSERT_EQ(syncs.size(), 3u);
  ASSERT_EQ(closes.size(), 3u);
  ASSERT_EQ(renames.size(), 3u);
  // One sync for each distinct folder, after every name is in place.
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_GE(at("folderSync other"), 0);
  EXPECT_LT(*std::max_element(syncs.begin(), syncs.end()), renames.front());
  EXPECT_LT(*std::max_element(closes.begin(), closes.end()), renames.front());
  EXPECT_LT(renames.back(), folders.front());
  EXPECT_EQ(renames, (std::vector<long>{at("rename a.wrl"), at("rename b.wrl"), at("rename c.off")}));
  for (const fs::path& t : targets) EXPECT_EQ(ReadAll(t), New(t, 40));
}

TEST_F(CommitFaults, ASingleFileIsSyncedRenamedAndItsFolderSyncedInThatOrder) {
  WriteAll(dir_ / "out" / "kelmor.ini", "old");
  {
    FileCallsOverride recorded(Recording);
    ReplaceFileWith(dir_ / "out" / "kelmor.ini", "new");
  }
  ASSERT_EQ(script->log.size(), 5u);
  EXPECT_EQ(script->log[0].rfind("write .kelmor-", 0), 0u) << script->log[0];
  EXPECT_EQ(script->log[1].rfind("fileSync .kelmor-", 0), 0u) << script->log[1];
  EXPECT_EQ(script->log[2].rfind("close .kelmor-", 0), 0u) << script->log[2];
  EXPECT_EQ(script->log[3], "rename kelmor.ini");
  EXPECT_EQ(script->log[4], "folderSync out");
  EXPECT_EQ(ReadAll(dir_ / "out" / "kelmor.ini"), "new");
}

// Writes that take only part of what they are given, or are interrupted, are carried on
// until everything is written.
TEST_F(CommitFaults, ShortAndInterruptedWritesStillWriteEverything) {
  const size_t sizes[] = {1, 7, 4096};
  for (size_t chunk : sizes) {
    SCOPED_TRACE(chunk);
    script->counts.clear();
    script->writeChunk = chunk;
    script->interruptFirstWrite = true;
    const fs::path target = dir_ / "out" / "big.wrl";
    ASSERT_EQ(CommitOver({target}, 70000).first, 0);  // more than the stream's buffer
    EXPECT_EQ(ReadAll(target), New(target, 70000));
  }
}

// A run's few small files are synced one after the other on the committing thread; a
// large group still gets every file synced and in place.
TEST_F(CommitFaults, SmallGroupsAreSyncedWithoutThreadsAndLargeOnesCompletely) {
  const std::vector<fs::path> targets = {dir_ / "out" / "a.wrl", dir_ / "out" / "b.wrl", dir_ / "out" / "c.wrl",
                                         dir_ / "out" / "d.wrl"};
  ASSERT_EQ(CommitOver(targets, 3000).first, 0);
  ASSERT_EQ(script->syncThreads.size(), targets.size());
  for (const std::thread::id& id : script->syncThreads) EXPECT_EQ(id, std::this_thread::get_id());

  script->syncThreads.clear();
  ASSERT_EQ(CommitOver(targets, 600000).first, 0);
  EXPECT_EQ(script->syncThreads.size(), targets.size());
  for (const fs::path& t : targets) EXPECT_EQ(ReadAll(t), New(t, 600000));
}

}  // namespace
}  // namespace kelmor
