#include "output/orientation.h"

#include <cmath>
#include <vector>

#include "model/geometry.h"
#include "output/faces.h"
#include "run/run.h"

namespace kelmor {

namespace {

// The point nearest the origin of one vertex, the line through two or the plane through
// three. A line of two equal points, or a plane of three points on a line, falls back to
// the first point or the line of the first two.
Point3 NearestPoint(const std::vector<Point3>& p) {
  auto dot = [](const Point3& a, const Point3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
  auto minus = [](const Point3& a, const Point3& b) { return Point3{a.x - b.x, a.y - b.y, a.z - b.z}; };
  if (p.size() >= 3) {
    Point3 u = minus(p[1], p[0]), w = minus(p[2], p[0]);
    Point3 normal{u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
    double nn = dot(normal, normal);
    if (nn > 0) {
      double t = dot(p[0], normal) / nn;
      return {normal.x * t, normal.y * t, normal.z * t};
    }
  }
  if (p.size() >= 2) {
    Point3 d = minus(p[1], p[0]);
    double dd = dot(d, d);
    if (dd > 0) {
      double t = -dot(p[0], d) / dd;
      return {p[0].x + t * d.x, p[0].y + t * d.y, p[0].z + t * d.z};
    }
  }
  return p.front();
}

std::vector<Point3> FirstFlagged(const Run& run, char flag) {
  const Model& m = run.model;
  std::vector<Point3> points;
  for (int v = m.MinVertex; v <= m.MaxVertex && points.size() < 3; ++v)
    if (m.VertexFlags[v].find(flag) != std::string::npos) points.push_back(VertexPosition(run, v));
  return points;
}

// Replaces every pair (a, b) by (cos phi a + sin phi b, cos phi b - sin phi a), for the
// vertices and for the extra point.
void Turn(Run& run, Table<double> Model::*first, Table<double> Model::*second, double Point3::*pa,
          double Point3::*pb, double phi, Point3& extra) {
  Model& m = run.model;
  double c = std::cos(phi), s = std::sin(phi);
  auto turn = [&](double& a, double& b) {
    double na = c * a + s * b;
    b = c * b - s * a;
    a = na;
  };
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v) turn((m.*first)[v], (m.*second)[v]);
  turn(extra.*pa, extra.*pb);
}

}  // namespace

void OrientModel(Run& run) {
  Model& m = run.model;
  std::vector<Point3> f = FirstFlagged(run, 'F');
  if (!f.empty()) {
    Point3 p = NearestPoint(f);
    if (!HasLetter(m.FaceCode[1], "Y")) {
      Turn(run, &Model::PosX, &Model::PosY, &Point3::x, &Point3::y, PolarAngle(p.x, p.y) + Pi / 2, p);
      Turn(run, &Model::PosY, &Model::PosZ, &Point3::y, &Point3::z, PolarAngle(p.y, p.z) - Pi / 2, p);
    } else {
      Turn(run, &Model::PosX, &Model::PosZ, &Point3::x, &Point3::z, PolarAngle(p.x, p.z) + Pi / 2, p);
    }
  }
  std::vector<Point3> t = FirstFlagged(run, 'T');
  if (!t.empty()) {
    Point3 q = NearestPoint(t);
    Turn(run, &Model::PosX, &Model::PosY, &Point3::x, &Point3::y, PolarAngle(q.x, q.y) - Pi / 2, q);
  }
  int mirror = -1;
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v)
    if (m.VertexFlags[v].find('R') != std::string::npos) mirror = v;
  if (mirror >= 0 && m.PosX[mirror] < 0)
    for (int v = m.MinVertex; v <= m.MaxVertex; ++v) m.PosX[v] = -m.PosX[v];
}

}  // namespace kelmor
