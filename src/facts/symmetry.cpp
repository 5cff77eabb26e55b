#include "facts/symmetry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_set>

namespace kelmor {

namespace {

using F = PointGroup::Family;

double Norm(Vec3 v) { return std::sqrt(Dot(v, v)); }

Vec3 Apply(const Operation& m, Vec3 v) {
  return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
          m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

// The orthonormal frame of two independent vectors: u's direction, the part of v across
// it, and their cross product (or its opposite, for the mirror-image frame).
std::array<Vec3, 3> Frame(Vec3 u, Vec3 v, bool mirrored) {
  const Vec3 e1 = u * (1 / Norm(u));
  Vec3 e2 = v - e1 * Dot(v, e1);
  e2 = e2 * (1 / Norm(e2));
  const Vec3 e3 = Cross(e1, e2) * (mirrored ? -1.0 : 1.0);
  return {e1, e2, e3};
}

// The map that sends frame `from` onto frame `to`.
Operation Between(const std::array<Vec3, 3>& from, const std::array<Vec3, 3>& to) {
  Operation m{};
  for (int k = 0; k < 3; ++k) {
    const double t[3] = {to[k].x, to[k].y, to[k].z}, f[3] = {from[k].x, from[k].y, from[k].z};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m[r * 3 + c] += t[r] * f[c];
  }
  return m;
}

// Points sorted along x, for finding the point within a tolerance of a place.
class PointFinder {
 public:
  PointFinder(const std::vector<Vec3>& points, double tolerance) : points_(points), tol_(tolerance) {
    order_.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i) order_[i] = static_cast<int>(i);
    std::sort(order_.begin(), order_.end(), [&](int a, int b) { return points[a].x < points[b].x; });
  }
  // The nearest point within the tolerance, or -1.
  int find(Vec3 p) const {
    auto lo = std::lower_bound(order_.begin(), order_.end(), p.x - tol_,
                               [&](int i, double x) { return points_[i].x < x; });
    int best = -1;
    double bestD = tol_ * tol_;
    for (auto it = lo; it != order_.end() && points_[*it].x <= p.x + tol_; ++it) {
      const Vec3 d = points_[*it] - p;
      const double dd = Dot(d, d);
      if (dd <= bestD) best = *it, bestD = dd;
    }
    return best;
  }

 private:
  const std::vector<Vec3>& points_;
  std::vector<int> order_;
  double tol_;
};

long long EdgeKey(int a, int b, size_t count) {
  if (a > b) std::swap(a, b);
  return static_cast<long long>(a) * static_cast<long long>(count) + b;
}

struct Checker {
  const std::vector<Vec3>& points;
  Vec3 centre;
  PointFinder finder;
  const std::vector<std::array<int, 2>>& edges;
  std::unordered_set<long long> edgeSet;
  std::vector<int> image;
  std::vector<char> taken;

