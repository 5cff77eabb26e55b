#include "output/faces.h"

#include <algorithm>
#include <cmath>

#include "model/colour.h"
#include "model/geometry.h"
#include "run/run.h"

namespace kelmor {

bool IsFrameFace(const Model& m, int f, FaceMode mode) {
  const std::string& code = m.FaceCode[f];
  if (mode == FaceMode::Whole || HasLetter(code, "s")) return false;
  return mode == FaceMode::Frame || HasLetter(code, "f");
}

bool IsFanShaped(const Model& m, int f) { return m.FaceStep[f] != 1 || HasLetter(m.FaceCode[f], "n"); }

bool IsWrittenAsFan(const Model& m, int f, FaceMode mode) {
  return !HasLetter(m.FaceCode[f], "B") && IsFanShaped(m, f) && !IsFrameFace(m, f, mode);
}

Point3 VertexPosition(const Run& run, int v) {
  return {run.model.PosX[v], run.model.PosY[v], run.model.PosZ[v]};
}

Point3 FaceMean(const Run& run, int f) {
  const Model& m = run.model;
  int n = m.FaceSize[f];
  Point3 c;
  for (int p = 1; p <= n; ++p) {
    Point3 v = VertexPosition(run, m.FaceVertex(f, p));
    c.x += v.x, c.y += v.y, c.z += v.z;
  }
  if (n > 0) c.x /= n, c.y /= n, c.z /= n;
  return c;
}

Point3 FrameInnerPoint(const Run& run, int f, int p) {
  const Model& m = run.model;
  int n = m.FaceSize[f];
  int k = m.FaceStep[f];
  Point3 c = FaceMean(run, f);
  Point3 first = VertexPosition(run, m.FaceVertex(f, 1));
  double r = VectorLength(first.x - c.x, first.y - c.y, first.z - c.z);
  int mm = k < n - k ? k : n - k;
  // The bar is the frame width wide measured across the edge: the inner outline is the
  // outline shrunk by width / apothem towards the centre. A degenerate face (no apothem)
  // keeps its inner points on its vertices.
  double apothem = r * std::cos(Pi * mm / n);
  double keep = apothem > 1e-12 ? 1.0 - run.FrameFraction / apothem : 1.0;
  Point3 v = VertexPosition(run, m.FaceVertex(f, p));
  return {(v.x - c.x) * keep + c.x, (v.y - c.y) * keep + c.y, (v.z - c.z) * keep + c.z};
}

PointLayout MakePointLayout(Run& run, FaceMode frameMode, std::initializer_list<FaceMode> usedModes) {
  Model& m = run.model;
  PointLayout layout;
  layout.innerStart.assign(static_cast<size_t>(std::max(m.PolygonCount, 0)) + 1, -1);
  layout.centre = layout.innerStart;
  layout.vertexPoints = std::max(m.MaxVertex - m.MinVertex + 1, 0);
  int next = layout.vertexPoints;
  for (int f = 1; f <= m.PolygonCount; ++f) {
    bool framePoints = frameMode == FaceMode::Frame || HasLetter(m.FaceCode[f], "f");
    if (!framePoints) continue;
    layout.innerStart[f] = next;
    next += m.FaceSize[f];
  }
  for (int f = 1; f <= m.PolygonCount; ++f) {
    bool fan = false;
    for (FaceMode mode : usedModes) fan = fan || IsWrittenAsFan(m, f, mode);
    if (m.FaceTSeen && HasLetter(m.FaceCode[f], "t")) fan = fan || IsWrittenAsFan(m, f, FaceMode::Whole);
    m.FaceCentre[f] = -1;
    if (!fan) continue;
    layout.centre[f] = next++;
    m.FaceCentre[f] = layout.centre[f] + m.MinVertex;
  }
  layout.pointCount = next;
  return layout;
}

void ForEachPoint(const Run& run, const PointLayout& layout, bool centresForPlainFaces,
                  const std::function<void(const Point3&)>& fn) {
  const Model& m = run.model;
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v) fn(VertexPosition(run, v));
  for (int f = 1; f <= m.PolygonCount; ++f) {
    if (layout.innerStart[f] < 0) continue;
    bool filled = centresForPlainFaces && !HasLetter(m.FaceCode[f], "f");
    Point3 centre = filled ? FaceMean(run, f) : Point3{};
    for (int p = 1; p <= m.FaceSize[f]; ++p) fn(filled ? centre : FrameInnerPoint(run, f, p));
  }
  for (int f = 1; f <= m.PolygonCount; ++f)
    if (layout.centre[f] >= 0) fn(FaceMean(run, f));
}

int FaceColour(const Run& run, int f, int& colour, HighlightRange range) {
  const Model& m = run.model;
  FaceColourIndex(m.FaceSize[f], m.FaceStep[f], m.FaceCode[f], colour);
  // Colour by segment (the first choice of SegColour): a face that has no fixed colour
  // takes the colour of its segment, entries 16 to 20.
  if (m.SegmentCount >= 2 && run.session.options.SegColour == 0 && colour < 20)
    colour = run.SegmentPaletteIndex[static_cast<size_t>(m.SegmentIndex)];
  bool admitted = range == HighlightRange::BelowFixed      ? colour < 21
                  : range == HighlightRange::BelowSegments ? colour < 20
                                                           : colour < 20 || colour > 28;
  if (run.HighlightMode == 1 && admitted) {
    bool sameType = m.FaceSize[f] == run.HighlightN && m.FaceStep[f] == run.HighlightD;
    if (sameType || run.HighlightN == 0) colour = 2;
  }
  return colour;
}

}  // namespace kelmor
