// The policies heard as one, the overflow retry, and the windows' choice file.
#include "policy/unattended_choice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace kelmor {
namespace {

namespace fs = std::filesystem;

// A policy that presses, places and names as told, and counts what it hears.
class Scripted : public AttemptPolicy {
 public:
  Scripted(ButtonSet button, bool places, std::string origin)
      : button_(button), places_(places), origin_(std::move(origin)) {}
  void attemptStarted(int) override { ++attempts; }
  void figures(const DrawFigures&) override { ++figuresHeard; }
  ButtonSet press(std::string& reason) override {
    if (button_) reason = "because " + origin_;
    return button_;
  }
  bool chooseStart(const SolidView&, StartPositions p) override {
    if (places_) p.x[0] = 7;
    return places_;
  }
  std::string startOrigin() const override { return origin_; }
  int attempts = 0, figuresHeard = 0;

 private:
  ButtonSet button_;
  bool places_;
  std::string origin_;
};

TEST(AttemptPolicies, EveryPolicyHearsAllAndTheFirstThatActsCounts) {
  AttemptPolicies none;
  std::string reason;
  EXPECT_EQ(none.press(reason), 0u);
  EXPECT_EQ(none.startOrigin(), "");

  AttemptPolicies list;
  auto& quiet = static_cast<Scripted&>(list.add(std::make_unique<Scripted>(0, false, "")));
  auto& redo = static_cast<Scripted&>(list.add(std::make_unique<Scripted>(RedoButton, true, "second")));
  auto& write = static_cast<Scripted&>(list.add(std::make_unique<Scripted>(WriteButton, true, "third")));
  list.attemptStarted(1);
  list.figures(DrawFigures{});
  for (const Scripted* p : {&quiet, &redo, &write}) {
    EXPECT_EQ(p->attempts, 1);
    EXPECT_EQ(p->figuresHeard, 1);
  }
  EXPECT_EQ(list.press(reason), RedoButton);
  EXPECT_EQ(reason, "because second");
  EXPECT_EQ(list.startOrigin(), "second");
  std::vector<double> x(1), y(1), z(1);
  EXPECT_TRUE(list.chooseStart(SolidView{}, {x, y, z}));
  EXPECT_EQ(x[0], 7);
}

TEST(OverflowRetry, StartsTheNextAttemptUntilTheLimitInARow) {
  struct Case {
    const char* what;
    int limit;
    std::vector<int> overflowing;  // attempts that overflow, in order
    std::vector<bool> retried;
  };
  const std::vector<Case> cases = {
      {"no retry at all", 0, {1}, {false}},
      {"three in a row with a limit of three", 3, {1, 2, 3}, {true, true, false}},
      {"a sound attempt between starts the count again", 3, {1, 2, 4, 5, 6}, {true, true, true, true, false}},
      {"the default limit", OverflowRetry::DefaultLimit, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
       {true, true, true, true, true, true, true, true, true, false}},
  };
  for (const Case& c : cases) {
    OverflowRetry retry(c.limit);
    std::vector<bool> got;
    for (int attempt : c.overflowing) got.push_back(retry.retry(attempt));
    EXPECT_EQ(got, c.retried) << c.what;
  }
  EXPECT_EQ(OverflowRetry::Reason(4),
            "Error: Overflow.  Try reducing some Force Strengths (attempt 4 dropped, starting the next)");
}

TEST(UnattendedChoice, WhatTheChoiceAddsToARun) {
  struct Case {
    UnattendedChoice choice;
    int failed;        // attempts ended without a solution
    bool choosesStart;  // the search places the next start (a cube has candidates)
    bool stallWatched;  // a flat attempt is pressed Re-do
  };
  auto choice = [](bool stall, bool search, int after) {
    UnattendedChoice c;
    c.stallEscape = stall, c.stallWindow = 100, c.search = search, c.searchAfter = after;
    return c;
  };
  const std::vector<Case> cases = {
      {choice(false, false, 0), 5, false, false}, {choice(true, false, 0), 5, false, true},
      {choice(false, true, 2), 1, false, false},  {choice(false, true, 2), 2, true, false},
      {choice(true, true, 0), 0, true, true},
  };
  // The cube: vertices 1..8, six square faces, twelve unit edges.
  const std::vector<int> start = {0, 0, 4, 8, 12, 16, 20, 24}, step = {0, 1, 1, 1, 1, 1, 1};
  const std::vector<int> verts = {1, 2, 3, 4, 5, 8, 7, 6, 1, 5, 6, 2, 2, 6, 7, 3, 3, 7, 8, 4, 4, 8, 5, 1};
  const std::vector<int> a = {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4}, b = {2, 3, 4, 1, 6, 7, 8, 5, 5, 6, 7, 8};
  const std::vector<double> target(12, 1.0);
  SolidView cube{1, 8, 6, start, verts, step, a, b, target};
  for (const Case& c : cases) {
    AttemptPolicies list;
    AddUnattendedPolicies(list, c.choice, [&c] { return c.failed; });
    list.attemptStarted(1);
    std::vector<double> x(9), y(9), z(9);
    EXPECT_EQ(list.chooseStart(cube, {x, y, z}), c.choosesStart);
    for (long it = 10; it <= 300; it += 10) {
      DrawFigures f;
      f.edgeDeform = 2, f.iteration = it, f.attempt = 1, f.ExpandOpt = "none";
      list.figures(f);
    }
    std::string reason;
    EXPECT_EQ(list.press(reason), c.stallWatched ? RedoButton : 0u);
  }
}

class ChoiceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kelmor-choice-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    path_ = UnattendedChoicePath((dir_ / "kelmor.ini").string());
  }
  void TearDown() override { fs::remove_all(dir_); }
  void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  fs::path dir_;
  std::string path_;
};

