// The kelmor executable itself: which libraries the command line maps, and how the
// windows are handed over to the companion (found beside kelmor or in the installed
// libexec folder, started in the same process, its exit status passed through).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

using testing::ReadAll;

class Process : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "out");
    folder_.CopyExample("cube.txt");
  }

  // Runs a program with its own HOME and XDG folders; `extra` adds environment
  // entries. Standard error goes to err_ (the dynamic loader's log with LD_DEBUG).
  int Start(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& extra = {}) {
    const testing::ChildResult r =
        testing::RunChild(program, args, testing::CleanEnvironment(dir_, extra), dir_, testing::kChildGuard);
    out_ = r.out;
    err_ = r.err;
    return r.hung ? -1 : testing::ExitCode(r);
  }

  // The libraries the loader mapped, read from its LD_DEBUG=libs log, with the
  // process ids that mapped them.
  std::set<std::string> Libraries(std::set<std::string>* pids = nullptr) const {
    std::set<std::string> libs;
    static const std::regex line(R"(^\s*(\d+):\s+calling init: (\S+))");
    std::istringstream in(err_);
    for (std::string l; std::getline(in, l);) {
      std::smatch m;
      if (!std::regex_search(l, m, line)) continue;
      libs.insert(fs::path(m[2].str()).filename().string());
      if (pids) pids->insert(m[1].str());
    }
    return libs;
  }
  static bool AnyQt(const std::set<std::string>& libs) {
    for (const std::string& l : libs)
      if (l.rfind("libQt", 0) == 0) return true;
    return false;
  }

  // kelmor and, when built, its companion copied into a folder layout of their own.
  fs::path CopyKelmor(const fs::path& bin) {
    fs::create_directories(bin);
    fs::copy_file(KELMOR_EXE, bin / "kelmor");
    return bin / "kelmor";
  }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
  std::string out_, err_;
};

TEST_F(Process, CommandLineMapsNoQtLibrary) {
  std::string cube = (dir_ / "cube.txt").string(), out = (dir_ / "out").string();
  std::string ini = "--settings=" + (dir_ / "kelmor.ini").string();
  const std::vector<std::vector<std::string>> commands = {
      {"prefs", ini},
      {"run", cube, "--quiet", "--seed", "1", "--out", out, ini},
      {"shape", "antiprism", "5/2", "--quiet", "--out", out, ini},
      {"scan", cube},
      {"--help"},
  };
  for (const auto& args : commands) {
    SCOPED_TRACE(args[0]);
    EXPECT_EQ(Start(KELMOR_EXE, args, {"LD_DEBUG=libs"}), 0) << err_;
    std::set<std::string> libs = Libraries();
    // The log is read at all: the C library is always there.
    EXPECT_TRUE(std::any_of(libs.begin(), libs.end(),
                            [](const std::string& l) { return l.rfind("libc.so", 0) == 0; }))
        << err_;
    EXPECT_FALSE(AnyQt(libs)) << err_;
  }
  EXPECT_TRUE(fs::exists(dir_ / "out" / "cube.off"));
}

