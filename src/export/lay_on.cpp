// Which way up a model is printed. The contact with the bed is what holds a print in
// place, so the plane laid down is a supporting plane (every point on or above it) and
// its contact is the convex hull of the points in it.
#include "export/lay_on.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/polygon_fill.h"

namespace kelmor {

namespace {

struct Plane {
  Vec3 normal;  // unit, outwards: every point p has Dot(normal, p) <= offset
  double offset = 0;
};

struct Contact {
  Plane plane;
  double area = 0;
  Vec3 centre;  // of the contact polygon
};

// Beyond this many points the search over point triples for star solids (cubic in the
// points) is not worth its time; such models keep the orientation they were solved in.
constexpr size_t MostPointsForTriples = 150;

std::vector<Vec3> PointsOf(const SolutionSnapshot& s) {
  std::vector<Vec3> points;
  for (const SnapshotPoint& p : s.points) points.push_back({p.x, p.y, p.z});
  return points;
}

double Tolerance(const std::vector<Vec3>& points) {
  double extent = 0;
  for (const Vec3& p : points)
    extent = std::max({extent, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
  return 1e-6 * std::max(extent, 1.0);
}

// The plane through on with this normal, when all points lie on one side of it.
std::optional<Plane> Supporting(Vec3 normal, Vec3 on, const std::vector<Vec3>& points,
                                double tolerance) {
  Vec3 n = Unit(normal);
  if (Length(n) == 0) return std::nullopt;
  double d = Dot(n, on);
  bool above = false, below = false;
  for (const Vec3& p : points) {
    double h = Dot(n, p) - d;
    above = above || h > tolerance;
    below = below || h < -tolerance;
  }
  if (above && below) return std::nullopt;
  return above ? Plane{n * -1.0, -d} : Plane{n, d};
}

double Turn(Vec3 o, Vec3 a, Vec3 b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The area and centre of the convex hull of the points lying in the plane.
Contact ContactIn(const Plane& plane, const std::vector<Vec3>& points, double tolerance) {
  Vec3 n = plane.normal;
  Vec3 u = Unit(std::fabs(n.x) < 0.9 ? Cross(n, {1, 0, 0}) : Cross(n, {0, 1, 0}));
  Vec3 v = Cross(n, u);
  std::vector<Vec3> flat;  // (u, v) coordinates in x and y
  for (const Vec3& p : points)
    if (std::fabs(Dot(n, p) - plane.offset) <= tolerance) flat.push_back({Dot(p, u), Dot(p, v), 0});
  std::sort(flat.begin(), flat.end(),
            [](Vec3 a, Vec3 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  std::vector<Vec3> hull;  // Andrew's monotone chain, counter-clockwise
  for (int pass = 0; pass < 2; ++pass) {
    const size_t base = hull.size();
    for (const Vec3& p : flat) {
      while (hull.size() >= base + 2 && Turn(hull[hull.size() - 2], hull.back(), p) <= 0)
        hull.pop_back();
      hull.push_back(p);
    }
    hull.pop_back();
    std::reverse(flat.begin(), flat.end());
  }
  Contact c{plane, 0, {}};
  Vec3 mean, weighted;
  for (const Vec3& p : flat) mean = mean + p * (1.0 / static_cast<double>(flat.size()));
  for (size_t i = 0; i < hull.size(); ++i) {
    Vec3 a = hull[i], b = hull[(i + 1) % hull.size()];
    double cross = a.x * b.y - b.x * a.y;
    c.area += cross / 2;
    weighted = weighted + (a + b) * (cross / 6);
  }
  Vec3 centre2 = c.area > tolerance * tolerance ? weighted * (1.0 / c.area) : mean;
  c.centre = n * plane.offset + u * centre2.x + v * centre2.y;
  return c;
}

// Supporting planes worth trying: those of the faces, or for a model none of whose faces
// is on its outside (star solids), those through any three points.
std::vector<Plane> CandidatePlanes(const SolutionSnapshot& s, const std::vector<Vec3>& points,
                                   double tolerance) {
  std::vector<Plane> planes;
  for (const SnapshotFace& f : s.faces) {
    std::vector<Vec3> loop;
    for (int c : f.corners) loop.push_back(points.at(static_cast<size_t>(c)));
    if (loop.size() < 3) continue;
    if (auto p = Supporting(NewellNormal(loop), loop[0], points, tolerance)) planes.push_back(*p);
  }
  if (!planes.empty() || points.size() > MostPointsForTriples) return planes;
  for (size_t i = 0; i < points.size(); ++i)
    for (size_t j = i + 1; j < points.size(); ++j)
      for (size_t k = j + 1; k < points.size(); ++k)
        if (auto p = Supporting(Cross(points[j] - points[i], points[k] - points[i]), points[i],
                                points, tolerance))
          planes.push_back(*p);
  return planes;
}

// The centre of mass of the solid as it is printed (the mean point for a flat one).
Vec3 CentreOfMass(const SolutionSnapshot& s, const std::vector<Vec3>& points) {
  int starGaps = 0;
  Mesh mesh = PrintedSolidMesh(s, starGaps);
  double volume = 0;
  Vec3 moment, mean;
  for (const auto& t : mesh.triangles) {
    Vec3 a = mesh.points[static_cast<size_t>(t[0])], b = mesh.points[static_cast<size_t>(t[1])],
         c = mesh.points[static_cast<size_t>(t[2])];
    double v = Dot(a, Cross(b, c)) / 6;
    volume += v;
    moment = moment + (a + b + c) * (v / 4);
  }
  for (const Vec3& p : points) mean = mean + p * (1.0 / static_cast<double>(points.size()));
  return std::fabs(volume) > 1e-9 ? moment * (1.0 / volume) : mean;
}

// Rodrigues' turn taking the unit vector from onto the unit vector to.
Vec3 Turned(Vec3 p, Vec3 from, Vec3 to) {
  Vec3 axis = Cross(from, to);
  double c = Dot(from, to);
  if (c < -1 + 1e-12) {  // opposite: half a turn about any axis at right angles
    Vec3 w = Unit(std::fabs(from.x) < 0.9 ? Cross(from, {1, 0, 0}) : Cross(from, {0, 1, 0}));
    return w * (2 * Dot(w, p)) - p;
  }
  return p * c + Cross(axis, p) + axis * (Dot(axis, p) / (1 + c));
}

std::optional<Plane> LargestContact(const SolutionSnapshot& s, const std::vector<Vec3>& points,
                                    double tolerance) {
  Vec3 mass = CentreOfMass(s, points);
  std::optional<Contact> best;
  double bestOffCentre = 0;
  for (const Plane& plane : CandidatePlanes(s, points, tolerance)) {
    Contact c = ContactIn(plane, points, tolerance);
    Vec3 below = mass - plane.normal * (Dot(plane.normal, mass) - plane.offset);
    double offCentre = Length(c.centre - below);
    bool larger = !best || c.area > best->area * (1 + 1e-6);
    bool asLarge = best && c.area >= best->area * (1 - 1e-6);
    if (larger || (asLarge && offCentre < bestOffCentre - tolerance)) {
      best = c;
      bestOffCentre = offCentre;
    }
  }
  if (!best) return std::nullopt;
  return best->plane;
}

std::optional<Plane> FacePlane(const SolutionSnapshot& s, int number,
                               const std::vector<Vec3>& points, double tolerance,
                               std::string& why) {
  auto face = std::find_if(s.faces.begin(), s.faces.end(),
                           [&](const SnapshotFace& f) { return f.number == number; });
  if (face == s.faces.end() || face->corners.size() < 3) {
    why = "--lay-on face " + std::to_string(number) + ": the solid has no face " +
          std::to_string(number);
    return std::nullopt;
  }
  std::vector<Vec3> loop;
  for (int c : face->corners) loop.push_back(points.at(static_cast<size_t>(c)));
  auto plane = Supporting(NewellNormal(loop), loop[0], points, tolerance);
  if (!plane)
    why =
        "--lay-on face " + std::to_string(number) + ": the face is not on the outside of the solid";
  return plane;
}

}  // namespace

SolutionSnapshot LaidOn(const SolutionSnapshot& s, const LayOn& how, std::string& warning) {
  if (how.kind == LayOn::Kind::AsSolved || s.points.empty()) return s;
  std::vector<Vec3> points = PointsOf(s);
  const double tolerance = Tolerance(points);
  std::optional<Plane> plane;
  if (how.kind == LayOn::Kind::Face) {
    plane = FacePlane(s, how.face, points, tolerance, warning);
    if (!plane) warning += "; laid on its largest face instead";
  }
  if (!plane) plane = LargestContact(s, points, tolerance);
  if (!plane) return s;
  SolutionSnapshot turned = s;
  const Vec3 down{0, 0, -1};
  auto turn = [&](SnapshotPoint& p) {
    Vec3 q = Turned({p.x, p.y, p.z}, plane->normal, down);
    p = {q.x, q.y, q.z};
  };
  for (SnapshotPoint& p : turned.points) turn(p);
  for (SnapshotFace& f : turned.faces)
    for (SnapshotPoint& p : f.inner) turn(p);
  return turned;
}

Mesh OnTheBed(Mesh mesh) {
  if (mesh.points.empty()) return mesh;
  Vec3 low = mesh.points[0], high = mesh.points[0];
  for (const Vec3& p : mesh.points) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  Vec3 shift{-(low.x + high.x) / 2, -(low.y + high.y) / 2, -low.z};
  for (Vec3& p : mesh.points) p = p + shift;
  return mesh;
}

}  // namespace kelmor