  // Whether m sends every point onto a distinct point and every edge onto an edge.
  bool maps(const Operation& m) {
    std::fill(taken.begin(), taken.end(), 0);
    for (size_t i = 0; i < points.size(); ++i) {
      const int j = finder.find(Apply(m, points[i] - centre) + centre);
      if (j < 0 || taken[static_cast<size_t>(j)]) return false;
      taken[static_cast<size_t>(j)] = 1;
      image[i] = j;
    }
    for (const auto& e : edges)
      if (!edgeSet.count(EdgeKey(image[static_cast<size_t>(e[0])], image[static_cast<size_t>(e[1])], points.size())))
        return false;
    return true;
  }
};

// The axis of a rotation other than the identity: R + R^T - (trace - 1) I is a multiple
// of the axis times itself, so its largest column lies along the axis.
Vec3 LargestColumn(const Operation& s) {
  Vec3 best{};
  for (int c = 0; c < 3; ++c) {
    const Vec3 col{s[c], s[3 + c], s[6 + c]};
    if (Dot(col, col) > Dot(best, best)) best = col;
  }
  return best * (1 / Norm(best));
}

Vec3 RotationAxis(const Operation& m) {
  const double t = m[0] + m[4] + m[8];
  Operation s{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) s[r * 3 + c] = m[r * 3 + c] + m[c * 3 + r] - (r == c ? t - 1 : 0);
  return LargestColumn(s);
}

// The normal of a mirror: I - M is twice the normal times itself.
Vec3 MirrorNormal(const Operation& m) {
  Operation s{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) s[r * 3 + c] = (r == c ? 1 : 0) - m[r * 3 + c];
  return LargestColumn(s);
}

double Det(const Operation& m) {
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

// The order of a rotation by `angle` (radians, 0 to pi) in a group of `limit` elements.
int RotationOrder(double angle, int limit, double tol) {
  for (int m = 2; m <= limit; ++m) {
    const double turns = m * angle / (2 * std::numbers::pi);
    if (std::fabs(turns - std::round(turns)) < tol * m) return m;
  }
  return limit;
}

struct Axis {
  Vec3 direction;
  int order;
};

bool Parallel(Vec3 a, Vec3 b, double tol) { return std::fabs(Dot(a, b)) > 1 - tol; }

SymmetryFound Collinear(Checker& checker) {
  SymmetryFound found;
  found.operations.push_back({1, 0, 0, 0, 1, 0, 0, 0, 1});
  const Operation inversion{-1, 0, 0, 0, -1, 0, 0, 0, -1};
  const bool centred = checker.maps(inversion);
  if (centred) found.operations.push_back(inversion);
  found.group = {centred ? F::LinearH : F::Linear, 1};
  return found;
}

}  // namespace

PointGroup ClassifyOperations(const std::vector<Operation>& operations, double tol) {
  std::vector<Axis> axes;
  std::vector<Vec3> mirrors;
  int proper = 0, maxOrder = 1;
  bool inversion = false;
  const int limit = static_cast<int>(operations.size());
  for (const Operation& m : operations) {
    const double t = m[0] + m[4] + m[8];
    if (Det(m) < 0) {
      if (std::fabs(t + 3) < tol) inversion = true;
      else if (std::fabs(t - 1) < tol) mirrors.push_back(MirrorNormal(m));
      continue;
    }
    ++proper;
    if (std::fabs(t - 3) < tol) continue;
    const double angle = std::acos(std::clamp((t - 1) / 2, -1.0, 1.0));
    const int order = RotationOrder(angle, limit, tol);
    maxOrder = std::max(maxOrder, order);
    const Vec3 axis = RotationAxis(m);
    auto same = std::find_if(axes.begin(), axes.end(), [&](const Axis& a) { return Parallel(a.direction, axis, tol); });
    if (same == axes.end()) axes.push_back({axis, order});
    else same->order = std::max(same->order, order);
  }
  auto axesOf = [&](int order) {
    return std::count_if(axes.begin(), axes.end(), [&](const Axis& a) { return a.order == order; });
  };
  const bool improper = limit > proper;
  if (axesOf(5) >= 2) return {improper ? F::Ih : F::I, 1};
  if (axesOf(4) >= 2) return {improper ? F::Oh : F::O, 1};
  if (axesOf(3) >= 2) return {improper ? (inversion ? F::Th : F::Td) : F::T, 1};
  const bool cyclic = proper == maxOrder;
  const int n = cyclic ? proper : proper / 2;
  // A mirror across a principal axis (one of the three axes of D2).
  auto mirrorAcross = [&] {
    for (const Axis& a : axes)
      if (a.order == n)
        for (Vec3 normal : mirrors)
          if (Parallel(normal, a.direction, tol)) return true;
    return false;
  };
  if (!cyclic) return {!improper ? F::D : mirrorAcross() ? F::Dh : F::Dd, n};
  if (!improper) return {F::C, n};
  if (n == 1) return mirrors.empty() ? PointGroup{F::S, 2} : PointGroup{F::Ch, 1};
  if (mirrors.empty()) return {F::S, 2 * n};
  return {mirrorAcross() ? F::Ch : F::Cv, n};
}

SymmetryFound FindSymmetry(const std::vector<Vec3>& points, const std::vector<std::array<int, 2>>& edges,
                           double tolerance) {
  const Operation identity{1, 0, 0, 0, 1, 0, 0, 0, 1};
  Vec3 centre{};
  for (Vec3 p : points) centre = centre + p;
  if (!points.empty()) centre = centre * (1.0 / static_cast<double>(points.size()));
  Checker checker{points, centre, PointFinder(points, tolerance), edges, {}, std::vector<int>(points.size()),
                  std::vector<char>(points.size())};
  for (const auto& e : edges)
    if (e[0] >= 0 && e[1] >= 0 && static_cast<size_t>(e[0]) < points.size() && static_cast<size_t>(e[1]) < points.size())
      checker.edgeSet.insert(EdgeKey(e[0], e[1], points.size()));

  std::vector<Vec3> q;
  for (Vec3 p : points) q.push_back(p - centre);
  if (q.empty()) return {{F::C, 1}, {identity}};
  // The frame: the point farthest out, and the point most across it.
  size_t a = 0, b = 0;
  for (size_t i = 0; i < q.size(); ++i)
    if (Norm(q[i]) > Norm(q[a])) a = i;
  double across = 0;
  for (size_t i = 0; i < q.size(); ++i) {
    const double c = Norm(Cross(q[a], q[i]));
    if (c > across) across = c, b = i;
  }
  if (Norm(q[a]) <= tolerance) return {{F::C, 1}, {identity}};
  if (across <= tolerance * Norm(q[a])) return Collinear(checker);

  SymmetryFound found;
  const double ra = Norm(q[a]), rb = Norm(q[b]), ab = Dot(q[a], q[b]);
  const std::array<Vec3, 3> from = Frame(q[a], q[b], false);
  for (size_t i = 0; i < q.size(); ++i) {
    if (std::fabs(Norm(q[i]) - ra) > 2 * tolerance) continue;
    for (size_t j = 0; j < q.size(); ++j) {
      if (j == i || std::fabs(Norm(q[j]) - rb) > 2 * tolerance) continue;
      if (std::fabs(Dot(q[i], q[j]) - ab) > 2 * tolerance * (ra + rb)) continue;
      if (Norm(Cross(q[i], q[j])) <= tolerance * ra) continue;
      for (bool mirrored : {false, true}) {
        const Operation m = Between(from, Frame(q[i], q[j], mirrored));
        if (checker.maps(m)) found.operations.push_back(m);
      }
    }
  }
  // The identity always maps; it goes first.
  auto trace = [](const Operation& m) { return m[0] + m[4] + m[8]; };
  auto first = std::max_element(found.operations.begin(), found.operations.end(),
                                [&](const Operation& x, const Operation& y) { return trace(x) < trace(y); });
  if (first == found.operations.end()) found.operations.push_back(identity);
  else std::iter_swap(found.operations.begin(), first);
  found.group = ClassifyOperations(found.operations, 1e-3);
  return found;
}

}  // namespace kelmor
