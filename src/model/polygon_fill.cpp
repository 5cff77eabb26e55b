#include "model/polygon_fill.h"

#include <algorithm>
#include <cmath>

namespace kelmor {

namespace {

struct Vec2 {
  double x = 0, y = 0;
};

double Cross2(Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// The outline in two dimensions: dropped onto the plane its normal is most nearly across.
std::vector<Vec2> Flatten(const std::vector<Vec3>& outline, Vec3 normal) {
  const double ax = std::abs(normal.x), ay = std::abs(normal.y), az = std::abs(normal.z);
  std::vector<Vec2> flat;
  flat.reserve(outline.size());
  for (const Vec3& p : outline) {
    if (az >= ax && az >= ay) flat.push_back({p.x, p.y});
    else if (ax >= ay) flat.push_back({p.y, p.z});
    else flat.push_back({p.z, p.x});
  }
  return flat;
}

// Proper crossing of segments ab and cd, or touching where the tolerance cannot tell.
bool SegmentsMeet(Vec2 a, Vec2 b, Vec2 c, Vec2 d, double eps) {
  const double d1 = Cross2(a, b, c), d2 = Cross2(a, b, d);
  const double d3 = Cross2(c, d, a), d4 = Cross2(c, d, b);
  return ((d1 > eps && d2 < -eps) || (d1 < -eps && d2 > eps)) &&
         ((d3 > eps && d4 < -eps) || (d3 < -eps && d4 > eps));
}

double Extent(const std::vector<Vec2>& flat) {
  double lo = 1e300, hi = -1e300;
  for (Vec2 p : flat) {
    lo = std::min({lo, p.x, p.y});
    hi = std::max({hi, p.x, p.y});
  }
  return hi - lo;
}

}  // namespace

Vec3 NewellNormal(const std::vector<Vec3>& outline) {
  Vec3 n;
  for (size_t i = 0; i < outline.size(); ++i) {
    const Vec3& a = outline[i];
    const Vec3& b = outline[(i + 1) % outline.size()];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

bool CrossesItself(const std::vector<Vec3>& outline) {
  const std::vector<Vec2> flat = Flatten(outline, NewellNormal(outline));
  const size_t n = flat.size();
  if (n < 4) return false;
  const double eps = 1e-12 * Extent(flat) * Extent(flat);
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1) continue;  // neighbours share a corner
      if (SegmentsMeet(flat[i], flat[(i + 1) % n], flat[j], flat[(j + 1) % n], eps)) return true;
    }
    // Two corners at one place (a face folded onto itself) is no simple outline either.
    for (size_t j = i + 1; j < n; ++j)
      if (std::abs(flat[i].x - flat[j].x) + std::abs(flat[i].y - flat[j].y) <= eps) return true;
  }
  return false;
}

std::vector<std::array<int, 3>> EarCorners(const std::vector<Vec3>& outline) {
  const size_t n = outline.size();
  if (n < 3) return {};
  const std::vector<Vec2> flat = Flatten(outline, NewellNormal(outline));
  double area = 0;
  for (size_t i = 0; i < n; ++i) area += flat[i].x * flat[(i + 1) % n].y - flat[(i + 1) % n].x * flat[i].y;
  const double turn = area >= 0 ? 1.0 : -1.0;
  std::vector<int> left(n);
  for (size_t i = 0; i < n; ++i) left[i] = static_cast<int>(i);
  auto at = [&flat](int i) { return flat[static_cast<size_t>(i)]; };
  std::vector<std::array<int, 3>> out;
  while (left.size() > 3) {
    bool cut = false;
    for (size_t k = 0; k < left.size() && !cut; ++k) {
      const int a = left[(k + left.size() - 1) % left.size()], b = left[k], c = left[(k + 1) % left.size()];
      if (turn * Cross2(at(a), at(b), at(c)) <= 0) continue;  // a reflex corner
      bool inside = false;
      for (int q : left) {
        if (q == a || q == b || q == c) continue;
        if (turn * Cross2(at(a), at(b), at(q)) >= 0 && turn * Cross2(at(b), at(c), at(q)) >= 0 &&
            turn * Cross2(at(c), at(a), at(q)) >= 0) {
          inside = true;
          break;
        }
      }
      if (inside) continue;
      out.push_back({a, b, c});
      left.erase(left.begin() + static_cast<long>(k));
      cut = true;
    }
    if (!cut) return {};
  }
  out.push_back({left[0], left[1], left[2]});
  return out;
}

}  // namespace kelmor
