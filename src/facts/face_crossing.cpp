#include <algorithm>
#include <cmath>

#include "facts/face_geometry.h"

namespace kelmor {

namespace {

double Norm(Vec3 v) { return std::sqrt(Dot(v, v)); }

struct Bounds {
  Vec3 centre;
  double radius = 0;
};

// A stretch of the line through `origin` along `direction` (the planes' common line), and
// on how many sides of the line (0, 1 or 2) the face is inside there: 2 where the line runs
// through the face, 1 where it runs along one of its edges.
struct Stretch {
  double from, to;
  int sides;
};

std::vector<Stretch> InsideStretches(const FactsSolid& solid, const FactsFace& face, const FacePlane& own,
                                     const FacePlane& other, Vec3 origin, Vec3 direction, double tolerance) {
  const double off = tolerance + other.spread;
  std::vector<double> cuts;
  for (auto [ia, ib] : FaceOutline(face)) {
    const Vec3 a = solid.points[static_cast<size_t>(ia)], b = solid.points[static_cast<size_t>(ib)];
    const double da = Dot(a - other.centre, other.normal), db = Dot(b - other.centre, other.normal);
    if (std::fabs(da) <= off) cuts.push_back(Dot(a - origin, direction));
    if ((da > off && db < -off) || (da < -off && db > off))
      cuts.push_back(Dot(a + (b - a) * (da / (da - db)) - origin, direction));
  }
  std::sort(cuts.begin(), cuts.end());
  // Looked at a little way off the line to either side, beyond what bent faces blur.
  const double aside = 3 * (tolerance + own.spread + other.spread);
  const Vec3 across = Cross(own.normal, direction);
  std::vector<Stretch> stretches;
  for (size_t k = 0; k + 1 < cuts.size(); ++k) {
    if (cuts[k + 1] - cuts[k] <= 2 * aside) continue;
    const Vec3 middle = origin + direction * ((cuts[k] + cuts[k + 1]) / 2);
    const int sides = (InsideOutline(solid, face, own, middle + across * aside, 0) ? 1 : 0) +
                      (InsideOutline(solid, face, own, middle - across * aside, 0) ? 1 : 0);
    if (sides > 0) stretches.push_back({cuts[k], cuts[k + 1], sides});
  }
  return stretches;
}

// Whether two faces pass through each other: along a stretch of the line where their
// planes meet, both are inside and at least one of them on both sides of the line. Faces
// that meet along an edge or at a corner keep to one side of it; parallel planes are not
// looked at.
bool PassThrough(const FactsSolid& solid, size_t i, size_t j, const std::vector<FacePlane>& planes, double tolerance) {
  const FacePlane &a = planes[i], &b = planes[j];
  Vec3 direction = Cross(a.normal, b.normal);
  const double sine = Norm(direction);
  if (sine < 1e-9) return false;
  direction = direction * (1 / sine);
  // A point of both planes: from a's centre towards b's plane, within a's plane.
  const Vec3 towards = Cross(direction, a.normal);
  const Vec3 origin = a.centre + towards * (Dot(b.centre - a.centre, b.normal) / Dot(towards, b.normal));
  const std::vector<Stretch> sa = InsideStretches(solid, solid.faces[i], a, b, origin, direction, tolerance);
  if (sa.empty()) return false;
  const std::vector<Stretch> sb = InsideStretches(solid, solid.faces[j], b, a, origin, direction, tolerance);
  for (const Stretch& x : sa)
    for (const Stretch& y : sb)
      if (std::min(x.to, y.to) - std::max(x.from, y.from) > tolerance && std::max(x.sides, y.sides) == 2) return true;
  return false;
}

}  // namespace

int CrossingPairs(const FactsSolid& solid, const std::vector<FacePlane>& planes, double tolerance) {
  std::vector<Bounds> bounds;
  for (const FactsFace& f : solid.faces) {
    Bounds b;
    for (int c : f.corners) b.centre = b.centre + solid.points[static_cast<size_t>(c)];
    if (!f.corners.empty()) b.centre = b.centre * (1.0 / static_cast<double>(f.corners.size()));
    for (int c : f.corners) b.radius = std::max(b.radius, Norm(solid.points[static_cast<size_t>(c)] - b.centre));
    bounds.push_back(b);
  }
  int pairs = 0;
  for (size_t i = 0; i < solid.faces.size(); ++i) {
    for (size_t j = i + 1; j < solid.faces.size(); ++j) {
      if (Norm(bounds[i].centre - bounds[j].centre) > bounds[i].radius + bounds[j].radius + tolerance) continue;
      if (PassThrough(solid, i, j, planes, tolerance)) ++pairs;
    }
  }
  return pairs;
}

}  // namespace kelmor
