// The cylinder model for printing: closed cylinders along the struts and closed balls at
// their ends, each shell watertight on its own (a slicer unites overlapping shells).
#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

#include "export/mesh.h"

namespace kelmor {

namespace {

// Facets of a circle of this radius (millimetres) stay within this distance of the
// true circle: finer than any printer's nozzle and layer.
constexpr double PrintTolerance = 0.01;

int SegmentsFor(double radiusMillimetres) {
  if (!(radiusMillimetres > PrintTolerance)) return 12;
  double n = std::numbers::pi / std::acos(1.0 - PrintTolerance / radiusMillimetres);
  return std::clamp(static_cast<int>(std::ceil(n)), 12, 64);
}

// Two directions at right angles to w and to each other, u x v = w.
void Frame(Vec3 w, Vec3& u, Vec3& v) {
  u = Unit(std::fabs(w.x) < 0.9 ? Cross(w, {1, 0, 0}) : Cross(w, {0, 1, 0}));
  v = Cross(w, u);
}

void AddCylinder(Mesh& mesh, Vec3 a, Vec3 b, double r, int n, int material, int part) {
  Vec3 w = Unit(b - a), u, v;
  Frame(w, u, v);
  std::vector<int> ra, rb;
  // Rim points a quarter step off the frame's axes: two struts at right angles would
  // otherwise share rim points and edges exactly, joining two shells along an edge.
  for (int i = 0; i < n; ++i) {
    double t = 2 * std::numbers::pi * (i + 0.25) / n;
    Vec3 off = u * (r * std::cos(t)) + v * (r * std::sin(t));
    ra.push_back(mesh.AddPoint(a + off));
    rb.push_back(mesh.AddPoint(b + off));
  }
  for (int i = 0; i < n; ++i) {
    int j = (i + 1) % n;
    mesh.AddTriangle(ra[i], ra[j], rb[i], material, part);
    mesh.AddTriangle(ra[j], rb[j], rb[i], material, part);
  }
  // Caps as fans from one rim point, so no point of a strut sits on the vertex itself.
  for (int i = 1; i + 1 < n; ++i) {
    mesh.AddTriangle(ra[0], ra[i + 1], ra[i], material, part);
    mesh.AddTriangle(rb[0], rb[i], rb[i + 1], material, part);
  }
}

void AddBall(Mesh& mesh, Vec3 c, double r, int n, int material, int part) {
  const int rings = std::max(n / 2, 3);
  int top = mesh.AddPoint(c + Vec3{0, 0, r});
  std::vector<std::vector<int>> ring(static_cast<size_t>(rings - 1));
  for (int j = 1; j < rings; ++j) {
    double phi = std::numbers::pi * j / rings;
    for (int i = 0; i < n; ++i) {
      double t = 2 * std::numbers::pi * i / n;
      ring[static_cast<size_t>(j - 1)].push_back(
          mesh.AddPoint(c + Vec3{r * std::sin(phi) * std::cos(t), r * std::sin(phi) * std::sin(t), r * std::cos(phi)}));
    }
  }
  int bottom = mesh.AddPoint(c - Vec3{0, 0, r});
  const auto& first = ring.front();
  const auto& last = ring.back();
  for (int i = 0; i < n; ++i) {
    auto si = static_cast<size_t>(i), sj = static_cast<size_t>((i + 1) % n);
    mesh.AddTriangle(top, first[si], first[sj], material, part);
    for (size_t k = 0; k + 1 < ring.size(); ++k) {
      const auto& up = ring[k];
      const auto& down = ring[k + 1];
      mesh.AddTriangle(up[si], down[si], down[sj], material, part);
      mesh.AddTriangle(up[si], down[sj], up[sj], material, part);
    }
    mesh.AddTriangle(bottom, last[sj], last[si], material, part);
  }
}

}  // namespace

Mesh StrutMesh(const SolutionSnapshot& s, double edgeMillimetres) {
  Mesh mesh;
  mesh.smooth = true;
  mesh.materials.push_back({"struts", s.strutColour});
  mesh.materials.push_back({"balls", s.ballColour});
  const int strutSegments = SegmentsFor(s.strutRadius * edgeMillimetres);
  const int ballSegments = SegmentsFor(s.ballRadius * edgeMillimetres);
  auto at = [&](int p) {
    const SnapshotPoint& q = s.points.at(static_cast<size_t>(p));
    return Vec3{q.x, q.y, q.z};
  };
  // Balls only where struts end: a vertex that holds no strut would print as a loose ball.
  std::set<int> ends;
  for (auto [a, b] : s.struts) {
    if (s.strutRadius > 0 && Length(at(b) - at(a)) > 0) AddCylinder(mesh, at(a), at(b), s.strutRadius, strutSegments, 0, 0);
    ends.insert(a);
    ends.insert(b);
  }
  if (s.ballRadius > 0)
    for (int p : ends) AddBall(mesh, at(p), s.ballRadius, ballSegments, 1, 1);
  return mesh;
}

}  // namespace kelmor
