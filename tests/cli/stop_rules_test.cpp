// The command line's stop rules always stop, and its unattended policies (an overflow
// drops the attempt, a limit's write that fails still ends the run).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/cli_run.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

class StopRules : public ::testing::Test {
 protected:
  void SetUp() override { folder_.CopyExample("cube.txt"); }

  testing::CliResult Kelmor(std::vector<std::string> args) {
    args.insert(args.begin() + 2, {"--settings", (dir_ / "kelmor.ini").string(), "--quiet", "--seed", "4"});
    return testing::RunCliCaught(args);
  }
  std::string Cube() { return (dir_ / "cube.txt").string(); }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(StopRules, OnceWithAnIterationLimitEndsAtTheLimit) {
  // Re-do would start the one attempt again for ever; the limit ends the run instead.
  auto r = Kelmor({"run", Cube(), "--once", "--max-iterations", "20"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(Count(r.err, "Iteration limit reached: quitting the run\n"), 1) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(fs::exists(dir_ / "cube_solid.wrl"));

  r = Kelmor({"run", Cube(), "--once", "--max-iterations", "20", "--write-on-timeout"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.err, "Iteration limit reached: writing the current state\n"), 1) << r.err;
  EXPECT_EQ(Count(r.out, "written cube "), 1) << r.out;
  EXPECT_TRUE(fs::exists(dir_ / "cube_solid.wrl"));

  // Segmented input has one attempt per segment: each segment is written as it stands.
  std::ofstream(dir_ / "two.txt") << "{1,5,4,0,-1,2,0,4,6,-1,3,2,6,7,-1,1,3,7,5,-1,4,5,7,6,-1,0,2,3,1,-1,}\n"
                                     "{0,1,2,-1,0,2,3,-1,0,3,1,-1,1,3,2,-1,}\n";
  r = Kelmor({"run", (dir_ / "two.txt").string(), "--max-iterations", "20", "--write-on-timeout"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.err, "Iteration limit reached: writing the current state\n"), 2) << r.err;
  EXPECT_NE(r.err.find("W05: "), std::string::npos) << r.err;
}

TEST_F(StopRules, ALimitsWriteThatFailsStillEndsTheRun) {
  // A folder where the first file of a solution belongs: every write fails, so no
  // solution is ever reported, and the run must end all the same.
  fs::create_directories(dir_ / "cube.off");
  auto r = Kelmor({"run", Cube(), "--time-limit", "0.000001", "--write-on-timeout"});
  EXPECT_NE(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.err, "Time limit reached: writing the current state\n"), 1) << r.err;
  EXPECT_NE(r.err.find("File: " + (dir_ / "cube.off").string()), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  r = Kelmor({"run", Cube(), "--once", "--max-iterations", "30", "--write-on-timeout"});
  EXPECT_NE(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.err, "Iteration limit reached: writing the current state\n"), 1) << r.err;
}

TEST_F(StopRules, OverflowingAttemptsAreDroppedUntilTenInARow) {
  // Forces this strong overflow in every attempt.
  auto r = Kelmor({"run", Cube(), "--pref", "f001=1e300", "--pref", "f004=1e300"});
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_EQ(Count(r.err, "dropped, starting the next)\n"), 9) << r.err;
  EXPECT_NE(r.err.find("Error: Overflow.  Try reducing some Force Strengths (attempt 1 dropped"),
            std::string::npos);
  // The tenth goes to the run's handler, which abandons the run in the system's words.
  EXPECT_NE(r.err.find("KELMOR has come across error, attempting to resume 6\n"
                       "Error: Overflow.  Try reducing some Force Strengths\n"),
            std::string::npos)
      << r.err;

  // One attempt only: no retry, the handler takes the first overflow.
  r = Kelmor({"run", Cube(), "--once", "--pref", "f001=1e300", "--pref", "f004=1e300"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(Count(r.err, "dropped"), 0) << r.err;
}

TEST_F(StopRules, HelpIsPrintedOnceForTheSubCommand) {
  for (const char* sub : {"run", "shape", "scan", "prefs"}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({sub, "--help"}, out, err), 0);
    EXPECT_EQ(Count(out.str(), "Usage"), 1) << sub << "\n" << out.str();
    EXPECT_EQ(Count(out.str(), "--help"), 1) << sub;
  }
}

TEST_F(StopRules, AnUnwritableDebugFileIsReportedOnceAndTheRunGoesOn) {
  // A folder where the debug file belongs.
  fs::create_directories(dir_ / "cube_debug.txt");
  auto r = Kelmor({"run", Cube(), "--debug"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.err, "Code: 76File: " + (dir_ / "cube_debug.txt").string()), 1) << r.err;
  EXPECT_EQ(r.err.find("Zero divide"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(dir_ / "cube_solid.wrl"));
}

}  // namespace
}  // namespace kelmor
