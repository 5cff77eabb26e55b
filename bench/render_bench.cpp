// Pictures of a 120-vertex solid (the truncated icosidodecahedron of the gallery) at 800x800,
// headless with Mesa's software renderer: the window's frame (lighting, framing, drawing,
// read-back) and the whole `kelmor render` picture with its PNG file.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>

#include "render/headless_context.h"
#include "render/picture.h"
#include "render/png_file.h"

namespace {

using namespace kelmor::render;

// CPU seconds of every thread of the process (Mesa rasterises on threads of its own, which
// the benchmark's CPU time does not see); on a loaded machine this is the honest figure.
double ProcessSeconds() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
         static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

void ReportProcessTime(benchmark::State& state, double start) {
  state.counters["all_threads_ms"] =
      benchmark::Counter(1000 * (ProcessSeconds() - start) / static_cast<double>(state.iterations()));
}

struct Solid {
  SolidMesh mesh;
  std::unique_ptr<HeadlessContext> context;
  explicit Solid(benchmark::State& state) {
    const std::string path = std::string(KELMOR_SOURCE_DIR) + "/docs/gallery/truncated_icosidodecahedron.off";
    if (auto e = ReadOffFile(path, mesh)) state.SkipWithError(e->c_str());
    std::string why;
    context = HeadlessContext::Create(why);
    if (!context) state.SkipWithError(why.c_str());
  }
};

void BM_Render120Vertices800(benchmark::State& state) {
  Solid solid(state);
  if (!solid.context) return;
  SolidPicture picture(solid.mesh);
  Camera camera;
  camera.rotation = ViewRotation(*ParseView("iso"));
  camera.bounds = SolidBounds(solid.mesh);
  PictureStyle style;
  style.edges = true;
  double turn = 0;
  const double start = ProcessSeconds();
  for (auto _ : state) {
    camera.rotation = Multiply(AxisRotation({0, 1, 0}, turn += 0.01), ViewRotation({}));
    Image image = solid.context->Render(picture.Draw(camera, style, 800, 800), 800, 800);
    benchmark::DoNotOptimize(image.pixels.data());
  }
  ReportProcessTime(state, start);
}
BENCHMARK(BM_Render120Vertices800)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PictureFile120Vertices800(benchmark::State& state) {
  Solid solid(state);
  if (!solid.context) return;
  const std::string png = (std::filesystem::temp_directory_path() / "kelmor_bench_picture.png").string();
  const double start = ProcessSeconds();
  for (auto _ : state) {
    SolidPicture picture(solid.mesh);
    Camera camera;
    camera.rotation = ViewRotation(*ParseView("iso"));
    camera.bounds = SolidBounds(solid.mesh);
    Image image = solid.context->Render(picture.Draw(camera, PictureStyle{}, 800, 800), 800, 800);
    if (WritePng(image, png)) state.SkipWithError("cannot write the picture");
  }
  ReportProcessTime(state, start);
  std::filesystem::remove(png);
}
BENCHMARK(BM_PictureFile120Vertices800)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