TEST_F(ChoiceFile, RoundTripBesideTheSettingsFile) {
  EXPECT_EQ(fs::path(path_), dir_ / "kelmor-unattended.ini");
  std::string problem;
  EXPECT_EQ(ReadUnattendedChoice(path_, &problem), UnattendedChoice{}) << "missing: nothing ticked";
  EXPECT_EQ(problem, "");
  const UnattendedChoice defaults;
  EXPECT_FALSE(defaults.stallEscape || defaults.search);
  UnattendedChoice c{true, 1, true, 0};
  ASSERT_EQ(WriteUnattendedChoice(path_, c), std::nullopt);
  EXPECT_EQ(ReadUnattendedChoice(path_, &problem), c);
  c = {false, 1000000000, true, 1000000};
  ASSERT_EQ(WriteUnattendedChoice(path_, c), std::nullopt);
  EXPECT_EQ(ReadUnattendedChoice(path_, &problem), c);
  EXPECT_EQ(problem, "");
  // A folder that cannot take the file is named; the one there is kept.
  EXPECT_NE(WriteUnattendedChoice((dir_ / "no" / "kelmor-unattended.ini").string(), c), std::nullopt);
  EXPECT_EQ(ReadUnattendedChoice(path_), c);
}

TEST_F(ChoiceFile, DamagedLinesAreNamedAndTheRestCounts) {
  struct Case {
    std::string text;
    UnattendedChoice expected;
    std::string problem;  // after the path
  };
  const UnattendedChoice d;
  const std::vector<Case> cases = {
      {"; note\r\n# note\r\n\r\nstall=on\r\nsearch-after=3\r\n", {true, d.stallWindow, false, 3}, ""},
      {"stall=yes\nsearch=on\n", {false, d.stallWindow, true, d.searchAfter}, " line 1: stall takes on or off, not 'yes'"},
      {"stall=on\nstall-window=0\n", {true, d.stallWindow, false, d.searchAfter},
       " line 2: stall-window takes 1 to 1000000000 iterations, not '0'"},
      {"stall-window=99999999999999999999999\n", d,
       " line 1: stall-window takes 1 to 1000000000 iterations, not '99999999999999999999999'"},
      {"search-after=-1\nsearch-after=2x\n", d, " line 1: search-after takes 0 to 1000000 attempts, not '-1'"},
      {"search-after= 12 \n", {false, d.stallWindow, false, 12}, ""},
      {"colour=red\nstall=on\n", {true, d.stallWindow, false, d.searchAfter}, " line 1: unknown key 'colour'"},
      {std::string("\x01\x02\xff garbage\n"), d, " line 1: not a key=value line"},
  };
  for (const Case& c : cases) {
    write(c.text);
    std::string problem;
    EXPECT_EQ(ReadUnattendedChoice(path_, &problem), c.expected) << c.text;
    EXPECT_EQ(problem, c.problem.empty() ? "" : path_ + c.problem) << c.text;
  }
  // A folder where the file should be cannot be read.
  fs::remove(path_);
  fs::create_directories(path_);
  std::string problem;
  EXPECT_EQ(ReadUnattendedChoice(path_, &problem), d);
  EXPECT_EQ(problem, path_ + " cannot be read");
}

}  // namespace
}  // namespace kelmor
