#include "run/error_handler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/parser.h"
#include "run/run.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

class ErrorHandlerTest : public ::testing::Test {
 protected:
  Session session;
  TestHost host;
  kelmor::Run run{session, host};
};

struct CodeCase {
  int code;
  const char* message;  // "" when the code shows none
  ErrorAction action;
};

TEST_F(ErrorHandlerTest, PromptThenEachCodesMessageAndAction) {
  const CodeCase cases[] = {
      {5, "", ErrorAction::Resume},
      {6, "Error: Overflow.  Try reducing some Force Strengths", ErrorAction::Abandon},
      {9, "Error: Subscript out of range.  Input file too large?", ErrorAction::Abandon},
      {11, "Error: Zero divide", ErrorAction::Resume},
      {13, "", ErrorAction::Resume},
      {52, "", ErrorAction::Resume},
      {55, "", ErrorAction::Resume},
      {62, "", ErrorAction::Resume},
      {68, "Error:  File or directory not found, please check the entries in Kelmor.ini",
       ErrorAction::Abandon},
      {75, "", ErrorAction::Resume},
      {380, "", ErrorAction::Resume},
      {7, "Kelmor has come across an Error.  Code: 7", ErrorAction::Abandon},
      {53, "Kelmor has come across an Error.  Code: 53", ErrorAction::Abandon},
  };
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(c.code);
    host.clear();
    EXPECT_EQ(HandleRunError(run, c.code), c.action);
    EXPECT_EQ(host.okCancelQuestions,
              std::vector<std::string>{"KELMOR has come across error, attempting to resume " +
                                       std::to_string(c.code)});
    std::vector<std::string> expected;
    if (*c.message) expected.push_back(c.message);
    EXPECT_EQ(host.messages, expected);
  }
}

TEST_F(ErrorHandlerTest, PathNotFoundNamesTheFileWithoutABlankBeforeIt) {
  run.CurrentFileName = "/data/solid.txt";
  EXPECT_EQ(HandleRunError(run, 76), ErrorAction::Resume);
  EXPECT_EQ(host.messages,
            std::vector<std::string>{"Kelmor has come across an Error.  Code: 76File: /data/solid.txt"});
}

TEST_F(ErrorHandlerTest, CancelAbandonsWhateverTheCodeWithoutAMessage) {
  for (int code : {5, 9, 62, 76, 1000}) {
    host.clear();
    host.okCancelAnswers = {false};
    EXPECT_EQ(HandleRunError(run, code), ErrorAction::Abandon);
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST_F(ErrorHandlerTest, GuardedStepResumesOrAbandons) {
  EXPECT_TRUE(GuardedStep(run, [] {}));
  EXPECT_FALSE(GuardedStep(run, [] { raiseError(ErrPastEnd); }));
  try {
    GuardedStep(run, [] { raiseError(ErrSubscript); });
    FAIL();
  } catch (const RunAbandoned& a) {
    EXPECT_TRUE(a.byError);
  }
  EXPECT_EQ(host.okCancelQuestions.size(), 2u);
}

TEST_F(ErrorHandlerTest, UnclosedBlockResumesAfterTheParserWithFacesSoFar) {
  run.model.Reset();
  EXPECT_FALSE(GuardedStep(run, [&] { ReadInputText(run, "{1,2,3,-1,4,5,6,-1,"); }));
  EXPECT_EQ(host.okCancelQuestions,
            std::vector<std::string>{"KELMOR has come across error, attempting to resume 62"});
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(run.model.FaceSize[2], 3);
  EXPECT_EQ(run.model.FaceCount, 0);
}

TEST_F(ErrorHandlerTest, OversizedFaceEndsTheRunWithTheSubscriptMessage) {
  run.model.Reset();
  std::string face = "{";
  for (int v = 0; v <= 40; ++v) face += std::to_string(v) + ",";
  EXPECT_THROW(GuardedStep(run, [&] { ReadInputText(run, face + "-1,}"); }), RunAbandoned);
  EXPECT_EQ(host.dialogue, (std::vector<std::string>{
                               "KELMOR has come across error, attempting to resume 9",
                               "Error: Subscript out of range.  Input file too large?"}));
}

}  // namespace
}  // namespace kelmor
