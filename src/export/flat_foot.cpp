// Cutting a closed mesh by the plane z = h: triangles above it are kept, those across it
// clipped, and each loop the plane cuts is closed by a fan from its middle.
#include "export/flat_foot.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kelmor {

namespace {

struct Cut {
  Mesh mesh;
  double footArea = 0;  // unit edge
  bool closed = true;   // every cut loop could be closed
};

double BedArea(const Mesh& m) {
  double area = 0;
  for (const auto& t : m.triangles) {
    Vec3 a = m.points[size_t(t[0])], b = m.points[size_t(t[1])], c = m.points[size_t(t[2])];
    if (std::max({a.z, b.z, c.z}) < 1e-9) area += Length(Cross(b - a, c - a)) / 2;
  }
  return area;
}

// The points below the plane belong to no triangle any more; they must not count where
// the model's extent is measured.
Mesh WithoutLoosePoints(Mesh m) {
  std::vector<int> renumbered(m.points.size(), -1);
  std::vector<Vec3> kept;
  for (auto& t : m.triangles)
    for (int& v : t) {
      int& n = renumbered[size_t(v)];
      if (n < 0) {
        n = static_cast<int>(kept.size());
        kept.push_back(m.points[size_t(v)]);
      }
      v = n;
    }
  m.points = std::move(kept);
  return m;
}

Cut CutAt(const Mesh& m, double h) {
  Cut cut;
  cut.mesh.materials = m.materials;
  for (const Vec3& p : m.points) cut.mesh.AddPoint(p - Vec3{0, 0, h});
  std::map<std::pair<int, int>, int> onPlane;  // edge to the point where the plane cuts it
  auto cross = [&](int a, int b) {
    auto [it, added] = onPlane.try_emplace({std::min(a, b), std::max(a, b)}, 0);
    if (added) {
      Vec3 p = cut.mesh.points[size_t(a)], q = cut.mesh.points[size_t(b)];
      Vec3 r = p + (q - p) * (p.z / (p.z - q.z));
      r.z = 0;
      it->second = cut.mesh.AddPoint(r);
    }
    return it->second;
  };
  std::map<int, int> capEdge;  // the cap's edges, from point to point, in the cap's turn
  for (size_t t = 0; t < m.triangles.size(); ++t) {
    auto tri = m.triangles[t];
    int material = m.triangleMaterial[t], part = m.trianglePart[t];
    int above = 0;
    for (int v : tri) above += cut.mesh.points[size_t(v)].z > 0;
    if (above == 3) cut.mesh.AddTriangle(tri[0], tri[1], tri[2], material, part);
    if (above == 0 || above == 3) continue;
    // Turn the corners so that the lone one (above or below) comes first.
    while ((cut.mesh.points[size_t(tri[0])].z > 0) != (above == 1))
      std::rotate(tri.begin(), tri.begin() + 1, tri.end());
    int a = tri[0], b = tri[1], c = tri[2];
    int ab = cross(a, b), ca = cross(c, a);
    if (above == 1) {
      cut.mesh.AddTriangle(a, ab, ca, material, part);
      cut.closed = capEdge.try_emplace(ca, ab).second && cut.closed;
    } else {
      cut.mesh.AddTriangle(ab, b, c, material, part);
      cut.mesh.AddTriangle(ab, c, ca, material, part);
      cut.closed = capEdge.try_emplace(ab, ca).second && cut.closed;
    }
  }
  while (cut.closed && !capEdge.empty()) {
    std::vector<int> loop{capEdge.begin()->first};
    for (auto it = capEdge.find(loop.back()); it != capEdge.end() && it->second != loop.front();
         it = capEdge.find(loop.back())) {
      if (loop.size() > capEdge.size()) break;  // a loop that does not come back to its start
      loop.push_back(it->second);
    }
    cut.closed =
        capEdge.count(loop.back()) && capEdge[loop.back()] == loop.front() && loop.size() >= 3;
    Vec3 middle;
    for (int p : loop)
      middle = middle + cut.mesh.points[size_t(p)] * (1.0 / static_cast<double>(loop.size()));
    int centre = cut.mesh.AddPoint(middle);
    for (size_t i = 0; i < loop.size(); ++i) {
      int from = loop[i], to = loop[(i + 1) % loop.size()];
      cut.mesh.AddTriangle(centre, from, to, 0, 0);
      Vec3 p = cut.mesh.points[size_t(from)] - middle, q = cut.mesh.points[size_t(to)] - middle;
      cut.footArea += std::fabs(p.x * q.y - p.y * q.x) / 2;
      capEdge.erase(from);
    }
  }
  cut.mesh = WithoutLoosePoints(std::move(cut.mesh));
  return cut;
}

}  // namespace

Mesh FlatFoot(const Mesh& laid, double edgeMillimetres, double& cutMillimetres) {
  cutMillimetres = 0;
  const double squareMillimetres = edgeMillimetres * edgeMillimetres;
  if (laid.points.empty() || BedArea(laid) * squareMillimetres >= SteadyFootSquareMillimetres)
    return laid;
  double height = 0;
  for (const Vec3& p : laid.points) height = std::max(height, p.z);
  // Steps of a quarter millimetre, a little off round numbers so that no point of the
  // mesh lies in the cutting plane.
  for (double mm = 0.2503; mm < height * edgeMillimetres / 10; mm += 0.25) {
    Cut cut = CutAt(laid, mm / edgeMillimetres);
    if (!cut.closed) return laid;
    if (cut.footArea * squareMillimetres >= SteadyFootSquareMillimetres) {
      cutMillimetres = mm;
      return cut.mesh;
    }
  }
  return laid;
}

}  // namespace kelmor
