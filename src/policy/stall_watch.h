#pragma once

#include <string>

#include "policy/attempt_policy.h"

namespace kelmor {

// When an attempt counts as stalled.
struct StallRule {
  // Iterations the attempt may go without a meaningful fall of E + P; 0 turns the rule off.
  long window = 10000;
  // A fall counts when E + P drops below (1 - fraction) of the lowest value it had before.
  double fraction = 0.01;
  // Below this E the attempt is nearly exact and the fall is no longer watched; the
  // engine's own tests write it or start again within a few hundred iterations.
  double nearlyExact = 1e-6;
  // An attempt that has stayed nearly exact for the whole window without the engine ending
  // it is pressed Write when its E is below this (exact: rounding noise keeps the figures
  // from standing still, so the engine's write test never fires), else Re-do.
  double exact = 1e-10;
};

// Presses Re-do when an attempt that is not exact has stalled: its E + P has not fallen
// below (1 - fraction) of its lowest value for `window` iterations. An attempt that has
// been nearly exact for `window` iterations and is still running is pressed Write when
// exact and Re-do otherwise. The lowest value and
// the iteration it was reached at start afresh with every attempt and when the main loop
// starts after the global inflation phase (which is not watched: it has its own bound of
// passes); local inflation that raises the figures is held against the attempt only for
// as long as the window.
class StallWatch : public AttemptPolicy {
 public:
  explicit StallWatch(StallRule rule) : rule_(rule) {}

  void attemptStarted(int attempt) override;
  void figures(const DrawFigures& figures) override;
  ButtonSet press(std::string& reason) override;

  int stalls() const { return stalls_; }  // Re-do presses so far in the run

 private:
  StallRule rule_;
  bool watching_ = false;  // a lowest value has been seen in this stretch
  bool near_ = false;      // nearly exact since iteration nearSince_
  long nearSince_ = 0;
  double lowest_ = 0;
  long lowestAt_ = 0;     // iteration at which the lowest value was reached
  long lastIteration_ = 0;
  bool stalled_ = false;  // pressed Re-do; quiet until the next attempt
  ButtonSet pending_ = 0;  // button to press at the next poll
  int attempt_ = 0;
  double edge_ = 0, poly_ = 0;
  int stalls_ = 0;
};

}  // namespace kelmor
