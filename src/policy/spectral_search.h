#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "policy/attempt_policy.h"
#include "search/spectral_start.h"

namespace kelmor {

// When the search takes over the starts, and how it varies them.
struct SearchRule {
  // Attempts ended without a solution (stalled, overflowed or cut off by a limit) before
  // the search starts; until then, and with the search off, every attempt starts as the
  // attempt loop starts it. Ordinary solids need at most 4 attempts from random starts.
  int after = 8;
  // Once each candidate has been tried, the next starts are candidates moved by up to
  // this many edge lengths along the attempt's own random positions, growing by as much
  // again with every round through the candidates.
  double jitter = 0.02;
  size_t candidates = 12;  // the most candidates tried
};

// The search beyond the attempt loop: after `after` failed attempts, each new attempt
// starts from the next symmetric spectral candidate of the solid (best first, each once),
// then from the candidates perturbed by the attempt's own random positions. It chooses
// starting positions only; the relaxation, its checks and the writers are untouched, and
// since the random positions are still drawn for every attempt, the run is as
// reproducible as the attempt loop.
class SpectralSearch : public AttemptPolicy {
 public:
  SpectralSearch(SearchRule rule, std::function<int()> failedAttempts)
      : rule_(rule), failed_(std::move(failedAttempts)) {}

  void attemptStarted(int attempt) override;
  bool chooseStart(const SolidView& solid, StartPositions positions) override;
  // "input coordinates", "random start" or "spectral start 2 of 6 (cluster 5)".
  std::string startOrigin() const override { return origin_; }

  int steps() const { return steps_; }  // attempts the search has started so far

 private:
  SearchRule rule_;
  std::function<int()> failed_;
  std::optional<std::vector<StartCandidate>> candidates_;  // built at the first step
  int vertexCount_ = 0, edgeCount_ = 0;                     // of the graph they were built for
  int attempt_ = 0;
  int steps_ = 0;
  std::string origin_;
};

}  // namespace kelmor
