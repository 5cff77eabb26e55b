#include "search/solid_graph.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelmor {

namespace {

double Distance(const Point3& a, const Point3& b) {
  return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

double MeanEdge(const SolidGraph& g, const std::vector<Point3>& at) {
  if (g.edges.empty()) return 0;
  double sum = 0;
  for (size_t e = 0; e < g.edges.size(); ++e)
    sum += Distance(at[g.edges[e].first], at[g.edges[e].second]) / g.target(e);
  return sum / static_cast<double>(g.edges.size());
}

}  // namespace

SolidGraph GraphOf(const SolidView& view) {
  SolidGraph g;
  g.vertexCount = std::max(0, view.vmax - view.vmin + 1);
  auto inside = [&](int v) { return v >= view.vmin && v <= view.vmax; };
  for (int f = 1; f <= view.faceCount; ++f) {
    std::vector<int> face;
    for (int k = view.faceStart[f]; k < view.faceStart[f + 1]; ++k)
      if (inside(view.faceVerts[k])) face.push_back(view.faceVerts[k] - view.vmin);
    g.faces.push_back(std::move(face));
    g.steps.push_back(view.faceStep[f]);
  }
  for (size_t e = 0; e < view.edgeA.size(); ++e) {
    if (!inside(view.edgeA[e]) || !inside(view.edgeB[e])) continue;
    g.edges.push_back({view.edgeA[e] - view.vmin, view.edgeB[e] - view.vmin});
    g.targets.push_back(view.edgeTarget[e] > 1e-9 ? view.edgeTarget[e] : 1.0);
  }
  return g;
}

double EdgeSpread(const SolidGraph& g, const std::vector<Point3>& at) {
  const double mean = MeanEdge(g, at);
  if (!(mean > 1e-12)) return std::numeric_limits<double>::infinity();
  double sum = 0;
  for (size_t e = 0; e < g.edges.size(); ++e) {
    const auto [a, b] = g.edges[e];
    const double d = Distance(at[a], at[b]) / (mean * g.target(e)) - 1;
    sum += d * d;
  }
  return std::sqrt(sum / static_cast<double>(g.edges.size()));
}

void ScaleToUnitEdge(const SolidGraph& g, std::vector<Point3>& at) {
  Point3 centre{0, 0, 0};
  for (const Point3& p : at)
    for (int k = 0; k < 3; ++k) centre[k] += p[k];
  const double n = at.empty() ? 1 : static_cast<double>(at.size());
  const double mean = MeanEdge(g, at);
  const double scale = mean > 1e-12 ? 1 / mean : 1;
  for (Point3& p : at)
    for (int k = 0; k < 3; ++k) p[k] = (p[k] - centre[k] / n) * scale;
}

double ClosestApproach(const SolidGraph& g, const std::vector<Point3>& at) {
  const double mean = MeanEdge(g, at);
  if (!(mean > 1e-12)) return 0;
  double closest = std::numeric_limits<double>::infinity();
  for (size_t i = 0; i < at.size(); ++i)
    for (size_t j = i + 1; j < at.size(); ++j) closest = std::min(closest, Distance(at[i], at[j]));
  return closest / mean;
}

}  // namespace kelmor
