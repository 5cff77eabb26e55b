// Frames of the result window while the solid turns: a drag step (mouse events into the
// canvas), the repaint and the window's flush, on whatever platform the program runs (run
// it under xvfb-run for the OpenGL widget with Mesa's software renderer; offscreen it
// measures the image path). Besides the wall time per frame it reports the CPU of every
// thread of this program and of the X server, so that a loaded machine still gives an
// honest figure: frames/s on a quiet machine is about 1000 / (client + server ms) when
// they take turns, better when the two cores share the work.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <dirent.h>
#include <fstream>
#include <sstream>

#include "ui/result_view.h"

namespace {

double ClientSeconds() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
         static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// The X server of this program's display (Xvfb started by xvfb-run), found by its command
// line; 0 when there is none.
int ServerProcess() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return 0;
  const std::string wanted = display;
  DIR* proc = opendir("/proc");
  if (!proc) return 0;
  int found = 0;
  while (dirent* entry = readdir(proc)) {
    const int pid = std::atoi(entry->d_name);
    if (pid <= 0) continue;
    std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
    std::string command, word;
    std::vector<std::string> words;
    while (std::getline(cmdline, word, '\0')) words.push_back(word);
    if (words.size() < 2 || words[0].find("Xvfb") == std::string::npos) continue;
    if (words[1] == wanted) found = pid;
  }
  closedir(proc);
  return found;
}

double ServerSeconds(int pid) {
  if (pid <= 0) return 0;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::stod(field);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void Drag(QWidget* canvas, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, canvas->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    buttons, Qt::NoModifier);
  QApplication::sendEvent(canvas, &event);
}

// The truncated icosidodecahedron (120 vertices) in an 800x860 window, shown.
bool OpenSolid(kelmor::ResultView& view, benchmark::State& state) {
  const std::string path = std::string(KELMOR_SOURCE_DIR) + "/docs/gallery/truncated_icosidodecahedron.off";
  if (!view.showFile(QString::fromStdString(path))) {
    state.SkipWithError("cannot read the solid");
    return false;
  }
  view.resize(800, 860);
  view.show();
  QApplication::processEvents();
  QWidget* canvas = view.canvas();
  state.SetLabel((QGuiApplication::platformName() + (view.usesOpenGLWidget() ? " QOpenGLWidget " : " image ") +
                  QString("%1x%2").arg(canvas->width()).arg(canvas->height()))
                     .toStdString());
  return true;
}

// Frames per second, and the CPU of this program and of the X server for each frame.
class FrameCounters {
 public:
  FrameCounters() : server_(ServerProcess()), client_(ClientSeconds()), serverStart_(ServerSeconds(server_)) {}
  void Report(benchmark::State& state) const {
    const double frames = static_cast<double>(state.iterations());
    state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["client_ms"] = benchmark::Counter(1000 * (ClientSeconds() - client_) / frames);
    if (server_)
      state.counters["server_ms"] = benchmark::Counter(1000 * (ServerSeconds(server_) - serverStart_) / frames);
  }

 private:
  int server_;
  double client_, serverStart_;
};

// A drag across the solid: draft frames.
void BM_ResultViewTurnFrame(benchmark::State& state) {
  kelmor::ResultView view;
  if (!OpenSolid(view, state)) return;
  QWidget* canvas = view.canvas();
  QPointF at(200, 300);
  Drag(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton);
  FrameCounters counters;
  for (auto _ : state) {
    at += QPointF(4, 1);
    if (at.x() > 600) at = QPointF(200, 300);
    Drag(canvas, QEvent::MouseMove, at, Qt::LeftButton);
    canvas->repaint();
    QApplication::processEvents();
  }
  counters.Report(state);
  Drag(canvas, QEvent::MouseButtonRelease, at, Qt::NoButton);
  QApplication::processEvents();
}
BENCHMARK(BM_ResultViewTurnFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The frame at rest, smoothed in full: what each arrow key gives.
void BM_ResultViewFullFrame(benchmark::State& state) {
  kelmor::ResultView view;
  if (!OpenSolid(view, state)) return;
  FrameCounters counters;
  for (auto _ : state) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(&view, &key);
    view.canvas()->repaint();
    QApplication::processEvents();
  }
  counters.Report(state);
}
BENCHMARK(BM_ResultViewFullFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
