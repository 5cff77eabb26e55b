// Placeholder until the relaxation engine lands: a run ends after reading its input.
#include "relax/relaxation.h"
#include "run/run.h"

namespace kelmor {
LoopOutcome RunAttempt(Run& run) {
  run.host.message("Relaxation is not available in this build: no model files written");
  return LoopOutcome::EndRun;
}
void PrepareSolution(Run&) {}
bool IsDuplicate(const Run&) { return false; }
}  // namespace kelmor
