#include "api/stop_rules.h"

namespace kelmor {

ButtonSet StopButtons(const Options& o, const RunProgress& p, bool singleAttempt) {
  if (o.solutions > 0 && p.solutions >= o.solutions) return QuitButton;
  if (o.timeLimitSeconds > 0 && p.seconds >= o.timeLimitSeconds) return QuitButton;
  if (o.maxAttempts > 0 && p.attempt > o.maxAttempts) return QuitButton;
  if (o.maxIterations > 0 && p.iteration >= o.maxIterations) {
    if (singleAttempt || (o.maxAttempts > 0 && p.attempt >= o.maxAttempts)) return QuitButton;
    return RedoButton;
  }
  return 0;
}

}  // namespace kelmor
