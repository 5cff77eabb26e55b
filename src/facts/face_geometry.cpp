#include "facts/face_geometry.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <set>

namespace kelmor {

namespace {

double Norm(Vec3 v) { return std::sqrt(Dot(v, v)); }

Vec3 At(const FactsSolid& solid, int point) { return solid.points.at(static_cast<size_t>(point)); }

// Distance from p to the segment a-b.
double SegmentDistance(Vec3 p, Vec3 a, Vec3 b) {
  const Vec3 ab = b - a;
  const double len2 = Dot(ab, ab);
  const double t = len2 > 0 ? std::clamp(Dot(p - a, ab) / len2, 0.0, 1.0) : 0.0;
  return Norm(p - (a + ab * t));
}

}  // namespace

std::vector<std::array<int, 2>> FaceOutline(const FactsFace& face) {
  std::vector<std::array<int, 2>> edges;
  const size_t n = face.corners.size();
  const size_t k = static_cast<size_t>(std::max(face.step, 1));
  for (size_t p = 0; p < n; ++p) edges.push_back({face.corners[p], face.corners[(p + k) % n]});
  return edges;
}

Vec3 WindingNormal(const FactsSolid& solid, const FactsFace& face) {
  Vec3 sum{};
  for (auto [a, b] : FaceOutline(face)) sum = sum + Cross(At(solid, a), At(solid, b));
  return sum;
}

FacePlane FitPlane(const FactsSolid& solid, const FactsFace& face) {
  FacePlane plane;
  std::set<int> corners(face.corners.begin(), face.corners.end());
  if (corners.empty()) return plane;
  for (int c : corners) plane.centre = plane.centre + At(solid, c);
  plane.centre = plane.centre * (1.0 / static_cast<double>(corners.size()));
  Eigen::Matrix3d spread = Eigen::Matrix3d::Zero();
  for (int c : corners) {
    const Vec3 d = At(solid, c) - plane.centre;
    const Eigen::Vector3d v(d.x, d.y, d.z);
    spread += v * v.transpose();
  }
  Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(spread);
  const Eigen::Vector3d least = solver.eigenvectors().col(0);
  Vec3 normal{least.x(), least.y(), least.z()};
  if (Dot(normal, WindingNormal(solid, face)) < 0) normal = normal * -1.0;
  if (corners.size() < 3 || solver.eigenvalues()(1) <= 0) normal = {};
  plane.normal = normal;
  for (int c : corners) plane.spread = std::max(plane.spread, std::fabs(Dot(At(solid, c) - plane.centre, normal)));
  return plane;
}

bool InsideOutline(const FactsSolid& solid, const FactsFace& face, const FacePlane& plane, Vec3 point,
                   double margin) {
  // A basis of the plane; the winding number counts signed crossings of the ray along u.
  const Vec3 n = plane.normal;
  const Vec3 helper = std::fabs(n.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  Vec3 u = Cross(n, helper);
  u = u * (1 / Norm(u));
  const Vec3 v = Cross(n, u);
  int winding = 0;
  for (auto [ia, ib] : FaceOutline(face)) {
    const Vec3 a = At(solid, ia), b = At(solid, ib);
    if (SegmentDistance(point, a, b) < margin) return false;
    const double ay = Dot(a - point, v), by = Dot(b - point, v);
    const double ax = Dot(a - point, u), bx = Dot(b - point, u);
    const double side = ax * by - bx * ay;  // > 0: the point is left of a->b
    if (ay <= 0 && by > 0 && side > 0) ++winding;
    if (ay > 0 && by <= 0 && side < 0) --winding;
  }
  return winding != 0;
}

}  // namespace kelmor
