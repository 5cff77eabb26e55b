// Cost of telling what a solution is and of the planar finish: the facts (symmetry search
// included) of a chamfered cube and a chamfered dodecahedron, and the finish that flattens
// their hexagons, from unit edges with bent faces.
#include <benchmark/benchmark.h>

#include <map>

#include "../tests/facts/test_solids.h"
#include "facts/planar_finish.h"
#include "facts/solid_facts.h"

namespace kelmor {
namespace {

using testing::Faces;

Faces DodecahedronFaces() {
  const Faces ico = testing::FacesOf(testing::Icosahedron());
  std::map<std::set<int>, int> index;
  for (size_t f = 0; f < ico.size(); ++f) index[{ico[f].begin(), ico[f].end()}] = static_cast<int>(f);
  Faces faces;
  for (const auto& [v, ring] : testing::Rings(ico)) {
    std::vector<int> face;
    for (size_t k = 0; k < ring.size(); ++k) face.push_back(index.at({v, ring[k], ring[(k + 1) % ring.size()]}));
    faces.push_back(face);
  }
  return faces;
}

// A chamfer with unit edges: the old corners pushed out, each face's new corners a copy of
// the face shrunk about its centre; the hexagons come out bent, as a relaxation leaves them.
FactsSolid UnitChamfer(const std::vector<Vec3>& corners, const Faces& faces) {
  FactsSolid s;
  const Faces chamfered = testing::Chamfer(faces);
  s.points.resize(corners.size());
  for (size_t f = 0; f < faces.size(); ++f) {
    Vec3 c{};
    for (int v : faces[f]) c = c + corners[static_cast<size_t>(v)];
    c = c * (1.0 / static_cast<double>(faces[f].size()));
    for (size_t i = 0; i < faces[f].size(); ++i) {
      const Vec3 u = corners[static_cast<size_t>(faces[f][i])];
      s.points.push_back(c + (u - c) * 0.45);
      s.points[static_cast<size_t>(faces[f][i])] = u * 1.08;
    }
  }
  for (const auto& f : chamfered) s.faces.push_back({f, 1});
  // Scaled so that the mean edge is 1.
  double sum = 0;
  const auto edges = OutlineEdges(s);
  for (auto [a, b] : edges) {
    const Vec3 d = s.points[static_cast<size_t>(a)] - s.points[static_cast<size_t>(b)];
    sum += std::sqrt(Dot(d, d));
  }
  for (Vec3& p : s.points) p = p * (static_cast<double>(edges.size()) / sum);
  return s;
}

FactsSolid Shape(int which) {
  if (which == 0) {
    const FactsSolid cube = testing::Cube();
    return UnitChamfer(cube.points, testing::FacesOf(cube));
  }
  const FactsSolid ico = testing::Icosahedron();
  // The dodecahedron's corners: the icosahedron's face centres.
  std::vector<Vec3> corners;
  for (const FactsFace& f : ico.faces) {
    Vec3 c{};
    for (int v : f.corners) c = c + ico.points[static_cast<size_t>(v)];
    corners.push_back(c * (1.0 / 3));
  }
  return UnitChamfer(corners, DodecahedronFaces());
}

void BM_Facts(benchmark::State& state) {
  const FactsSolid s = Shape(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ComputeFacts(s));
  state.SetLabel(std::to_string(s.points.size()) + " vertices");
}
BENCHMARK(BM_Facts)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PlanarFinish(benchmark::State& state) {
  const FactsSolid s = Shape(static_cast<int>(state.range(0)));
  std::vector<int> faceStart = {0, 0}, faceVerts, faceStep = {0}, edgeA, edgeB;
  std::vector<double> target;
  for (const FactsFace& f : s.faces) {
    faceVerts.insert(faceVerts.end(), f.corners.begin(), f.corners.end());
    faceStart.push_back(static_cast<int>(faceVerts.size()));
    faceStep.push_back(1);
  }
  for (auto [a, b] : OutlineEdges(s)) edgeA.push_back(a), edgeB.push_back(b), target.push_back(1);
  SolidView view;
  view.vmax = static_cast<int>(s.points.size()) - 1;
  view.faceCount = static_cast<int>(s.faces.size());
  view.faceStart = faceStart, view.faceVerts = faceVerts, view.faceStep = faceStep;
  view.edgeA = edgeA, view.edgeB = edgeB, view.edgeTarget = target;
  std::vector<double> x0, y0, z0;
  for (const Vec3& p : s.points) x0.push_back(p.x), y0.push_back(p.y), z0.push_back(p.z);
  PlanarFinishReport report;
  for (auto _ : state) {
    std::vector<double> x = x0, y = y0, z = z0;
    report = PlanarFinish(view, {x, y, z});
    benchmark::DoNotOptimize(x.data());
  }
  state.SetLabel(std::to_string(s.points.size()) + " vertices, " + std::to_string(report.steps) + " steps, " +
                 (report.moved ? "flat" : "not moved"));
}
BENCHMARK(BM_PlanarFinish)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelmor
