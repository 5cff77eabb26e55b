#pragma once

#include <array>
#include <utility>
#include <vector>

#include "run/host.h"

namespace kelmor {

// A solid's topology as the search sees it: vertices 0..vertexCount-1, faces as vertex
// lists in ring order with their step ({5/2}: 2), and the edges the springs pull with the
// length each is pulled to (a star face's ring edges are shorter than 1). Read only; the
// search never sees the engine's tables.
struct SolidGraph {
  int vertexCount = 0;
  std::vector<std::vector<int>> faces;
  std::vector<int> steps;  // one per face
  std::vector<std::pair<int, int>> edges;
  std::vector<double> targets;  // one per edge; empty: every edge is pulled to 1

  double target(size_t e) const { return targets.empty() ? 1.0 : targets[e]; }
};

// The graph of the solid an attempt relaxes: vertex number v becomes v - vmin.
SolidGraph GraphOf(const SolidView& view);

using Point3 = std::array<double, 3>;

// Root mean square of (edge length / (scale * target) - 1) over the edges, the scale being
// the mean of length / target: 0 for a placement with every edge in proportion to its
// target. A placement whose scale is (nearly) 0 scores infinity.
double EdgeSpread(const SolidGraph& g, const std::vector<Point3>& at);

// Moves the placement's centroid to the origin and scales it so that the mean of
// length / target over the edges is 1.
void ScaleToUnitEdge(const SolidGraph& g, std::vector<Point3>& at);

// The shortest distance between two vertices divided by the scale of EdgeSpread (0 when two
// vertices coincide).
double ClosestApproach(const SolidGraph& g, const std::vector<Point3>& at);

}  // namespace kelmor
