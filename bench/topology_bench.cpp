// Set-up cost of the topology tables on models of 1500 vertices, the most the
// hop-distance table holds.
#include <benchmark/benchmark.h>

#include "../tests/support/model_builder.h"
#include "../tests/support/test_host.h"
#include "run/run.h"
#include "topology/topology.h"

namespace kelmor {
namespace {

using testing::Face;

// A torus of 30 x 50 squares; with diagonals, 3000 triangles (degree 6).
std::vector<Face> Torus1500(bool triangulated) {
  auto squares = testing::TorusFaces(30, 50);
  if (!triangulated) return squares;
  std::vector<Face> triangles;
  for (const Face& q : squares) {
    const auto& v = q.vertices;
    triangles.push_back(Face{{v[0], v[1], v[2]}, 1, {}});
    triangles.push_back(Face{{v[0], v[2], v[3]}, 1, {}});
  }
  return triangles;
}

struct BenchRun {
  Session session;
  TestHost host;
  Run run{session, host};
  explicit BenchRun(bool triangulated) {
    testing::BuildModel(run, Torus1500(triangulated));
    TidyFaces(run);
    BuildEdgeTable(run);
    BuildAdjacency(run);
    run.infl.InflateMode = 1;
  }
};

void BM_HopDistances(benchmark::State& state) {
  BenchRun b(state.range(0) != 0);
  for (auto _ : state) {
    BuildHopDistances(b.run);
    benchmark::DoNotOptimize(b.run.infl.HopDistance.data());
  }
  state.counters["vertices"] = b.run.model.MaxVertex - b.run.model.MinVertex + 1;
  state.counters["edges"] = b.run.edges.EdgeTotal;
}
BENCHMARK(BM_HopDistances)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EdgeTableAndAdjacency(benchmark::State& state) {
  BenchRun b(state.range(0) != 0);
  for (auto _ : state) {
    BuildEdgeTable(b.run);
    BuildAdjacency(b.run);
    benchmark::DoNotOptimize(b.run.edges.EdgeTotal);
  }
  state.counters["edges"] = b.run.edges.EdgeTotal;
}
BENCHMARK(BM_EdgeTableAndAdjacency)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelmor
