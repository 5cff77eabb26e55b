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

// Whether some outline edge of `edges` passes through the inside of `face` from one side
// of its plane to the other. An edge that starts or ends in the plane (a shared corner)
// does not count, nor does one that meets the outline itself (a shared edge).
bool Pierces(const FactsSolid& solid, const FactsFace& edges, const FactsFace& face, const FacePlane& plane,
             double tolerance) {
  if (Dot(plane.normal, plane.normal) == 0) return false;
  const double off = tolerance + plane.spread;
  for (auto [ia, ib] : FaceOutline(edges)) {
    const Vec3 a = solid.points[static_cast<size_t>(ia)], b = solid.points[static_cast<size_t>(ib)];
    const double da = Dot(a - plane.centre, plane.normal), db = Dot(b - plane.centre, plane.normal);
    if (!((da > off && db < -off) || (da < -off && db > off))) continue;
    const Vec3 at = a + (b - a) * (da / (da - db));
    if (InsideOutline(solid, face, plane, at, off)) return true;
  }
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
      if (Pierces(solid, solid.faces[j], solid.faces[i], planes[i], tolerance) ||
          Pierces(solid, solid.faces[i], solid.faces[j], planes[j], tolerance))
        ++pairs;
    }
  }
  return pairs;
}

}  // namespace kelmor
