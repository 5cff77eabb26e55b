// The file layer: whole files or none, private temporaries, names never followed, stale
// temporaries of killed runs removed and live ones kept.
#include "files/private_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/output_folder.h"
#include "files/stale_temporaries.h"
#include "model/error.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::WriteAll;

class FileLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "inside");
    fs::create_directories(dir_ / "outside");
  }
  // Names in a folder, sorted.
  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // A process id that no process has any more.
  static long DeadPid() {
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
  }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(FileLayer, ReplacesWhateverIsAtTheNameWithoutFollowingIt) {
  const fs::path in = dir_ / "inside", out = dir_ / "outside";
  WriteAll(out / "precious.txt", "precious");
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> plant;
  } cases[] = {
      {"nothing", [](const fs::path&) {}},
      {"an old file", [](const fs::path& p) { WriteAll(p, "old file, longer than the new one"); }},
      {"a symlink to a file outside", [&](const fs::path& p) { fs::create_symlink(out / "precious.txt", p); }},
      {"a dangling symlink", [&](const fs::path& p) { fs::create_symlink(out / "nothing_here.txt", p); }},
      {"a symlink to a folder", [&](const fs::path& p) { fs::create_directory_symlink(out, p); }},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path target = in / ("file" + std::to_string(++n) + ".wrl");
    c.plant(target);
    ReplaceFileWith(target, "new");
    EXPECT_FALSE(fs::is_symlink(target)) << c.what;
    EXPECT_EQ(ReadAll(target), "new") << c.what;
  }
  EXPECT_EQ(ReadAll(out / "precious.txt"), "precious");
  EXPECT_FALSE(fs::exists(out / "nothing_here.txt"));
  EXPECT_EQ(Names(out), std::vector<std::string>{"precious.txt"});
}

