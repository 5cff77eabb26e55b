#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "model/numtext.h"
#include "run/run.h"
#include "topology/topology.h"

namespace kelmor {

namespace {

// Key of an unordered vertex pair (vertex numbers are 0..MaxItems).
uint32_t PairKey(int a, int b) {
  if (a > b) std::swap(a, b);
  return static_cast<uint32_t>(a) * (MaxItems + 1) + static_cast<uint32_t>(b);
}

// Collects the edges of the faces, merging each duplicate into the row of its first
// occurrence as it arrives: the survivor keeps its own target, takes the larger class,
// and records the face of the latest duplicate as its second face.
class EdgeCollector {
 public:
  explicit EdgeCollector(EdgeTable& t) : t_(t) { t_.EdgeTotal = 0; }

  void Add(int a, int b, int edgeClass, double target, int face) {
    auto [it, added] = rows_.try_emplace(PairKey(a, b), t_.EdgeTotal + 1);
    const int d = it->second;
    if (!added) {
      if (edgeClass > t_.EdgeClass[d]) t_.EdgeClass[d] = edgeClass;
      t_.EdgeFaces(d, 2) = face;
      return;
    }
    const int e = ++t_.EdgeTotal;  // row MaxEdges + 1 is out of range (error 9)
    t_.EdgeEnds(e, 1) = std::min(a, b);
    t_.EdgeEnds(e, 2) = std::max(a, b);
    t_.EdgeEnds(e, 3) = 0;
    t_.EdgeClass[e] = edgeClass;
    t_.EdgeTarget[e] = target;
    t_.EdgeFaces(e, 1) = face;
    t_.EdgeFaces(e, 2) = 0;
  }

  // Row of the edge between a and b, 0 when there is none.
  int Find(int a, int b) const {
    auto it = rows_.find(PairKey(a, b));
    return it == rows_.end() ? 0 : it->second;
  }

 private:
  EdgeTable& t_;
  std::unordered_map<uint32_t, int> rows_;
};

// Ring target of {n/k}; a step or side count outside the tables is out of range.
double RingTarget(const PolygonTables& poly, int n, int k) {
  if (k == 1) return 1.0;
  if (n < 0 || n > MaxSides || k < 0 || k > MaxStep) raiseError(ErrSubscript);
  return poly.ReachTable[n][k];
}

std::string TargetText(double target) {
  if (target >= 0.99) return BareNumber(target);
  return NumberText(target, "0.0##");
}

}  // namespace

void BuildEdgeTable(Run& run) {
  const Model& m = run.model;
  EdgeTable& t = run.edges;
  EdgeCollector edges(t);
  for (int f = 1; f <= m.PolygonCount; ++f) {
    const int n = m.FaceSize[f], k = m.FaceStep[f];
    const int faceClass = n < run.WeakenLimitValue + 1 ? 1 : 2;
    const double ringTarget = RingTarget(run.poly, n, k);
    for (int j = 1; j <= n; ++j)
      edges.Add(m.FaceVertex(f, j), m.FaceVertex(f, j < n ? j + 1 : 1), faceClass, ringTarget, f);
    if (k >= 2 || m.FaceCode[f].find('n') != std::string::npos) {
      for (int i = 1; i <= n; ++i) {
        int to = (i + k) % n;
        if (to == 0) to = n;
        edges.Add(m.FaceVertex(f, i), m.FaceVertex(f, to), 2, 1.0, f);
      }
    }
  }

  for (int r = 1; r < m.EdgeCount; ++r) {
    int e = edges.Find(m.EdgeList(r, 1), m.EdgeList(r, 2));
    if (e > 0) t.EdgeEnds(e, 3) = m.EdgeList(r, 3);
  }

  if (!run.debug.on()) return;
  for (int e = 1; e <= t.EdgeTotal; ++e)
    run.debug.Line(ListLine() << "edge:" << e << "vertices:" << t.EdgeEnds(e, 1) << " and "
                              << t.EdgeEnds(e, 2) << "sides:" << t.EdgeFaces(e, 1) << " and "
                              << t.EdgeFaces(e, 2) << "length:" << TargetText(t.EdgeTarget[e])
                              << " strength:" << t.EdgeClass[e]);
}

bool CheckWeakening(Run& run) {
  const Model& m = run.model;
  const EdgeTable& t = run.edges;
  auto sides = [&](int face) { return face == 0 ? 0 : m.FaceSize[face]; };
  int weakenable = 0;
  for (int e = 1; e <= t.EdgeTotal; ++e)
    if (sides(t.EdgeFaces(e, 1)) <= run.WeakenLimitValue &&
        sides(t.EdgeFaces(e, 2)) <= run.WeakenLimitValue)
      weakenable += 1;
  if (weakenable > 0) return true;
  run.host.message(
      "Error: Invalid value for Weaken Limit.  No sides can be weakened.  There must be at least "
      "one edge where both adjacent polygons have a number of sides less than or equal to the "
      "Weaken Limit");
  return false;
}

void BuildAdjacency(Run& run) {
  const Model& m = run.model;
  EdgeTable& t = run.edges;
  t.VertexDegree.fill(0);
  auto link = [&](int from, int to) {
    int d = t.VertexDegree[from] + 1;
    t.Neighbour(from, d) = to;  // a 41st neighbour is out of range (error 9)
    t.VertexDegree[from] = d;
  };
  for (int e = 1; e <= t.EdgeTotal; ++e) {
    link(t.EdgeEnds(e, 1), t.EdgeEnds(e, 2));
    link(t.EdgeEnds(e, 2), t.EdgeEnds(e, 1));
  }
  if (!run.debug.on()) return;
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v) {
    ListLine line;
    line << "vertex:" << v << "  linked to: ";
    for (int i = 1; i <= t.VertexDegree[v]; ++i) line << t.Neighbour(v, i);
    line << "(" << t.VertexDegree[v] << ")";
    run.debug.Line(line);
  }
}

}  // namespace kelmor
