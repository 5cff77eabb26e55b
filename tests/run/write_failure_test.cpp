// A write that fails ends the run and is never reported as written; a segmented run that
// does not finish leaves the previous segment file whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "run/run.h"
#include "run/run_sequence.h"
#include "support/file_text.h"
#include "support/temp_folder.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;

// A host that does something to the folder when an attempt starts or at a poll.
class MeddlingHost : public TestHost {
 public:
  std::function<void(int)> onAttempt = [](int) {};
  std::function<ButtonSet(long)> onPoll = [](long) { return ButtonSet(0); };
  void attemptStarted(int attempt) override {
    TestHost::attemptStarted(attempt);
    onAttempt(attempt);
  }
  ButtonSet pollButtons() override { return TestHost::pollButtons() | onPoll(polls); }
};

class WriteFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "in");
    fs::create_directories(dir_ / "out");
    session_.input.InDir = (dir_ / "in").string();
    session_.input.OutDir = (dir_ / "out").string();
    session_.input.OutSame = false;
    session_.seed = 7;
    host_.buttonsAtPoll[200000] = QuitButton;  // a safety net: never spin without end
  }
  RunOutcome RunFile(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / "in" / name, std::ios::binary) << text;
    session_.input.InFile = name;
    kelmor::Run run(session_, host_);
    return RunSequence(run);
  }
  std::vector<std::string> OutNames() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_ / "out")) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
  Session session_;
  MeddlingHost host_;
};

const char* const Cube = "{1,5,4,0,-1, 2,0,4,6,-1, 3,1,0,2,-1, 5,1,3,7,-1, 6,4,5,7,-1, 7,3,2,6,-1,}\n";
const char* const Tetrahedron = "{3,1,0,-1, 2,0,1,-1, 3,0,2,-1, 2,1,3,-1,}\n";

TEST_F(WriteFailure, AFolderRemovedMidRunEndsTheRunNamingTheFile) {
  // Repeat mode would look for further solutions without end; the failed write ends it.
  host_.onAttempt = [&](int) { fs::remove_all(dir_ / "out"); };
  EXPECT_EQ(RunFile("cube.txt", Cube), RunOutcome::WriteFailed);
  EXPECT_TRUE(host_.written.empty());
  EXPECT_TRUE(host_.okCancelQuestions.empty());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].rfind("Kelmor has come across an Error.  Code: 76File: " + (dir_ / "out" / "cube").string(), 0),
            0u)
      << host_.messages[0];
  EXPECT_NE(host_.messages[0].find("could not be written (No such file or directory)"), std::string::npos);
  EXPECT_EQ(host_.attemptsStarted.size(), 1u);
}

TEST_F(WriteFailure, AFailedCallLeavesEveryEarlierFileOfTheFolderAsItWas) {
  // The frame file's name is taken by a folder: the solid and animated files written
  // before it in the same call must not replace the old ones.
  for (const char* name : {"cube.off", "cube_solid.wrl", "cube_anim.wrl"})
    std::ofstream(dir_ / "out" / name) << "old " << name;
  fs::create_directory(dir_ / "out" / "cube_frame.wrl");
  EXPECT_EQ(RunFile("cube.txt", Cube), RunOutcome::WriteFailed);
  EXPECT_TRUE(host_.written.empty());
  for (const char* name : {"cube.off", "cube_solid.wrl", "cube_anim.wrl"})
    EXPECT_EQ(ReadAll(dir_ / "out" / name), std::string("old ") + name);
  EXPECT_EQ(OutNames(), (std::vector<std::string>{"cube.off", "cube_anim.wrl", "cube_frame.wrl", "cube_solid.wrl"}));
}

TEST_F(WriteFailure, ASegmentedRunThatDoesNotFinishLeavesThePreviousFileWhole) {
  std::ofstream(dir_ / "out" / "two.wrl") << "previous segment file";
  session_.options.Segments = "Segments 2";
  RunOptions& o = session_.options;
  o.Highlight = o.Once = o.Weaken = o.Isomorph = o.Augment = 2;
  bool quit = false;
  host_.onAttempt = [&](int attempt) { quit = attempt == 2; };
  host_.onPoll = [&](long) { return quit ? QuitButton : ButtonSet(0); };
  EXPECT_EQ(RunFile("two.txt", std::string(Tetrahedron) + Cube), RunOutcome::Ended);
  EXPECT_EQ(ReadAll(dir_ / "out" / "two.wrl"), "previous segment file");
  EXPECT_EQ(OutNames(), std::vector<std::string>{"two.wrl"});

  // Finished, the run replaces it whole.
  host_.onAttempt = [](int) {};
  quit = false;
  EXPECT_EQ(RunFile("two.txt", std::string(Tetrahedron) + Cube), RunOutcome::Written);
  const std::string text = ReadAll(dir_ / "out" / "two.wrl");
  EXPECT_EQ(text.rfind("#VRML V2.0 utf8", 0), 0u);
  EXPECT_NE(text.find("DEF C2 Coordinate"), std::string::npos);
  EXPECT_EQ(OutNames(), std::vector<std::string>{"two.wrl"});
}

}  // namespace
}  // namespace kelmor
