// The run sequence: run-start values, the debug file, the empty-model and re-read paths.
#include "run/run_sequence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "run/run.h"
#include "run/run_values.h"
#include "support/file_text.h"
#include "support/temp_folder.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;

class RunSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.input.InDir = dir_.string();
    session_.input.OutSame = true;
    session_.seed = 7;
    session_.prefs.set("vsol", "0");  // keep file output small where it happens
  }

  void Input(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    session_.input.InFile = name;
  }
  RunOutcome RunOnce() {
    kelmor::Run run(session_, host_);
    return RunSequence(run);
  }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
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
  std::string first = ReadAll(dir_ / "tri_debug.txt");
  host_.polls = 0;
  RunOnce();
  std::string second = ReadAll(dir_ / "tri_debug.txt");
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
  std::string text = ReadAll(dir_ / "tri_debug.txt");
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

// Input the parser cannot read through: the run ends at once, the half-read model is
// neither relaxed nor written, and the user is told why.
TEST_F(RunSequenceTest, InputErrorsEndTheRunWithoutRelaxingOrWriting) {
  struct Case {
    const char* text;
    std::vector<std::string> said;  // messages, in order
    size_t prompts;                 // "attempting to resume" prompts
  };
  const std::string noFaces = NoFacesMessage, unclosed = UnclosedBlockMessage;
  const Case cases[] = {
      {"{ 1,2,3,-13, }", {"Input error: Possible missing comma at end of line"}, 0},
      {"{ 1,2,3,-1,", {unclosed}, 1},
      {"{ (0,0,1,", {"Reading Starting Positions", "Unexpected End of File in input, check for closing brackets"}, 0},
      {"", {noFaces}, 1},
      {"' only a comment", {noFaces}, 1},
      {"{ }", {noFaces}, 0},
      {"{ 4,5,-1, }", {noFaces}, 0},
      {"{ 0,1,2,-1}", {noFaces}, 0},
  };
  for (const Case& c : cases) {
    host_ = TestHost();
    Input("bad.txt", c.text);
    EXPECT_EQ(RunOnce(), RunOutcome::Ended) << c.text;
    EXPECT_EQ(host_.messages, c.said) << c.text;
    EXPECT_EQ(host_.okCancelQuestions.size(), c.prompts) << c.text;
    EXPECT_TRUE(host_.attemptsStarted.empty()) << c.text;
    for (const auto& e : fs::directory_iterator(dir_))
      EXPECT_EQ(e.path().filename(), "bad.txt") << c.text;
  }
}

TEST_F(RunSequenceTest, AFifthRealmCornerEndsTheRunWithoutRealmFiles) {
  Input("realms.txt", "{P}\n{LX}\n[ 1,1,1,1,1,-2, 0,0,0,0,0,-1, ]\n");
  session_.options.Segments = "Segments 2";
  EXPECT_EQ(RunOnce(), RunOutcome::Ended);
  EXPECT_TRUE(host_.saw("Input file error: Realm face can have at most four vertices"));
  EXPECT_FALSE(fs::exists(dir_ / "realms.wrl"));
  EXPECT_FALSE(fs::exists(dir_ / "realms.off"));
}

// A host that takes overflows for failed attempts a given number of times.
class RetryingHost : public TestHost {
 public:
  int retries = 0;
  int asked = 0;
  bool retryAfterOverflow() override { return ++asked <= retries; }
};

TEST_F(RunSequenceTest, OverflowIsRetriedOnlyInRepeatModeAndOnlyWhenTheHostSaysSo) {
  Input("tri.txt", "{0,1,2,-1,}");
  session_.prefs.set("f001", "1e300");
  // The windows' host: the handler takes the first overflow and abandons the run.
  EXPECT_EQ(RunOnce(), RunOutcome::Abandoned);
  EXPECT_EQ(host_.attemptsStarted.size(), 1u);
  EXPECT_TRUE(host_.saw("Error: Overflow.  Try reducing some Force Strengths"));

  RetryingHost retrying;
  retrying.retries = 2;
  {
    kelmor::Run run(session_, retrying);
    EXPECT_EQ(RunSequence(run), RunOutcome::Abandoned);
  }
  EXPECT_EQ(retrying.asked, 3);
  EXPECT_EQ(retrying.attemptsStarted.size(), 3u);

  // One attempt only: the host is never asked.
  RetryingHost once;
  once.retries = 5;
  session_.options.Once = 1;
  {
    kelmor::Run run(session_, once);
    EXPECT_EQ(RunSequence(run), RunOutcome::Abandoned);
  }
  EXPECT_EQ(once.asked, 0);
}

TEST_F(RunSequenceTest, ADebugFileThatCannotBeMadeLeavesTheRestOfTheRunStart) {
  Input("tri.txt", "{0,1,2,-1,}");
  fs::create_directories(dir_ / "tri_debug.txt");  // a folder where the file belongs
  session_.options.Debug = 1;
  session_.prefs.set("f001", "123");
  kelmor::Run run(session_, host_);
  ReadRunStart(run);
  EXPECT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].find("Code: 76File: "), std::string::npos);
  EXPECT_EQ(run.Strength[1], 123);  // read after the failed step
  EXPECT_FALSE(run.debug.on());
  run.debug.Line("nothing");       // and later lines say nothing more
  EXPECT_EQ(host_.messages.size(), 1u);
}

}  // namespace
}  // namespace kelmor
