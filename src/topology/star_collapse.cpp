#include <algorithm>
#include <vector>

#include "run/run.h"
#include "topology/face_rows.h"
#include "topology/topology.h"

namespace kelmor {

namespace {

// Star step of a collapsed fan of the given length; other lengths keep the step.
int CollapsedStep(int length, int step) {
  switch (length) {
    case 5:
      return 2;
    case 8:
      return 3;
    case 10:
      return 3;
    default:
      return step;
  }
}

void CollapseFan(Run& run, int f, int fanLength, const Table<int>& fanRim) {
  Model& m = run.model;
  const int s = f - fanLength;
  ListLine found;
  found << "star polygon found :" << fanLength << "Vertices :";
  for (int j = 1; j <= fanLength; ++j) found << fanRim[j];
  run.debug.Line(found);
  run.debug.Line(ListLine() << "  Centered on vertex: " << m.FaceVertex(f - 1, 1));
  for (int j = 1; j <= fanLength; ++j) m.FaceVertex(s, j) = fanRim[j];
  m.FaceSize[s] = fanLength;
  m.FaceStep[s] = CollapsedStep(fanLength, m.FaceStep[s]);
  for (int k = 1; k <= fanLength - 1; ++k) m.FaceSize[s + k] = -1;
}

}  // namespace

void CollapseStarPolygons(Run& run) {
  Model& m = run.model;
  Table<int> fanRim(MaxFaceVertices, 0);  // a 41st rim vertex is out of range (error 9)
  int collapseAnswer = 0;                 // 0 not asked, 1 yes, 2 no
  int fanLength = 0;
  int fanCentre = m.FaceVertex(1, 1);
  // The extra row after the last polygon closes a run that reaches the last face.
  for (int f = 1; f <= m.PolygonCount + 1; ++f) {
    const bool triangle = f <= m.PolygonCount && m.FaceSize[f] == 3;
    if (triangle && m.FaceVertex(f, 1) == fanCentre) {
      if (fanLength == 1 && f > 1) fanRim[1] = m.FaceVertex(f - 1, 2);
      fanLength += 1;
      fanRim[fanLength] = m.FaceVertex(f, 2);
    } else {
      if (fanLength > 4) {
        if (collapseAnswer == 0)
          collapseAnswer =
              run.host.askYesNo("Collapse possible star polygon found in input?") ? 1 : 2;
        if (collapseAnswer == 1) CollapseFan(run, f, fanLength, fanRim);
      }
      // Face f starts the next run only when it is a triangle itself: a square whose
      // first vertex is the next fan's centre is no part of that fan.
      fanLength = triangle ? 1 : 0;
    }
    if (f <= m.PolygonCount) fanCentre = m.FaceVertex(f, 1);
  }
}

void RemoveUnusedVertices(Run& run) {
  Model& m = run.model;
  const int lo = m.MinVertex, hi = m.MaxVertex;
  if (hi < lo) return;

  // In use: listed by a face that is still there (collapsed fans' triangles are not).
  std::vector<char> inUse(static_cast<size_t>(hi - lo + 1), 0);
  for (int f = 1; f <= LastFaceRow(m); ++f)
    for (int p = 1; p <= m.FaceSize[f]; ++p) {
      int v = m.FaceVertex(f, p);
      if (v >= lo && v <= hi) inUse[static_cast<size_t>(v - lo)] = 1;
    }

  // removedBelow[i]: removed numbers in lo..lo+i-1. Scanning from the top means the
  // numbers still to be examined are never shifted.
  std::vector<int> removedBelow(static_cast<size_t>(hi - lo + 2), 0);
  int removedVertexCount = 0;
  for (int v = hi; v >= lo; --v) {
    if (inUse[static_cast<size_t>(v - lo)]) continue;
    removedVertexCount += 1;
    run.debug.Line(ListLine() << "Vertex removed :" << v);
  }
  if (removedVertexCount == 0) return;
  for (int v = lo; v <= hi; ++v)
    removedBelow[static_cast<size_t>(v - lo + 1)] =
        removedBelow[static_cast<size_t>(v - lo)] + (inUse[static_cast<size_t>(v - lo)] ? 0 : 1);
  auto countBelow = [&](int w) {
    if (w <= lo) return 0;
    if (w > hi) return removedVertexCount;
    return removedBelow[static_cast<size_t>(w - lo)];
  };
  auto countAtOrBelow = [&](int w) { return countBelow(w + 1); };

  for (int f = 1; f <= LastFaceRow(m); ++f)
    for (int p = 1; p <= m.FaceSize[f]; ++p)
      m.FaceVertex(f, p) -= countAtOrBelow(m.FaceVertex(f, p));

  // Flags and starting coordinates of every number above a removed one move down. Flags
  // are held by vertex number, starting coordinates by position in the input's list
  // (vertex number minus MinVertex), so each moves within its own layout: row = w - base.
  // Rows above both the model and the held rows are empty and stay so; the top
  // removedVertexCount rows of the range moved are emptied.
  auto shiftDown = [&](auto& table, int base) {
    const int top = std::min(table.maxRow() - base, std::max(table.heldRows() - 1, hi - base));
    for (int row = lo - base; row <= top; ++row) {
      const int w = row + base;
      if (w <= hi && !inUse[static_cast<size_t>(w - lo)]) continue;
      const int shift = countBelow(w);
      if (shift != 0) table[row - shift] = table[row];
    }
    for (int row = top - removedVertexCount + 1; row <= top && row < table.heldRows(); ++row)
      table[row] = {};
  };
  shiftDown(m.VertexFlags, 0);
  shiftDown(m.VertexX, lo);
  shiftDown(m.VertexY, lo);
  shiftDown(m.VertexZ, lo);

  for (int r = 1; r < m.RealmCount; ++r)
    if (m.RealmSegment[r] == m.SegmentIndex) m.RealmMark[r] -= countBelow(m.RealmMark[r]);

  for (int e = 1; e < m.EdgeCount; ++e) {
    m.EdgeList(e, 1) -= countAtOrBelow(m.EdgeList(e, 1));
    m.EdgeList(e, 2) -= countAtOrBelow(m.EdgeList(e, 2));
  }
  m.MaxVertex -= removedVertexCount;
}

}  // namespace kelmor
