// Writes that never lose data and never lie: the real program under failing folders,
// full files, planted symlinks, SIGKILL at random moments and two runs into one folder.
#include <fcntl.h>
#include <poll.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "cli/cli.h"
#include "support/file_text.h"
#include "support/temp_folder.h"
#include "unattended/console_host.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using Files = std::map<std::string, std::string>;  // file name -> contents

class FileSafety : public ::testing::Test {
 public:
  void SetUp() override {
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "out");
    for (const char* example : {"cube.txt", "segments.txt"})
      fs::copy_file(fs::path(KELMOR_SOURCE_DIR) / "examples" / example, dir_ / "out" / example);
  }
  // A folder made read-only by a test can be emptied again.
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_ / "out", fs::perms::owner_all, ignored);
  }

  // Starts kelmor with its own HOME and XDG folders, a private settings file and the
  // answer "no"; standard output and error go to files named after tag. A file-size
  // limit above 0 makes every write past it fail as on a full disk.
  pid_t Start(std::vector<std::string> args, const std::string& tag = "run", long fileLimit = 0,
              std::vector<std::string> wrapper = {}) {
    args.insert(args.end(), {"--settings", (dir_ / "home" / "kelmor.ini").string(), "--answer", "no", "--quiet"});
    std::vector<std::string> all = wrapper;
    all.push_back(KELMOR_EXE);
    all.insert(all.end(), args.begin(), args.end());
    const std::string out = (dir_ / (tag + ".out")).string(), err = (dir_ / (tag + ".err")).string();
    const std::string home = (dir_ / "home").string();
    pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("HOME", home.c_str(), 1);
      for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
        ::setenv(v, home.c_str(), 1);
      ::unsetenv("KELMOR_INI");
      int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      std::vector<char*> argv;
      for (std::string& a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      if (fileLimit > 0) RunUnderFileLimit(argv, fileLimit, o, e);
      ::dup2(o, 1);
      ::dup2(e, 2);
      ::execvp(argv[0], argv.data());
      ::_exit(127);
    }
    return pid;
  }
  // A file-size limit holds for every file the process writes, its standard output and
  // error among them: kelmor writes those into pipes, and this process (without the limit)
  // copies them into the files o and e, then ends as kelmor ended. Never returns.
  [[noreturn]] static void RunUnderFileLimit(std::vector<char*>& argv, long fileLimit, int o, int e) {
    int toOut[2], toErr[2];
    if (::pipe(toOut) != 0 || ::pipe(toErr) != 0) ::_exit(126);
    const pid_t run = ::fork();
    if (run == 0) {
      ::dup2(toOut[1], 1);
      ::dup2(toErr[1], 2);
      for (int fd : {toOut[0], toOut[1], toErr[0], toErr[1]}) ::close(fd);
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit {static_cast<rlim_t>(fileLimit), static_cast<rlim_t>(fileLimit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::execvp(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(toOut[1]);
    ::close(toErr[1]);
    struct pollfd open[2] = {{toOut[0], POLLIN, 0}, {toErr[0], POLLIN, 0}};
    const int into[2] = {o, e};
    for (int left = 2; left > 0;) {
      if (::poll(open, 2, -1) < 0) continue;
      for (int i = 0; i < 2; ++i) {
        if (open[i].fd < 0 || open[i].revents == 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(open[i].fd, buffer, sizeof buffer);
        if (n > 0 && ::write(into[i], buffer, static_cast<size_t>(n)) != n) ::_exit(126);
        if (n <= 0) {
          ::close(open[i].fd);
          open[i].fd = -1;
          --left;
        }
      }
    }
    int status = 0;
    ::waitpid(run, &status, 0);
    if (WIFSIGNALED(status)) {
      ::signal(WTERMSIG(status), SIG_DFL);
      ::raise(WTERMSIG(status));
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 126);
  }
  static int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  int Kelmor(std::vector<std::string> args, const std::string& tag = "run", long fileLimit = 0,
             std::vector<std::string> wrapper = {}) {
    return Wait(Start(std::move(args), tag, fileLimit, std::move(wrapper)));
  }
  std::string Out(const std::string& tag = "run") { return ReadAll(dir_ / (tag + ".out")); }
  std::string Err(const std::string& tag = "run") { return ReadAll(dir_ / (tag + ".err")); }

  // Every file of the output folder but the inputs, with its contents.
  Files Outputs() {
    Files files;
    for (const auto& e : fs::directory_iterator(dir_ / "out")) {
      const std::string name = e.path().filename().string();
      if (name != "cube.txt" && name != "segments.txt") files[name] = ReadAll(e.path());
    }
    return files;
  }
  // Puts recognisable old contents at every name an ordinary cube run writes.
  Files OldCubeFiles() {
    Files old;
    for (const char* name : {"cube.off", "cube_solid.wrl", "cube_anim.wrl", "cube_frame.wrl", "cube_switch.wrl",
                             "cube_cylinder.wrl"}) {
      old[name] = std::string("old ") + name + "\n";
      std::ofstream(dir_ / "out" / name, std::ios::binary) << old[name];
    }
    return old;
  }
  std::string Cube() { return (dir_ / "out" / "cube.txt").string(); }
  std::string Segments() { return (dir_ / "out" / "segments.txt").string(); }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(FileSafety, AFileThatFillsUpHalfwayEndsTheRunAndChangesNothing) {
  const Files old = OldCubeFiles();
  // Each cube file is a few kilobytes: writes stop partway through the first VRML file.
  EXPECT_EQ(Kelmor({"run", Cube(), "--seed", "3"}, "run", 1500), 3) << Err();
  EXPECT_EQ(Out(), "");
  EXPECT_NE(Err().find("File too large"), std::string::npos) << Err();
  EXPECT_NE(Err().find((dir_ / "out" / "cube").string()), std::string::npos) << Err();
  EXPECT_EQ(Outputs(), old);
}

TEST_F(FileSafety, AReadOnlyOutputFolderIsRefusedAtRunStart) {
  const Files old = OldCubeFiles();
  std::vector<std::string> wrapper;
  if (::geteuid() != 0) {
    fs::permissions(dir_ / "out", fs::perms::owner_read | fs::perms::owner_exec);
  } else {
    // Root writes through permissions: a read-only bind mount in a private namespace.
    const std::string d = (dir_ / "out").string();
    if (std::system("unshare -rm true >/dev/null 2>&1") != 0) GTEST_SKIP() << "no read-only folder for root here";
    wrapper = {"unshare", "-rm", "sh", "-c", "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && exec \"$@\"", d};
  }
  EXPECT_EQ(Kelmor({"run", Cube()}, "run", 0, wrapper), 2) << Err();
  EXPECT_EQ(Out(), "");
  EXPECT_NE(Err().find("output folder '" + (dir_ / "out").string() + "' cannot be written"), std::string::npos)
      << Err();
  EXPECT_EQ(Outputs(), old);
}

// A file-size limit too small for any output file is found before the run, in the named
// folder and in one --out has just made alike, not at the first write.
TEST_F(FileSafety, AFileSizeLimitBelowTheSmallestFileIsRefusedAtRunStart) {
  const Files old = OldCubeFiles();
  const fs::path made = dir_ / "made";
  const std::pair<std::vector<std::string>, fs::path> cases[] = {
      {{"run", Cube(), "--seed", "1"}, dir_ / "out"},
      {{"run", Cube(), "--seed", "1", "--out", made.string()}, made},
  };
  for (const auto& [args, folder] : cases) {
    EXPECT_EQ(Kelmor(args, "run", 400), 2) << Err();
    EXPECT_EQ(Out(), "");
    EXPECT_NE(Err().find("output folder '" + folder.string() + "' cannot be written: File too large"),
              std::string::npos)
        << Err();
    EXPECT_EQ(Outputs(), old);
  }
  EXPECT_TRUE(fs::is_empty(made));
}

// Names that cannot be written are refused before anything is read: exit 2, nothing made.
TEST_F(FileSafety, NamesThatCannotBeWrittenAreRefusedWithTheNames) {
  const std::string longInput = (dir_ / "out" / (std::string(250, 'q') + ".txt")).string();
  fs::copy_file(Cube(), longInput);
  struct Case {
    std::vector<std::string> args;
    std::string said;
  } cases[] = {
      {{"run", Cube(), "--pref", "ssol=x/y"}, "ssol='x/y' of the solid VRML file holds a '/'"},
      {{"run", Cube(), "--pref", "ssol=frame"},
       "Error: Suffixes for selected output files must be different: the solid VRML file (ssol=frame) and the frame "
       "VRML file (sfrm=frame) would both be cube_frame.wrl"},
      {{"run", Cube(), "--stress", "--pref", "ssol=frame_stress"}, "would both be cube_frame_stress.wrl"},
      {{"run", Cube(), "--pref", "ssol= ", "--pref", "sanm="}, "would both be cube.wrl"},
      {{"run", longInput}, "longer than 255 bytes"},
  };
  const Files before = Outputs();
  for (const Case& c : cases) {
    EXPECT_EQ(Kelmor(c.args), 2) << c.said;
    EXPECT_NE(Err().find(c.said), std::string::npos) << Err();
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Outputs(), before) << c.said;
  }
  // A clash between outputs that are not selected is no clash.
  EXPECT_EQ(Kelmor({"run", Cube(), "--pref", "ssol=frame", "--pref", "vfrm=0", "--seed", "1"}), 0) << Err();
  EXPECT_TRUE(fs::exists(dir_ / "out" / "cube_frame.wrl"));
}

TEST_F(FileSafety, OutMakesAMissingFolderWhoseParentExistsAndSaysSoOnce) {
  const fs::path made = dir_ / "out" / "new";
  EXPECT_EQ(Kelmor({"run", Cube(), "--out", made.string(), "--seed", "1"}), 0) << Err();
  const std::string said = "made the output folder '" + made.string() + "'";
  EXPECT_NE(Err().find(said), std::string::npos) << Err();
  EXPECT_EQ(Err().find(said), Err().rfind(said));
  EXPECT_TRUE(fs::exists(made / "cube_solid.wrl"));
  EXPECT_EQ(Kelmor({"run", Cube(), "--out", made.string(), "--seed", "1"}), 0) << Err();
  EXPECT_EQ(Err().find("made the output folder"), std::string::npos) << Err();
  EXPECT_EQ(Kelmor({"shape", "prism", "5", "--out", (dir_ / "none" / "deeper").string()}), 2);
  EXPECT_NE(Err().find("nor does the folder it would be made in"), std::string::npos) << Err();
}

TEST_F(FileSafety, SymlinksPlantedAtEveryNameAreNeverFollowed) {
  fs::create_directories(dir_ / "elsewhere");
  std::vector<std::string> names = {"cube.off",       "cube_solid.wrl",    "cube_anim.wrl", "cube_frame.wrl",
                                    "cube_switch.wrl", "cube_cylinder.wrl", "cube_debug.txt", "segments.wrl",
                                    "segments_debug.txt"};
  for (const std::string& name : names) {
    std::ofstream(dir_ / "elsewhere" / name) << "precious " << name;
    fs::create_symlink(dir_ / "elsewhere" / name, dir_ / "out" / name);
  }
  fs::create_symlink(dir_ / "elsewhere" / "dangling", dir_ / "out" / "cube_stress_solid.wrl");
  EXPECT_EQ(Kelmor({"run", Cube(), "--debug", "--stress", "--seed", "2"}), 0) << Err();
  EXPECT_EQ(Kelmor({"run", Segments(), "--debug", "--seed", "2"}), 0) << Err();
  for (const std::string& name : names) {
    EXPECT_EQ(ReadAll(dir_ / "elsewhere" / name), "precious " + name);
    EXPECT_FALSE(fs::is_symlink(dir_ / "out" / name)) << name;
    EXPECT_GT(fs::file_size(dir_ / "out" / name), 50u) << name;
  }
  EXPECT_FALSE(fs::exists(dir_ / "elsewhere" / "dangling"));
}

// Kills a run at random moments, each time checking that every output file is whole.
// The run is reproducible, so a whole file is byte for byte the one a complete run writes.
void KillAtRandomMoments(FileSafety& t, const std::vector<std::string>& args, const Files& whole,
                         std::chrono::microseconds span, std::mt19937& random) {
  for (int i = 0; i < 50; ++i) {
    pid_t pid = t.Start(args, "killed");
    std::this_thread::sleep_for(std::chrono::microseconds(random() % span.count()));
    ::kill(pid, SIGKILL);
    FileSafety::Wait(pid);
    Files now = t.Outputs();
    for (const auto& [name, contents] : now) {
      if (name.rfind(".kelmor-", 0) == 0) continue;  // a killed run's temporary
      ASSERT_TRUE(whole.count(name)) << "unexpected file " << name;
      ASSERT_EQ(contents, whole.at(name)) << name << " is not whole after kill " << i;
    }
    for (const auto& [name, contents] : whole) ASSERT_TRUE(now.count(name)) << name << " lost after kill " << i;
  }
}

TEST_F(FileSafety, FiftyKillsLeaveEveryEarlierFileWhole) {
  std::mt19937 random(1234);
  struct Kind {
    std::vector<std::string> args;
  } kinds[] = {{{"run", Cube(), "--seed", "5"}}, {{"run", Segments(), "--seed", "5"}}};
  for (const Kind& k : kinds) {
    for (const auto& e : fs::directory_iterator(dir_ / "out"))
      if (e.path().extension() != ".txt") fs::remove(e.path());
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Kelmor(k.args), 0) << Err();
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    const Files whole = Outputs();
    ASSERT_FALSE(whole.empty());
    KillAtRandomMoments(*this, k.args, whole, span + std::chrono::microseconds(1), random);
    // The next complete run removes what the killed ones left behind.
    ASSERT_EQ(Kelmor(k.args), 0) << Err();
    EXPECT_EQ(Outputs(), whole);
  }
}

TEST_F(FileSafety, TwoRunsIntoOneFolderLeaveEveryFileFromOneOrTheOther) {
  const std::vector<std::string> a = {"run", Cube(), "--seed", "11"};
  const std::vector<std::string> b = {"run", Cube(), "--seed", "12", "--pref", "clp4=255.0.0"};
  ASSERT_EQ(Kelmor(a), 0) << Err();
  const Files fromA = Outputs();
  ASSERT_EQ(Kelmor(b), 0) << Err();
  const Files fromB = Outputs();
  for (int round = 0; round < 5; ++round) {
    pid_t first = Start(a, "a"), second = Start(b, "b");
    EXPECT_EQ(Wait(first), 0) << Err("a");
    EXPECT_EQ(Wait(second), 0) << Err("b");
    const Files now = Outputs();
    EXPECT_EQ(now.size(), fromA.size());
    for (const auto& [name, contents] : now) {
      ASSERT_TRUE(fromA.count(name)) << name;
      EXPECT_TRUE(contents == fromA.at(name) || contents == fromB.at(name)) << name << " blends the two runs";
    }
  }
}

TEST_F(FileSafety, TheWrittenLineStaysOneLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"cube", "cube"}, {"two\nlines", "two\\nlines"}, {"tab\there", "tab\\there"},
      {"back\\slash", "back\\\\slash"}, {"bell\a", "bell\\x07"}, {"r\r", "r\\r"},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(OneLineName(name), shown);

  const fs::path odd = dir_ / "out" / "two\nlines.txt";
  fs::copy_file(Cube(), odd);
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"run", odd.string(), "--seed", "1", "--settings", (dir_ / "home" / "kelmor.ini").string()}, out, err),
            0)
      << err.str();
  const std::string line = out.str();
  EXPECT_EQ(line.rfind("written two\\nlines E=", 0), 0u) << line;
  EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
}

}  // namespace
}  // namespace kelmor