TEST_F(FileLayer, UnfinishedFilesLeaveTheOldOneAndNoTemporary) {
  const fs::path target = dir_ / "inside" / "cube.off";
  WriteAll(target, "old");
  {
    PrivateFile file(target);
    file.stream() << std::string(200000, 'x');  // past the buffer: some of it is on disk
    EXPECT_TRUE(fs::exists(file.temporary()));
    EXPECT_EQ(fs::status(file.temporary()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  }
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_EQ(Names(dir_ / "inside"), std::vector<std::string>{"cube.off"});
}

TEST_F(FileLayer, KeepsTheModeOfTheFileItReplaces) {
  const fs::path target = dir_ / "inside" / "cube.off";
  WriteAll(target, "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ReplaceFileWith(target, "new");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileLayer, NamesThatCannotBeWrittenFailAtOnceNamingTheFile) {
  const fs::path in = dir_ / "inside";
  fs::create_directory(in / "taken.wrl");
  struct Case {
    fs::path target;
    int errnum;
  } cases[] = {
      {in / (std::string(256, 'n') + ".wrl"), ENAMETOOLONG},
      {in / "taken.wrl", EISDIR},
      {dir_ / "gone" / "cube.wrl", ENOENT},
  };
  for (const Case& c : cases) {
    try {
      PrivateFile file(c.target);
      FAIL() << c.target;
    } catch (const FileWriteError& e) {
      EXPECT_EQ(e.errnum(), c.errnum) << c.target;
      EXPECT_EQ(e.path(), c.target.string());
      EXPECT_EQ(e.code(), ErrPathNotFound);
    }
  }
  EXPECT_EQ(Names(in), std::vector<std::string>{"taken.wrl"});
}

TEST_F(FileLayer, TwoFilesForOneNameGetTwoTemporaries) {
  const fs::path target = dir_ / "inside" / "cube.wrl";
  PrivateFile a(target), b(target);
  EXPECT_NE(a.temporary(), b.temporary());
  a.stream() << "from a";
  b.stream() << "from b";
  a.Commit();
  b.Commit();
  EXPECT_EQ(ReadAll(target), "from b");
  EXPECT_EQ(Names(dir_ / "inside"), std::vector<std::string>{"cube.wrl"});
}

// Files committed together: all synced before any is renamed, in place in the given order;
// a failed rename keeps the files moved before it, a failed sync moves none, and the
// failure names its file.
TEST_F(FileLayer, FilesCommittedTogetherAreMovedInOrderAndAFailureKeepsTheEarlierOnes) {
  const fs::path in = dir_ / "inside";
  struct Case {
    const char* what;
    int failAt;     // index of the file that fails, or -1
    bool inSync;    // it fails to sync (closed unsynced), else its name is taken by a folder
  } cases[] = {{"all written", -1, false},
               {"the first rename fails", 0, false},
               {"the third rename fails", 2, false},
               {"the third sync fails", 2, true}};
  for (const Case& c : cases) {
    fs::remove_all(in);
    fs::create_directory(in);
    const std::vector<std::string> names = {"cube.off", "cube_solid.wrl", "cube_anim.wrl", "cube_frame.wrl"};
    for (const std::string& name : names) WriteAll(in / name, "old " + name);
    std::vector<std::unique_ptr<PrivateFile>> files;
    std::vector<PrivateFile*> group;
    for (const std::string& name : names) {
      files.push_back(std::make_unique<PrivateFile>(in / name));
      files.back()->stream() << "new " << name;
      group.push_back(files.back().get());
    }
    if (c.failAt >= 0 && c.inSync) {
      files[c.failAt]->Close();
    } else if (c.failAt >= 0) {
      fs::remove(in / names[c.failAt]);
      fs::create_directory(in / names[c.failAt]);
      WriteAll(in / names[c.failAt] / "inside.txt", "x");  // a folder that is not empty
    }
    std::vector<std::string> before, after;
    auto named = [](std::vector<std::string>& list) {
      return [&list](const PrivateFile& f) { list.push_back(f.target().filename().string()); };
    };
    try {
      CommitFiles(group, named(before), named(after));
      EXPECT_EQ(c.failAt, -1) << c.what;
    } catch (const FileWriteError& e) {
      ASSERT_GE(c.failAt, 0) << c.what << ": " << e.what();
      EXPECT_EQ(e.path(), (in / names[c.failAt]).string()) << c.what;
      EXPECT_EQ(before.back(), names[c.failAt]) << c.what;  // the failure concerns the file named last
    }
    const size_t moved = c.failAt < 0 ? names.size() : c.inSync ? 0 : static_cast<size_t>(c.failAt);
    EXPECT_EQ(after, std::vector<std::string>(names.begin(), names.begin() + static_cast<long>(moved))) << c.what;
    for (size_t i = 0; i < names.size(); ++i) {
      if (static_cast<int>(i) == c.failAt && !c.inSync) continue;
      EXPECT_EQ(ReadAll(in / names[i]), (i < moved ? "new " : "old ") + names[i]) << c.what << " " << names[i];
    }
    files.clear();  // the files not moved drop their temporaries
    for (const std::string& name : Names(in)) EXPECT_NE(name.rfind(TemporaryPrefix, 0), 0u) << c.what << " " << name;
  }
}

TEST_F(FileLayer, SyncingAFolderNamesTheFolderThatCannotBeSynced) {
  WriteAll(dir_ / "plain", "x");
  EXPECT_NO_THROW(SyncFolder(dir_ / "inside"));
  const std::pair<fs::path, int> cases[] = {{dir_ / "missing", ENOENT}, {dir_ / "plain", ENOTDIR}};
  for (const auto& [folder, errnum] : cases) {
    try {
      SyncFolder(folder);
      ADD_FAILURE() << folder;
    } catch (const FileWriteError& e) {
      EXPECT_EQ(e.errnum(), errnum) << folder;
      EXPECT_EQ(e.path(), folder.string());
    }
  }
}

TEST_F(FileLayer, RecognisesTemporaryNames) {
  const std::pair<std::string, long> cases[] = {
      {".kelmor-1234-aB3xYz.tmp", 1234}, {".kelmor-1-000000.tmp", 1},   {".kelmor-1234-aB3xY.tmp", 0},
      {".kelmor--aB3xYz.tmp", 0},        {".kelmor-12a4-aB3xYz.tmp", 0}, {"kelmor-1234-aB3xYz.tmp", 0},
      {".kelmor-1234-aB3x.z.tmp", 0},    {".kelmor-1234-aB3xYz.tmpx", 0}, {"cube.wrl", 0},
  };
  for (const auto& [name, pid] : cases) EXPECT_EQ(TemporaryOwner(name), pid) << name;
}

TEST_F(FileLayer, RemovesOnlyTheTemporariesOfRunsThatAreGone) {
  const fs::path in = dir_ / "inside";
  const std::string dead = std::to_string(DeadPid()), self = std::to_string(::getpid());
  const std::string staleName = ".kelmor-" + dead + "-abc123.tmp";
  for (const std::string& name : {staleName, ".kelmor-" + self + "-abc123.tmp", std::string(".kelmor-1-abc123.tmp"),
                                   std::string("cube.wrl"), std::string("kelmor.ini.Ab12Cd"),
                                   std::string("kelmor.ini.Xy34Zw"), std::string("kelmor.ini.bak")})
    WriteAll(in / name, "x");
  fs::create_directory(in / (".kelmor-" + dead + "-dir123.tmp"));
  fs::create_symlink(dir_ / "outside", in / (".kelmor-" + dead + "-lnk123.tmp"));
  // An old-style settings temporary counts as stale only once it is over a minute old.
  struct utimbuf old {1000000000, 1000000000};
  ::utime((in / "kelmor.ini.Ab12Cd").c_str(), &old);

  EXPECT_EQ(RemoveStaleTemporaries(in), 1);
  EXPECT_FALSE(fs::exists(in / staleName));
  EXPECT_EQ(RemoveStaleTemporaries(in, "kelmor.ini"), 1);
  EXPECT_FALSE(fs::exists(in / "kelmor.ini.Ab12Cd"));
  std::vector<std::string> kept = {".kelmor-" + dead + "-dir123.tmp", ".kelmor-" + dead + "-lnk123.tmp",
                                   ".kelmor-1-abc123.tmp", ".kelmor-" + self + "-abc123.tmp", "cube.wrl",
                                   "kelmor.ini.Xy34Zw", "kelmor.ini.bak"};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Names(in), kept);
  EXPECT_TRUE(fs::exists(dir_ / "outside"));
}

TEST_F(FileLayer, OutputFolderIsLookedAtBeforeTheRun) {
  WriteAll(dir_ / "plain", "x");
  struct Case {
    fs::path folder;
    bool create;
    const char* problem;  // part of the problem, or empty for none
    bool created;
  } cases[] = {
      {dir_ / "inside", false, "", false},
      {dir_ / "missing", false, "does not exist", false},
      {dir_ / "plain", false, "is not a folder", false},
      {dir_ / "made", true, "", true},
      {dir_ / "no" / "parent", true, "nor does the folder it would be made in", false},
  };
  for (const Case& c : cases) {
    OutputFolderCheck check = CheckOutputFolder(c.folder, c.create);
    if (*c.problem == 0) {
      EXPECT_EQ(check.problem, "") << c.folder;
    } else {
      EXPECT_NE(check.problem.find(c.problem), std::string::npos) << check.problem;
      EXPECT_NE(check.problem.find(c.folder.string()), std::string::npos) << check.problem;
    }
    EXPECT_EQ(check.created, c.created) << c.folder;
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "made"));
  EXPECT_TRUE(Names(dir_ / "made").empty());  // the probe leaves nothing behind
}

// The folder is judged without writing into it: a file-size limit below the smallest
// file refuses every folder, even one just made (where the rest is not looked at), naming
// it; a limit that takes the smallest file refuses none. Looked at in a child process, so
// that the limit cannot touch this one's files.
TEST_F(FileLayer, OutputFolderUnderAFileSizeLimitIsRefusedWithoutWritingAnything) {
  struct Case {
    rlim_t limit;
    bool create;
    bool tryWriting;
    const char* problem;  // the end of the problem, empty for none
  } cases[] = {
      {0, false, true, "cannot be written: File too large"},
      {511, false, true, "cannot be written: File too large"},
      {511, false, false, "cannot be written: File too large"},
      {100, true, true, "cannot be written: File too large"},
      {512, false, true, ""},
      {512, true, true, ""},
      {RLIM_INFINITY, false, false, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path folder = c.create ? dir_ / ("new" + std::to_string(++n)) : dir_ / "inside";
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit {c.limit, RLIM_INFINITY};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      const std::string problem = CheckOutputFolder(folder, c.create, c.tryWriting).problem;
      (void)!::write(pipeFds[1], problem.data(), problem.size());
      ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string problem;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) problem.append(buffer, static_cast<size_t>(got));
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    const std::string expected = *c.problem ? "output folder '" + folder.string() + "' " + c.problem : "";
    EXPECT_EQ(problem, expected) << c.limit;
    EXPECT_EQ(Names(dir_ / "inside"), std::vector<std::string>{}) << c.limit;
  }
}

}  // namespace
}  // namespace kelmor
