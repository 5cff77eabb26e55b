#pragma once

#include "kelmor/kelmor.h"
#include "run/host.h"

namespace kelmor {

// How far a run has come, as the stop rules of Options look at it.
struct RunProgress {
  int solutions = 0;
  int attempt = 0;
  long iteration = 0;
  double seconds = 0;
};

// The buttons an unattended person presses for the stop rules of options, in the order
// the command line presses them. singleAttempt: the run makes one attempt only (once
// mode, segments), so an attempt that reaches maxIterations ends the run.
ButtonSet StopButtons(const Options& options, const RunProgress& progress, bool singleAttempt);

}  // namespace kelmor