// Tables take memory in proportion to the model: a cube's run is a few megabytes, and a
// 362-vertex sphere of triangles (hop table 362 x 362) not much more. Sanitizer builds
// keep shadow memory and are not measured.
TEST_F(Process, PeakMemoryFollowsTheModel) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "sanitizer build";
#endif
  std::string ini = "--settings=" + (dir_ / "kelmor.ini").string();
  struct Case {
    std::string input;
    long limitKiB;
  };
  const std::vector<Case> cases = {
      {(dir_ / "cube.txt").string(), 8 * 1024},
      {std::string(KELMOR_SOURCE_DIR) + "/bench/geodesic_sphere_362.txt", 12 * 1024},
  };
  // Measured by GNU time, which forks kelmor and waits for it alone. A program started
  // straight from this process by posix_spawn (a shell as much as kelmor) begins its life
  // inside this process's memory, so its peak counts ours, which the in-process tests run
  // before this one grow past the limits.
  const fs::path peakFile = dir_ / "peak.txt";
  for (const Case& c : cases) {
    int status = Start("/usr/bin/time", {"-f", "%M", "-o", peakFile.string(), KELMOR_EXE, "run", c.input,
                                         "--quiet", "--seed", "1", "--max-attempts", "1",
                                         "--max-iterations", "200", "--out", (dir_ / "out").string(), ini});
    EXPECT_LE(status, 1) << err_;
    // The last line is the peak in KiB (a line about a non-zero exit status may come first).
    std::string text = ReadAll(peakFile);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    long peakKiB = std::atol(text.substr(text.rfind('\n') + 1).c_str());
    EXPECT_GT(peakKiB, 0) << text;
    EXPECT_LE(peakKiB, c.limitKiB) << c.input;
  }
}

TEST_F(Process, MissingCompanionIsReportedNotCrashed) {
  fs::path kelmor = CopyKelmor(dir_ / "alone" / "bin");
  const std::vector<std::vector<std::string>> commands = {
      {}, {"--screenshot", "Kelmor", (dir_ / "shot.png").string()}};
  for (const auto& args : commands) {
    EXPECT_EQ(Start(kelmor, args), 2);
    EXPECT_NE(err_.find("the windows need kelmor-gui"), std::string::npos) << err_;
    EXPECT_NE(err_.find((dir_ / "alone" / "bin").string()), std::string::npos) << err_;
  }
  // The command line does not need it.
  EXPECT_EQ(Start(kelmor, {"scan", (dir_ / "cube.txt").string()}), 0) << err_;
}

#ifdef KELMOR_GUI_EXE
TEST_F(Process, WindowsRunInTheCompanionInTheSameProcess) {
  fs::path shot = dir_ / "shot.png";
  std::string ini = "--settings=" + (dir_ / "kelmor.ini").string();
  ASSERT_EQ(Start(KELMOR_EXE, {"--screenshot", "Kelmor", shot.string(), ini}, {"LD_DEBUG=libs"}),
            0)
      << err_;
  EXPECT_GT(fs::file_size(shot), 0u);
  std::set<std::string> pids;
  std::set<std::string> libs = Libraries(&pids);
  EXPECT_TRUE(AnyQt(libs)) << err_;
  EXPECT_EQ(pids.size(), 1u) << "the windows ran in another process";

  // Exit status and messages pass through.
  EXPECT_EQ(Start(KELMOR_EXE, {"--screenshot", "NoSuchWindow", shot.string(), ini}), 2);
  EXPECT_NE(err_.find("no window called 'NoSuchWindow'"), std::string::npos) << err_;

  // The companion alone refuses command-line work.
  EXPECT_EQ(Start(KELMOR_GUI_EXE, {"prefs"}), 2);
  EXPECT_NE(err_.find("for the command line use kelmor"), std::string::npos) << err_;
}

TEST_F(Process, InstalledCompanionIsFoundAndSharesKelmorIni) {
  fs::path kelmor = CopyKelmor(dir_ / "usr" / "bin");
  fs::path libexec = (dir_ / "usr" / "bin" / KELMOR_COMPANION_FROM_BIN).lexically_normal();
  fs::create_directories(libexec);
  fs::copy_file(KELMOR_GUI_EXE, libexec / "kelmor-gui");
  fs::path shot = dir_ / "shot.png";
  ASSERT_EQ(Start(kelmor, {"--screenshot", "Kelmor", shot.string()}), 0) << err_;
  EXPECT_TRUE(fs::exists(shot));
  // Settings beside the program the user started, not beside the companion.
  EXPECT_TRUE(fs::exists(dir_ / "usr" / "bin" / "kelmor.ini"));
  EXPECT_FALSE(fs::exists(libexec / "kelmor.ini"));
}
#endif

}  // namespace
}  // namespace kelmor
