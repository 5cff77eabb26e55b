// Speed of the relaxation loop: main-loop iterations per second on the snub cube, the
// snub dodecahedron and a 1000-vertex torus, and the cost of one global inflation pass.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/support/model_builder.h"
#include "../tests/support/test_host.h"
#include "input/parser.h"
#include "relax/engine.h"
#include "relax/shape_pulls.h"
#include "run/run.h"
#include "run/run_values.h"
#include "topology/topology.h"

namespace kelmor {
namespace {

// Keeps nothing of what the loop shows, as a window would not.
class QuietHost : public TestHost {
 public:
  void showFigures(const DrawFigures&) override {}
};

struct BenchRun {
  Session session;
  QuietHost host;
  Run run{session, host};

  // An example solid through the parser and the topology steps, as a run reads it.
  explicit BenchRun(const std::string& example) {
    session.seed = 7;
    session.input.InDir = std::string(KELMOR_SOURCE_DIR) + "/examples";
    session.input.InFile = example + ".txt";
    run.model.Reset();
    run.edges.Reset();
    run.relax.Reset();
    ReadRunStart(run);
    run.model.ResetSegment();
    ReadRhombusSets(run);
    FillPolygonTables(run.poly);
    ReadInput(run);
    Topology();
  }
  // Faces built directly (for models no example file holds).
  explicit BenchRun(const std::vector<testing::Face>& faces) {
    session.seed = 7;
    testing::BuildModel(run, faces);
    run.rng.seed(7);
    run.Strength = {0, 100, 100, 10, 10, 20, 100};
    Topology();
  }
  void Topology() {
    CollapseStarPolygons(run);
    RemoveUnusedVertices(run);
    TidyFaces(run);
    BuildEdgeTable(run);
    BuildAdjacency(run);
    ReadInflationOptions(run);
    if (run.infl.InflateMode == 1) BuildHopDistances(run);
    PrepareAttemptInflation(run);
    BuildRelaxPlan(run);
    SetStartingPositions(run);
    // Keep the loop iterating: no solution test, and the write reference out of reach.
    run.relax.IsomorphTested = 1;
    session.ReferenceIteration = 1L << 50;
    run.relax.Iteration = 1;
    run.relax.LocalInflationOn = 1;
  }
  int vertices() const { return run.model.MaxVertex - run.model.MinVertex + 1; }
};

void MainLoop(benchmark::State& state, BenchRun& b) {
  for (auto _ : state) {
    auto outcome = MainIteration(b.run);
    if (outcome) state.SkipWithError("the loop left");
    ++b.run.relax.Iteration;
  }
  state.counters["iterations/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
  state.counters["vertices"] = b.vertices();
  state.counters["edges"] = b.run.edges.EdgeTotal;
}

void BM_MainIteration_SnubCube(benchmark::State& state) {
  BenchRun b("snub_cube");
  MainLoop(state, b);
}
BENCHMARK(BM_MainIteration_SnubCube);

void BM_MainIteration_SnubDodecahedron(benchmark::State& state) {
  BenchRun b("snub_dodecahedron");
  MainLoop(state, b);
}
BENCHMARK(BM_MainIteration_SnubDodecahedron);

// 120 vertices, 180 edges; squares, hexagons and decagons: the polygon pass dominates.
void BM_MainIteration_TruncatedIcosidodecahedron(benchmark::State& state) {
  BenchRun b("truncated_icosidodecahedron");
  MainLoop(state, b);
}
BENCHMARK(BM_MainIteration_TruncatedIcosidodecahedron);

// The polygon shape pass and the edge pass alone, per face position and per edge, so
// that the two can be compared per unit of work.
void OnePass(benchmark::State& state, BenchRun& b, void (*pass)(Run&), double& deform,
             size_t units, const char* unit) {
  for (auto _ : state) {
    deform = 0;
    pass(b.run);
    benchmark::DoNotOptimize(deform);
  }
  state.counters[unit] = static_cast<double>(units);
  state.counters[std::string("per ") + unit] =
      benchmark::Counter(static_cast<double>(state.iterations() * units),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
void ShapePass(benchmark::State& state, const std::string& example) {
  BenchRun b(example);
  size_t positions = 0;
  for (const ShapeFace& s : b.run.relax.plan.shapeFaces) positions += static_cast<size_t>(s.n);
  OnePass(state, b, PolygonForces, b.run.relax.PolyDeform, positions, "position");
}
// The edge pass as an iteration runs it: on the vector path the springs' pulls, which the
// iteration adds to the forces together with the polygon pulls.
void EdgeAsIterated(Run& run) {
  if (ShapePullsVectorAvailable())
    EdgePulls(run, PositionRows(run));
  else
    EdgeForces(run);
}
void EdgePass(benchmark::State& state, const std::string& example) {
  BenchRun b(example);
  OnePass(state, b, EdgeAsIterated, b.run.relax.EdgeDeform, b.run.relax.plan.springEdge.size(), "edge");
}
BENCHMARK_CAPTURE(ShapePass, TruncatedIcosidodecahedron, "truncated_icosidodecahedron");
BENCHMARK_CAPTURE(EdgePass, TruncatedIcosidodecahedron, "truncated_icosidodecahedron");
BENCHMARK_CAPTURE(ShapePass, SnubCube, "snub_cube");

// A torus of 25 x 40 squares: 1000 vertices, 2000 edges, 1000 shape faces.
void BM_MainIteration_Torus1000(benchmark::State& state) {
  BenchRun b(testing::TorusFaces(25, 40));
  MainLoop(state, b);
}
BENCHMARK(BM_MainIteration_Torus1000);

// One pass of the global inflation phase (hop forces over all pairs and the move).
void BM_GlobalInflationPass_Torus1000(benchmark::State& state) {
  BenchRun b(testing::TorusFaces(25, 40));
  // With every pair pulling, the default strengths make the explicit scheme unstable at
  // this size; weaker pair strengths keep the positions finite and cost the same.
  b.run.Strength[3] = b.run.Strength[6] = 0.01;
  RelaxState& r = b.run.relax;
  r.Iteration = 1;
  for (auto _ : state) {
    if (r.Iteration > 200) {  // a fresh start now and then: the phase itself stops at 1000
      state.PauseTiming();
      SetStartingPositions(b.run);
      r.Iteration = 1;
      state.ResumeTiming();
    }
    r.EdgeDeformPrev = r.EdgeDeform;
    r.EdgeDeform = 0;
    ClearForces(b.run);
    HopForces(b.run);
    MoveVertices(b.run);
    // Stay off every tenth pass: the figures and the poll are not part of the pass cost.
    r.Iteration += (r.Iteration + 1) % 10 == 0 ? 2 : 1;
  }
  state.counters["vertices"] = b.vertices();
  state.counters["pairs"] = b.vertices() * (b.vertices() - 1) / 2.0;
}
BENCHMARK(BM_GlobalInflationPass_Torus1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelmor
