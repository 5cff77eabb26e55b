#pragma once

namespace kelmor {

struct Run;

enum class RunOutcome {
  Written,    // the run ended and files were written
  Ended,      // the run ended without writing (Quit, a detected failure, nothing to do)
  Abandoned,  // a run-time error abandoned the run
};

// Turns the chosen input and the run-time options into relaxed, written models. Returns
// only when the run is over. All messages and questions go through run.host.
RunOutcome RunSequence(Run& run);

}  // namespace kelmor
