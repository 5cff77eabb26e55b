#include "policy/spectral_search.h"

namespace kelmor {

void SpectralSearch::attemptStarted(int attempt) {
  attempt_ = attempt;
  // Until chooseStart says otherwise the attempt starts from coordinates in the input.
  origin_ = "input coordinates";
}

bool SpectralSearch::chooseStart(const SolidView& solid, StartPositions positions) {
  origin_ = "random start";
  if (failed_() < rule_.after) return false;
  const SolidGraph g = GraphOf(solid);
  // The topology is the same for every attempt of a run; a different one (a new segment)
  // gets its own candidates.
  if (!candidates_ || g.vertexCount != vertexCount_ || static_cast<int>(g.edges.size()) != edgeCount_) {
    candidates_ = SpectralCandidates(g, rule_.candidates);
    vertexCount_ = g.vertexCount;
    edgeCount_ = static_cast<int>(g.edges.size());
  }
  const std::vector<StartCandidate>& list = *candidates_;
  if (list.empty()) return false;  // nothing better to offer: random starts go on
  const int count = static_cast<int>(list.size());
  const int step = steps_++;
  const StartCandidate& c = list[static_cast<size_t>(step % count)];
  const int round = step / count;
  // The random positions lie in [-1, 1); round r moves each vertex by up to r * jitter
  // (one round more for a candidate whose vertices must first come apart).
  const double move = (round + (c.coincident ? 1 : 0)) * rule_.jitter;
  for (int v = 0; v < g.vertexCount; ++v) {
    const size_t row = static_cast<size_t>(v + solid.vmin);
    const Point3& p = c.at[static_cast<size_t>(v)];
    positions.x[row] = p[0] + move * positions.x[row];
    positions.y[row] = p[1] + move * positions.y[row];
    positions.z[row] = p[2] + move * positions.z[row];
  }
  origin_ = "spectral start " + std::to_string(step % count + 1) + " of " + std::to_string(count) +
            " (" + c.label + ")";
  if (round > 0) origin_ += " perturbed, round " + std::to_string(round);
  origin_ += ", search step " + std::to_string(steps_);
  return true;
}

}  // namespace kelmor
