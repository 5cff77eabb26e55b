#include "web/page_host.h"

#include "api/stop_rules.h"
#include "export/export_solution.h"

namespace kelmor {

PageHost::PageHost(const Options& options, PageCallbacks callbacks, bool singleAttempt, double frameMillis)
    : options_(options),
      callbacks_(std::move(callbacks)),
      singleAttempt_(singleAttempt),
      frameInterval_(frameMillis) {}

void PageHost::message(const std::string& text) {
  messages_.push_back(text);
  if (callbacks_.message) callbacks_.message(text);
}

bool PageHost::askYesNo(const std::string& text) {
  message(text + " no");
  return false;
}

bool PageHost::askOkCancel(const std::string& text) {
  message(text);
  return true;
}

void PageHost::showFigures(const DrawFigures& figures) {
  iteration_ = figures.iteration;
  if (figures.attempt > 0) attempt_ = figures.attempt;
  const auto now = std::chrono::steady_clock::now();
  if (!callbacks_.figures || now - lastFigures_ < frameInterval_) return;
  lastFigures_ = now;
  callbacks_.figures(figures);
}

bool PageHost::wantsLiveShape() {
  if (!callbacks_.shape) return false;
  const auto now = std::chrono::steady_clock::now();
  if (attemptShown_ && now - lastShape_ < frameInterval_) return false;
  lastShape_ = now;
  attemptShown_ = true;
  return true;
}

void PageHost::liveShape(const SolutionSnapshot& shape) { callbacks_.shape(shape); }

ButtonSet PageHost::pollButtons() {
  const ButtonSet pressed = callbacks_.buttons ? callbacks_.buttons() : 0;
  if (pressed) return pressed;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return StopButtons(options_, {solutions_, attempt_, iteration_, seconds}, singleAttempt_);
}

void PageHost::attemptStarted(int attempt) {
  attempt_ = attempt;
  iteration_ = 0;
  attemptShown_ = false;
}

void PageHost::solutionWritten(const WrittenReport&) {
  ++solutions_;
  if (snapshot_) shapes_.push_back(std::move(*snapshot_));
  snapshot_.reset();
}

std::vector<FurtherFile> PageHost::solutionSnapshot(const SolutionSnapshot& snapshot) {
  snapshot_ = snapshot;
  ExportRequest request;
  request.formats = {ExportFormat::Glb, ExportFormat::Stl};
  ExportOutcome made = ExportSolution(snapshot, request);
  for (const std::string& failure : made.failures) message(failure);
  return std::move(made.files);
}

}  // namespace kelmor
