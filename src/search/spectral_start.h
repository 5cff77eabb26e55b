#pragma once

#include <string>
#include <vector>

#include "search/solid_graph.h"

namespace kelmor {

// A starting placement built from the topology alone.
struct StartCandidate {
  std::vector<Point3> at;  // centred, scaled to mean edge length 1
  double spread = 0;       // EdgeSpread of the placement
  // Two vertices closer than a hundredth of an edge: a placement with more symmetry than
  // the solid has (vertices that the topology cannot tell apart fall together), worth a
  // start only when moved apart.
  bool coincident = false;
  std::string label;       // "cluster 4", "pair 3+5 at 156.25 degrees"
};

// Symmetric starts from the spectrum of the vertex graph. A generic combination of
// matrices built from the topology alone (edge adjacency, co-membership in the faces of
// each kind weighted by the distance around the face, two-step adjacency) commutes with
// every combinatorial symmetry of the solid, so each of its eigenspaces is invariant
// under them. An eigenspace of dimension 3, read as one position a vertex, is a placement
// with the solid's whole symmetry; two eigenspaces that carry the same representation mix
// into a one-parameter family of such placements, scanned for the angle with the most
// even edges. Candidates come best first (smallest edge spread, those with coincident
// vertices after all others), at most `most` of them. Deterministic: the same
// graph gives the same candidates. Cost: a dense eigen-decomposition, O(V^3); none above
// `largest` vertices.
std::vector<StartCandidate> SpectralCandidates(const SolidGraph& g, size_t most = 8,
                                               int largest = 720);

}  // namespace kelmor
