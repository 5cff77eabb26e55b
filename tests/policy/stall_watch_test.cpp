// The stall watch on made-up figure sequences: when it presses Re-do, and when it must not.
#include "policy/stall_watch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

namespace kelmor {
namespace {

// The figures of one attempt reported every ten iterations, E(iteration) and P = 0, from
// iteration 10 to `last`; returns the iterations at which a button was pressed, Write as
// a negative number.
std::vector<long> Watch(StallRule rule, long last, const std::function<double(long)>& edge,
                        const std::string& expand = "none") {
  StallWatch watch(rule);
  watch.attemptStarted(1);
  std::vector<long> pressed;
  for (long it = 10; it <= last; it += 10) {
    DrawFigures f;
    f.edgeDeform = edge(it);
    f.polyDeform = 0;
    f.iteration = it;
    f.attempt = 1;
    f.ExpandOpt = expand;
    watch.figures(f);
    std::string reason;
    const ButtonSet button = watch.press(reason);
    if (button == RedoButton) {
      pressed.push_back(it);
      EXPECT_NE(reason.find("Stalled: attempt 1"), std::string::npos) << reason;
    } else if (button == WriteButton) {
      pressed.push_back(-it);
      EXPECT_NE(reason.find("Settled: attempt 1 is exact"), std::string::npos) << reason;
    } else {
      EXPECT_EQ(button, 0u);
    }
  }
  return pressed;
}

StallRule Window(long w) {
  StallRule r;
  r.window = w;
  return r;
}

TEST(StallWatch, PressesReDoOnlyWhenAnInexactAttemptStopsFalling) {
  struct Case {
    const char* what;
    std::function<double(long)> edge;
    std::vector<long> expected;
    long last = 3000;  // the engine ends the attempt here (writes it, or gives up)
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Case> cases = {
      {"falls steadily to exact", [](long it) { return 10 * std::exp(-it / 300.0); }, {}},
      {"flat false minimum", [](long) { return 2.5; }, {1010}},
      {"falls, then sits in a false minimum", [](long it) { return it < 500 ? 100.0 - it / 10.0 : 2.0; },
       {1500}},
      {"creeps by less than 1% a window", [](long it) { return 2.0 - it * 1e-7; }, {1010}},
      {"slow but real fall: 1% every 900 iterations",
       [](long it) { return 5 * std::pow(0.99, it / 900.0 + 1); }, {}},
      {"rises under inflation, then falls again",
       [](long it) { return it < 800 ? 1.0 + it / 100.0 : 9.0 * std::exp(-(it - 800) / 50.0); }, {}, 1700},
      {"exact, written by the engine within the window", [](long it) {
         return std::max(1e-15, std::exp(-it / 50.0)); }, {}, 1500},
      {"exact, but the engine never writes it", [](long) { return 1e-15; }, {-1010}},
      {"nearly exact, but not exact", [](long) { return 5e-7; }, {1010}},
      {"falls towards exact, then never written",
       [](long it) { return std::max(1e-14, std::exp(-it / 100.0)); }, {-(1390 + 1000)}},
      {"not a number", [nan](long) { return nan; }, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Watch(Window(1000), c.last, c.edge), c.expected) << c.what;
}

TEST(StallWatch, WindowZeroNeverPressesAndTheWindowSetsWhen) {
  auto flat = [](long) { return 3.0; };
  EXPECT_TRUE(Watch(Window(0), 50000, flat).empty());
  EXPECT_EQ(Watch(Window(200), 3000, flat), (std::vector<long>{210}));
  EXPECT_EQ(Watch(Window(20000), 30000, flat), (std::vector<long>{20010}));
}

TEST(StallWatch, GlobalInflationIsNotWatchedAndANewAttemptStartsAfresh) {
  auto flat = [](long) { return 3.0; };
  EXPECT_TRUE(Watch(Window(100), 900, flat, "global").empty());

  StallWatch watch(Window(100));
  std::string reason;
  auto report = [&](int attempt, long it, const char* expand = "none") {
    DrawFigures f;
    f.edgeDeform = 3;
    f.iteration = it;
    f.attempt = attempt;
    f.ExpandOpt = expand;
    watch.figures(f);
    return watch.press(reason);
  };
  watch.attemptStarted(1);
  for (long it = 10; it <= 900; it += 10) EXPECT_EQ(report(1, it, "global"), 0u);
  // The main loop counts from 1 again: the window starts there, not at the global phase.
  for (long it = 10; it < 110; it += 10) EXPECT_EQ(report(1, it), 0u) << it;
  EXPECT_EQ(report(1, 110), RedoButton);
  EXPECT_EQ(report(1, 120), 0u);  // pressed once; quiet until the next attempt
  watch.attemptStarted(2);
  for (long it = 10; it < 110; it += 10) EXPECT_EQ(report(2, it), 0u) << it;
  EXPECT_EQ(report(2, 110), RedoButton);
  EXPECT_EQ(watch.stalls(), 2);
}

// Only Re-do presses are stalls: an exact attempt the engine never writes is settled and
// pressed Write, which the run's count of stalls (and so the search that follows stalls)
// must not see.
TEST(StallWatch, AWritePressOfASettledExactAttemptIsNoStall) {
  struct Case {
    const char* what;
    double edge;
    ButtonSet pressed;
    int stalls;
  } cases[] = {
      {"exact, never written", 1e-15, WriteButton, 0},
      {"just below exact", 0.99e-10, WriteButton, 0},
      {"just above exact", 1.01e-10, RedoButton, 1},
      {"flat and far from exact", 2.5, RedoButton, 1},
  };
  for (const Case& c : cases) {
    StallWatch watch(Window(100));
    ButtonSet pressed = 0;
    for (int attempt = 1; attempt <= 2; ++attempt) {
      watch.attemptStarted(attempt);
      for (long it = 10; it <= 300; it += 10) {
        DrawFigures f;
        f.edgeDeform = c.edge;
        f.iteration = it;
        f.attempt = attempt;
        f.ExpandOpt = "none";
        watch.figures(f);
        std::string reason;
        if (const ButtonSet b = watch.press(reason)) pressed = b;
      }
    }
    EXPECT_EQ(pressed, c.pressed) << c.what;
    EXPECT_EQ(watch.stalls(), 2 * c.stalls) << c.what;
  }
}

}  // namespace
}  // namespace kelmor
