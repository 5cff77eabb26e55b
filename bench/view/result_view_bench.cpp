// Frames of the result window while the solid turns: a drag step, the repaint and the
// window's flush, on whatever platform the program runs (run it under xvfb-run for the
// OpenGL widget with Mesa's software renderer; offscreen it measures the image path).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include "ui/result_view.h"

namespace {

void BM_ResultViewTurnFrame(benchmark::State& state) {
  kelmor::ResultView view;
  const std::string path = std::string(KELMOR_SOURCE_DIR) + "/docs/gallery/truncated_icosidodecahedron.off";
  if (!view.showFile(QString::fromStdString(path))) {
    state.SkipWithError("cannot read the solid");
    return;
  }
  view.resize(800, 860);
  view.show();
  QApplication::processEvents();
  state.SetLabel((QGuiApplication::platformName() + (view.usesOpenGLWidget() ? " QOpenGLWidget" : " image"))
                     .toStdString());
  for (auto _ : state) {
    view.scene().turn(6, 2, 800);
    view.canvas()->repaint();
    QApplication::processEvents();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ResultViewTurnFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
