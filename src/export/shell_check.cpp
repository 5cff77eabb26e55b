#include "export/shell_check.h"

#include <map>
#include <numeric>
#include <tuple>

namespace kelmor {

namespace {

int Root(std::vector<int>& parent, int i) {
  while (parent[static_cast<size_t>(i)] != i) i = parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
  return i;
}

}  // namespace

bool ShellReport::Printable() const {
  if (openEdges || overusedEdges || misorientedEdges || shells == 0) return false;
  for (double v : volumes)
    if (!(v > 0)) return false;
  return true;
}

ShellReport CheckShells(const std::vector<Vec3>& points, const std::vector<std::array<int, 3>>& triangles) {
  // Equal positions are one point.
  std::map<std::tuple<double, double, double>, int> ids;
  std::vector<int> id(points.size());
  for (size_t i = 0; i < points.size(); ++i)
    id[i] = ids.try_emplace({points[i].x, points[i].y, points[i].z}, static_cast<int>(ids.size())).first->second;
  // Each undirected edge: how often it is run forwards (smaller point first) and backwards.
  std::map<std::pair<int, int>, std::array<int, 2>> edgeRuns;
  std::map<std::pair<int, int>, int> edgeTriangle;
  std::vector<int> parent(triangles.size());
  std::iota(parent.begin(), parent.end(), 0);
  for (size_t t = 0; t < triangles.size(); ++t) {
    for (int k = 0; k < 3; ++k) {
      int a = id[static_cast<size_t>(triangles[t][static_cast<size_t>(k)])];
      int b = id[static_cast<size_t>(triangles[t][static_cast<size_t>((k + 1) % 3)])];
      if (a == b) continue;
      std::pair<int, int> key{std::min(a, b), std::max(a, b)};
      ++edgeRuns[key][a < b ? 0 : 1];
      auto [it, added] = edgeTriangle.try_emplace(key, static_cast<int>(t));
      if (!added) parent[static_cast<size_t>(Root(parent, static_cast<int>(t)))] = Root(parent, it->second);
    }
  }
  ShellReport r;
  for (const auto& [key, runs] : edgeRuns) {
    int uses = runs[0] + runs[1];
    if (uses == 1) ++r.openEdges;
    else if (uses > 2) ++r.overusedEdges;
    else if (runs[0] != 1) ++r.misorientedEdges;
  }
  std::map<int, size_t> shellOf;
  for (size_t t = 0; t < triangles.size(); ++t) {
    auto [it, added] = shellOf.try_emplace(Root(parent, static_cast<int>(t)), r.volumes.size());
    if (added) r.volumes.push_back(0);
    const auto& tri = triangles[t];
    Vec3 a = points[static_cast<size_t>(tri[0])], b = points[static_cast<size_t>(tri[1])],
         c = points[static_cast<size_t>(tri[2])];
    r.volumes[it->second] += Dot(a, Cross(b, c)) / 6.0;
  }
  r.shells = static_cast<int>(r.volumes.size());
  r.volume = std::accumulate(r.volumes.begin(), r.volumes.end(), 0.0);
  return r;
}

}  // namespace kelmor
