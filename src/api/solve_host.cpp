#include "api/solve_host.h"

#include <filesystem>

#include "api/stop_rules.h"

namespace kelmor {

namespace {

// The snapshot's points and faces as the library's plain values.
void CopyLook(const SolutionSnapshot& from, Solution& to) {
  to.points.reserve(from.points.size());
  for (const SnapshotPoint& p : from.points) to.points.push_back({p.x, p.y, p.z});
  to.faces.reserve(from.faces.size());
  for (const SnapshotFace& f : from.faces) to.faces.push_back({f.corners, f.step, f.fan, f.colour});
  to.colours.reserve(from.colours.size());
  for (const SnapshotColour& c : from.colours) to.colours.push_back({c.r, c.g, c.b});
}

}  // namespace

SolveHost::SolveHost(const Options& options, Host* caller, std::vector<HeldFile>& held, bool singleAttempt)
    : options_(options), caller_(caller), held_(held), singleAttempt_(singleAttempt) {}

void SolveHost::message(const std::string& text) {
  if (caller_) return caller_->message(text);
  messages_.push_back(text);
}

bool SolveHost::askYesNo(const std::string& text) {
  if (caller_) return caller_->askYesNo(text);
  messages_.push_back(text + " no");
  return false;
}

bool SolveHost::askOkCancel(const std::string& text) {
  if (caller_) return caller_->askOkCancel(text);
  messages_.push_back(text);
  return true;
}

void SolveHost::beep() {
  if (caller_) caller_->beep();
}

bool SolveHost::drawsFrames() const { return caller_ && caller_->drawsFrames(); }

void SolveHost::showAttemptWindow(const std::string& caption, bool clear,
                                  std::span<const DepthColour, 16> palette) {
  if (caller_) caller_->showAttemptWindow(caption, clear, palette);
}

void SolveHost::drawFrame(std::span<const DrawLine> lines) {
  if (caller_) caller_->drawFrame(lines);
}

void SolveHost::showFigures(const DrawFigures& figures) {
  iteration_ = figures.iteration;
  if (figures.attempt > 0) attempt_ = figures.attempt;
  if (caller_) caller_->showFigures(figures);
}

void SolveHost::setStatus(const std::string& text) {
  if (caller_) caller_->setStatus(text);
}

ButtonSet SolveHost::stopRules() {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return StopButtons(options_, {static_cast<int>(solutions_.size()), attempt_, iteration_, seconds}, singleAttempt_);
}

ButtonSet SolveHost::pollButtons() { return caller_ ? caller_->pollButtons() : stopRules(); }

void SolveHost::hideDrawWindow() {
  if (caller_) caller_->hideDrawWindow();
}

std::vector<File> SolveHost::takeHeldFiles() {
  std::vector<File> files;
  files.reserve(held_.size());
  for (HeldFile& h : held_)
    files.push_back({std::filesystem::path(h.path).filename().string(), std::move(h.bytes)});
  held_.clear();
  return files;
}

void SolveHost::solutionWritten(const WrittenReport& report) {
  Solution s;
  s.name = report.outputName;
  if (snapshot_) CopyLook(*snapshot_, s);
  snapshot_.reset();
  s.E = report.edgeDeform;
  s.P = report.polyDeform;
  s.SE = report.singleEdge;
  s.A = report.angleDeform;
  s.edges = report.edgeCount;
  s.iterations = report.iterations;
  s.attempts = report.attempts;
  s.isomorph = report.isomorph;
  s.files = takeHeldFiles();
  solutions_.push_back(std::move(s));
  if (caller_) caller_->solutionWritten(report);
}

std::vector<FurtherFile> SolveHost::solutionSnapshot(const SolutionSnapshot& snapshot) {
  snapshot_ = snapshot;
  if (caller_ && caller_->wantsSnapshot()) return caller_->solutionSnapshot(snapshot);
  return {};
}

void SolveHost::attemptStarted(int attempt) {
  attempt_ = attempt;
  iteration_ = 0;
  if (caller_) caller_->attemptStarted(attempt);
}

bool SolveHost::retryAfterOverflow() { return caller_ && caller_->retryAfterOverflow(); }

bool SolveHost::chooseStart(const SolidView& solid, StartPositions positions) {
  return caller_ && caller_->chooseStart(solid, positions);
}

void SolveHost::collectLeftoverFiles(const std::string& name) {
  if (held_.empty()) return;
  Solution s;
  s.name = name;
  s.files = takeHeldFiles();
  solutions_.push_back(std::move(s));
}

void SolveHost::solutionShape(const SolutionSnapshot& shape) {
  if (caller_) caller_->solutionShape(shape);
}

bool SolveHost::acceptSolution(const SolutionSnapshot& shape) { return !caller_ || caller_->acceptSolution(shape); }

bool SolveHost::finishPositions(const SolidView& solid, StartPositions positions) {
  return caller_ && caller_->finishPositions(solid, positions);
}

}  // namespace kelmor
