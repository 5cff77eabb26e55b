#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "relax/engine.h"
#include "support/relax_fixture.h"

// Guards of the suite itself: readable names, and relaxations that cannot run away.
namespace kelmor::testing {
namespace {

// Every case of a parameterised suite carries a readable name of its own (a name
// generator), not gtest's running number, and every name is plain enough for `ctest -R`.

bool Plain(const std::string& name) {
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '/') return false;
  return !name.empty();
}

bool JustANumber(const std::string& name) {
  const std::string last = name.substr(name.rfind('/') + 1);
  for (char c : last)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

TEST(TestNames, ParameterisedCasesHaveReadableStableNames) {
  const ::testing::UnitTest& all = *::testing::UnitTest::GetInstance();
  int parameterised = 0;
  for (int s = 0; s < all.total_test_suite_count(); ++s) {
    const ::testing::TestSuite& suite = *all.GetTestSuite(s);
    EXPECT_TRUE(Plain(suite.name())) << suite.name();
    for (int t = 0; t < suite.total_test_count(); ++t) {
      const ::testing::TestInfo& test = *suite.GetTestInfo(t);
      const std::string name = std::string(suite.name()) + "." + test.name();
      EXPECT_TRUE(Plain(test.name())) << name;
      if (test.value_param() == nullptr) continue;
      ++parameterised;
      EXPECT_FALSE(JustANumber(test.name())) << name << ": give the suite a name generator";
    }
  }
  EXPECT_GT(parameterised, 0);
}

// A relaxation that has not settled when the host's poll budget runs out fails its test
// and is quit, so a change that stops convergence fails fast instead of running on.
TEST(PollBudget, ARelaxationThatRunsOnFailsItsTestAndIsQuit) {
  EXPECT_GT(TestHost().pollBudget, 1000);
  RelaxRig rig(CubeFaces());
  rig.host.pollBudget = 3;
  EXPECT_NONFATAL_FAILURE(EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::EndRun), "did not settle within 30 iterations");
  EXPECT_EQ(rig.run.relax.Iteration, 40);
}

}  // namespace
}  // namespace kelmor::testing
