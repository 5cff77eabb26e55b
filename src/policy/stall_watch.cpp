#include "policy/stall_watch.h"

#include <cstdio>

namespace kelmor {

void StallWatch::attemptStarted(int attempt) {
  attempt_ = attempt;
  watching_ = stalled_ = near_ = false;
  pending_ = 0;
  lastIteration_ = 0;
}

void StallWatch::figures(const DrawFigures& f) {
  if (rule_.window <= 0 || stalled_) return;
  if (f.attempt > 0 && f.attempt != attempt_) attemptStarted(f.attempt);
  // The global inflation phase is left alone (it has its own bound of passes); the main
  // loop that follows counts its iterations from 1 again.
  if (f.ExpandOpt == "global" || f.iteration < lastIteration_) watching_ = near_ = false;
  lastIteration_ = f.iteration;
  if (f.ExpandOpt == "global") return;
  edge_ = f.edgeDeform;
  poly_ = f.polyDeform;
  if (!(f.edgeDeform == f.edgeDeform)) return;  // not a number: the engine ends it
  if (f.edgeDeform < rule_.nearlyExact) {
    watching_ = false;
    if (!near_) near_ = true, nearSince_ = f.iteration;
    if (f.iteration - nearSince_ >= rule_.window) {
      stalled_ = true;
      pending_ = f.edgeDeform < rule_.exact ? WriteButton : RedoButton;
      if (pending_ == RedoButton) ++stalls_;
    }
    return;
  }
  near_ = false;
  const double total = f.edgeDeform + f.polyDeform;
  if (!watching_ || total < lowest_ * (1 - rule_.fraction)) {
    watching_ = true;
    lowest_ = total;
    lowestAt_ = f.iteration;
    return;
  }
  if (f.iteration - lowestAt_ >= rule_.window) {
    stalled_ = true;
    pending_ = RedoButton;
    ++stalls_;
  }
}

ButtonSet StallWatch::press(std::string& reason) {
  const ButtonSet pressed = pending_;
  pending_ = 0;
  if (pressed == 0) return 0;
  const char* format =
      pressed == WriteButton
          ? "Settled: attempt %d is exact (E %.6g, P %.6g) but still running after %ld "
            "iterations; writing it"
          : "Stalled: attempt %d at E %.6g, P %.6g, no fall for %ld iterations; starting a "
            "new attempt";
  char text[200];
  std::snprintf(text, sizeof text, format, attempt_, edge_, poly_, rule_.window);
  reason = text;
  return pressed;
}

}  // namespace kelmor
