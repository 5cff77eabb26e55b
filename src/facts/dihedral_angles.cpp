#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <queue>

#include "facts/face_geometry.h"

namespace kelmor {

namespace {

double Norm(Vec3 v) { return std::sqrt(Dot(v, v)); }

struct Use {
  int face;
  int from, to;  // the direction the face runs the edge
};

using EdgeUses = std::map<std::pair<int, int>, std::vector<Use>>;

// The pairs of corners faces meet along: the outline's edges, and for a star face also its
// ring of corners in listed order (star faces may be joined along that ring).
EdgeUses UsesOf(const FactsSolid& solid) {
  EdgeUses uses;
  for (size_t f = 0; f < solid.faces.size(); ++f) {
    std::vector<std::array<int, 2>> pairs = FaceOutline(solid.faces[f]);
    if (solid.faces[f].step > 1) {
      const std::vector<std::array<int, 2>> ring = FaceOutline({solid.faces[f].corners, 1});
      pairs.insert(pairs.end(), ring.begin(), ring.end());
    }
    for (auto [a, b] : pairs)
      if (a != b) uses[{std::min(a, b), std::max(a, b)}].push_back({static_cast<int>(f), a, b});
  }
  return uses;
}

// Which faces to turn over so that the two faces at every edge run it in opposite
// directions (breadth first from each face not yet reached), then all of them again when
// the solid's signed volume comes out negative, so that the normals point out.
std::vector<bool> Orient(const FactsSolid& solid, const EdgeUses& uses, const std::vector<FacePlane>& planes) {
  const size_t count = solid.faces.size();
  std::vector<bool> flipped(count, false), reached(count, false);
  std::vector<std::vector<std::pair<int, bool>>> next(count);  // neighbour, same direction
  for (const auto& [edge, list] : uses)
    if (list.size() == 2) {
      const bool same = list[0].from == list[1].from;
      next[static_cast<size_t>(list[0].face)].push_back({list[1].face, same});
      next[static_cast<size_t>(list[1].face)].push_back({list[0].face, same});
    }
  for (size_t start = 0; start < count; ++start) {
    if (reached[start]) continue;
    reached[start] = true;
    std::queue<size_t> todo;
    todo.push(start);
    while (!todo.empty()) {
      const size_t f = todo.front();
      todo.pop();
      for (auto [g, same] : next[f]) {
        const size_t gi = static_cast<size_t>(g);
        if (reached[gi]) continue;
        reached[gi] = true;
        flipped[gi] = flipped[f] != same;
        todo.push(gi);
      }
    }
  }
  double volume = 0;
  for (size_t f = 0; f < count; ++f)
    volume += (flipped[f] ? -1 : 1) * Dot(WindingNormal(solid, solid.faces[f]), planes[f].centre);
  if (volume < 0) flipped.flip();
  return flipped;
}

}  // namespace

bool DihedralRange(const FactsSolid& solid, const std::vector<FacePlane>& planes, double& lowest,
                   double& highest) {
  const EdgeUses uses = UsesOf(solid);
  const std::vector<bool> flipped = Orient(solid, uses, planes);
  bool any = false;
  for (const auto& [edge, list] : uses) {
    if (list.size() != 2) continue;
    const Use& a = list[0];
    const Use& b = list[1];
    Vec3 na = planes[static_cast<size_t>(a.face)].normal * (flipped[static_cast<size_t>(a.face)] ? -1.0 : 1.0);
    Vec3 nb = planes[static_cast<size_t>(b.face)].normal * (flipped[static_cast<size_t>(b.face)] ? -1.0 : 1.0);
    Vec3 t = solid.points[static_cast<size_t>(a.to)] - solid.points[static_cast<size_t>(a.from)];
    if (Norm(t) == 0 || Dot(na, na) == 0 || Dot(nb, nb) == 0) continue;
    t = t * ((flipped[static_cast<size_t>(a.face)] ? -1.0 : 1.0) / Norm(t));
    // Directions from the edge into each face, square to the edge.
    const Vec3 wa = Cross(na, t), wb = Cross(nb, t * -1.0);
    double angle = std::acos(std::clamp(Dot(wa, wb) / (Norm(wa) * Norm(wb)), -1.0, 1.0)) * 180 / std::numbers::pi;
    if (Dot(wb, na) > 0) angle = 360 - angle;
    lowest = any ? std::min(lowest, angle) : angle;
    highest = any ? std::max(highest, angle) : angle;
    any = true;
  }
  return any;
}

}  // namespace kelmor
