// The run sequence: run-start values, the debug file, the empty-model and re-read paths.
#include "run/run_sequence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "run/run.h"
#include "run/run_values.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

class RunSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kelmor_seq_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    session_.input.InDir = dir_.string();
    session_.input.OutSame = true;
    session_.seed = 7;
    session_.prefs.set("vsol", "0");  // keep file output small where it happens
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Input(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    session_.input.InFile = name;
  }
  std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }
  RunOutcome RunOnce() {
    kelmor::Run run(session_, host_);
    return RunSequence(run);
  }

  fs::path dir_;
  Session session_;
  TestHost host_;
};

TEST_F(RunSequenceTest, RunModeAndWeakenLimitFollowOnceAndWeaken) {
  struct Case {
    int once, weaken;
    int mode;
    double limit;
  } cases[] = {{1, 0, 1, 99}, {1, 1, 3, 4}, {0, 1, 2, 99}, {0, 0, 2, 99}};
  for (const Case& c : cases) {
    session_.options.Once = c.once;
    session_.options.Weaken = c.weaken;
    session_.options.WeakenLimit = "4";
    kelmor::Run run(session_, host_);
    ReadRunStart(run);
    EXPECT_EQ(run.RunMode, c.mode) << c.once << c.weaken;
    EXPECT_EQ(run.WeakenLimitValue, c.limit) << c.once << c.weaken;
  }
}

TEST_F(RunSequenceTest, GreyedBoxesDoNotCountAsTicked) {
  session_.options.Once = 2;
  session_.options.Isomorph = 2;
  kelmor::Run run(session_, host_);
  ReadRunStart(run);
  EXPECT_EQ(run.RunMode, 2);
  EXPECT_EQ(run.IsomorphDetect, 0);
}

TEST_F(RunSequenceTest, SegmentsComeFromTheButtonCaption) {
  session_.options.Segments = "Segments 3";
  session_.options.SegEdge[1] = "0";
  session_.options.SegEdge[2] = "2.5";
  session_.options.SegX[3] = "-1";
  kelmor::Run run(session_, host_);
  ReadRunStart(run);
  EXPECT_EQ(run.model.SegmentCount, 3);
  EXPECT_EQ(run.RunMode, 1);
  EXPECT_EQ(run.SegmentEdgeLength[1], 0.00001);  // a length of 0 is used as 0.00001
  EXPECT_EQ(run.SegmentEdgeLength[2], 2.5);
  EXPECT_EQ(run.SegmentOffset[1][3], -1);
}

TEST_F(RunSequenceTest, MoreThanFiveSegmentsIsOutOfRange) {
  session_.options.Segments = "Segments 6";
  kelmor::Run run(session_, host_);
  EXPECT_THROW(ReadRunStart(run), KelmorError);
}

TEST_F(RunSequenceTest, BaseNameStopsAtTheFirstFullStop) {
  EXPECT_EQ(BaseNameOf("cube.txt"), "cube");
  EXPECT_EQ(BaseNameOf("my.cube.txt"), "my");
  EXPECT_EQ(BaseNameOf("noextension"), "noextension");
}

TEST_F(RunSequenceTest, NoDebugFileUnlessTicked) {
  Input("tri.txt", "{0,1,2,-1,}");
  session_.options.Once = 1;
  host_.buttonsAtPoll[1] = QuitButton;
  RunOnce();
  EXPECT_FALSE(fs::exists(dir_ / "tri_debug.txt"));
}

TEST_F(RunSequenceTest, EveryRunStartsTheDebugFileAfresh) {
  Input("tri.txt", "{0,1,2,-1,}");
  session_.options.Debug = 1;
  session_.options.Once = 1;
  host_.buttonsAtPoll[1] = QuitButton;
  RunOnce();
  std::string first = Slurp(dir_ / "tri_debug.txt");
  host_.polls = 0;
  RunOnce();
  std::string second = Slurp(dir_ / "tri_debug.txt");
  std::string head = "KELMOR Debug File\r\n" + (dir_ / "tri_debug.txt").string() + "\r\n \r\n";
  EXPECT_EQ(second.substr(0, head.size()), head);
  EXPECT_EQ(second.find("KELMOR Debug File", 1), std::string::npos);  // replaced, not appended
  EXPECT_EQ(first.size(), second.size());
}

TEST_F(RunSequenceTest, QuitEndsTheRunWithoutWriting) {
  Input("tri.txt", "{0,1,2,-1,}");
  host_.buttonsAtPoll[1] = QuitButton;
  EXPECT_EQ(RunOnce(), RunOutcome::Ended);
  EXPECT_TRUE(host_.written.empty());
}

TEST_F(RunSequenceTest, ReReadStartsTheRunAgain) {
  Input("tri.txt", "{0,1,2,-1,}");
  session_.options.Debug = 1;
  host_.buttonsAtPoll[1] = ReReadButton;
  host_.buttonsAtPoll[2] = QuitButton;
  RunOnce();
  EXPECT_EQ(host_.attemptsStarted.size(), 2u);
  // The run start recreates the debug file: it holds the header once.
  std::string text = Slurp(dir_ / "tri_debug.txt");
  EXPECT_EQ(text.find("KELMOR Debug File", 1), std::string::npos);
}

TEST_F(RunSequenceTest, AbandoningErrorEndsTheRunWithoutWriting) {
  Input("big.txt", "{0,1,3001,-1,}");
  EXPECT_EQ(RunOnce(), RunOutcome::Abandoned);
  EXPECT_TRUE(host_.saw("Error: Subscript out of range.  Input file too large?"));
  EXPECT_TRUE(host_.written.empty());
}

TEST_F(RunSequenceTest, CancelOnThePromptAbandonsEvenAResumingCode) {
  Input("nobrace.txt", "0,1,2,-1,");
  host_.okCancelAnswers = {false};
  EXPECT_EQ(RunOnce(), RunOutcome::Abandoned);
  ASSERT_EQ(host_.okCancelQuestions.size(), 1u);
  EXPECT_EQ(host_.okCancelQuestions[0], "KELMOR has come across error, attempting to resume 62");
}

}  // namespace
}  // namespace kelmor
