#pragma once

#include <string>

#include "run/host.h"

namespace kelmor {

// An unattended stand-in for the person at the draw window: it watches the figures the
// engine reports and presses buttons as that person would. The console host owns its
// policies, tells each when an attempt starts and what the figures are, and presses what
// they ask for at the next poll. Decisions must rest on the figures and iteration counts
// only (never on the clock), so that a run stays reproducible.
class AttemptPolicy {
 public:
  virtual ~AttemptPolicy() = default;

  virtual void attemptStarted(int attempt) {}
  virtual void figures(const DrawFigures& figures) {}
  // The buttons to press now (0: none). A policy that presses a button also says why in
  // `reason`, one line in the system's words, shown to the user.
  virtual ButtonSet press(std::string& reason) { return 0; }
  // May put its own starting positions for the attempt that is starting (see
  // Host::chooseStart); the first policy that does wins.
  virtual bool chooseStart(const SolidView& solid, StartPositions positions) { return false; }
  // How the current attempt was started, for a policy that follows the starts ("" for
  // the others), reported with each written solution.
  virtual std::string startOrigin() const { return {}; }
};

}  // namespace kelmor
