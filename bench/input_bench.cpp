// Speed of the input reader: one whole file text read into fresh tables, for a small
// solid, a large one and a 362-vertex model, and the number reader on its own.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/support/test_host.h"
#include "input/char_stream.h"
#include "input/parser.h"
#include "model/numtext.h"
#include "run/run.h"

namespace kelmor {
namespace {

void ReadText(benchmark::State& state, const std::string& path) {
  const std::string text = ReadWholeFile(path);
  Session session;
  TestHost host;
  Run run(session, host);
  run.InputName = "bench.txt";
  run.model.Reset();
  const Model pristine = run.model;
  for (auto _ : state) {
    run.model = pristine;
    ReadInputText(run, text);
    benchmark::DoNotOptimize(run.model.FaceCount);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK_CAPTURE(ReadText, SnubCube, std::string(KELMOR_SOURCE_DIR) + "/examples/snub_cube.txt");
BENCHMARK_CAPTURE(ReadText, TruncatedIcosidodecahedron,
                  std::string(KELMOR_SOURCE_DIR) + "/examples/truncated_icosidodecahedron.txt");
BENCHMARK_CAPTURE(ReadText, GeodesicSphere362, std::string(KELMOR_SOURCE_DIR) + "/bench/geodesic_sphere_362.txt");

void BM_ReadNumber(benchmark::State& state) {
  const char* texts[] = {"12", "-305", "7", "1.5", "0.25e1", "1 2", "32767", "abc"};
  for (auto _ : state)
    for (const char* t : texts) benchmark::DoNotOptimize(ReadNumber(t));
}
BENCHMARK(BM_ReadNumber);

}  // namespace
}  // namespace kelmor
