#include "ui/qt_host.h"

#include <QApplication>
#include <QCoreApplication>

#include "export/export_module.h"
#include "ui/dialogs.h"
#include "ui/draw_window.h"

namespace kelmor {

bool QtHost::isWriteMessage(const std::string& text) {
  auto digit = [&text](size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  return text.size() > 4 && text[0] == 'W' && digit(1) && digit(2) && text[3] == ':';
}

void QtHost::message(const std::string& text) {
  // Nobody need be at an unattended run: what was written goes on the message line (and
  // into the result window's list), never into a box that stops the run until answered.
  if (unattended_ && isWriteMessage(text)) {
    showWritten(text);
    return;
  }
  if (isWriteMessage(text) && (!outputFolder_.empty() || !originLine_.empty())) {
    std::string detail = outputFolder_.empty() ? "" : "Written to " + outputFolder_;
    if (!originLine_.empty()) detail += (detail.empty() ? "" : "\n") + originLine_;
    originLine_.clear();
    dialogs_.messageWithDetail(text, detail);
    return;
  }
  dialogs_.message(text);
}
std::vector<FurtherFile> QtHost::solutionSnapshot(const SolutionSnapshot& snapshot) {
  ExportOutcome outcome = ExportThroughModule(snapshot, exports_);
  std::string text;
  for (const std::string& failure : outcome.failures) text += "Export failed: " + failure + "\n";
  for (const std::string& warning : outcome.warnings) text += "Export: " + warning + "\n";
  if (!text.empty()) dialogs_.message(text.substr(0, text.size() - 1));
  return std::move(outcome.files);
}

bool QtHost::askYesNo(const std::string& text) { return dialogs_.askYesNo(text); }
bool QtHost::askOkCancel(const std::string& text) { return dialogs_.askOkCancel(text); }
void QtHost::beep() { QApplication::beep(); }

void QtHost::showAttemptWindow(const std::string& caption, bool clear,
                               std::span<const DepthColour, 16> palette) {
  window_.showAttempt(caption, clear, palette);
}

void QtHost::drawFrame(std::span<const DrawLine> lines) { window_.drawLines(lines); }

void QtHost::showFigures(const DrawFigures& figures) {
  window_.showFigures(figures);
  if (figures.attempt > 0) attempt_ = figures.attempt;
  policies_.figures(figures);
}

void QtHost::setStatus(const std::string& text) { window_.setStatus(text); }

ButtonSet QtHost::pollButtons() {
  QCoreApplication::processEvents();
  if (ButtonSet pressed = window_.takePressed()) return pressed;
  std::string reason;
  ButtonSet pressed = policies_.press(reason);
  // The policies' Write is a judgement that the attempt has settled: the run writes it only
  // as a new isomorph, so that an unattended run never writes the same solution twice.
  if (pressed & WriteButton) pressed = (pressed & ~WriteButton) | SettledButton;
  if (pressed && !reason.empty()) {
    window_.setStatus(reason);
    carriedStatus_ = reason;
  }
  return pressed;
}

void QtHost::setUnattended(const UnattendedChoice& choice) {
  unattended_ = choice.stallEscape || choice.search;
  AddUnattendedPolicies(policies_, choice, [this] { return attempt_ - 1 - solutions_; });
  // Unattended attempts must not end the run when one of them overflows.
  if (choice.stallEscape) overflowRetry_.emplace();
}

void QtHost::attemptStarted(int attempt) {
  factsFile_.drop();  // a shape whose files were never reported written
  attempt_ = attempt;
  policies_.attemptStarted(attempt);
  // The run blanks the message line for every attempt; why this one started stays.
  if (!carriedStatus_.empty()) window_.setStatus(carriedStatus_);
  carriedStatus_.clear();
  originLine_.clear();
}

bool QtHost::chooseStart(const SolidView& solid, StartPositions positions) {
  return policies_.chooseStart(solid, positions);
}

bool QtHost::retryAfterOverflow() {
  if (!overflowRetry_ || !overflowRetry_->retry(attempt_)) return false;
  carriedStatus_ = OverflowRetry::Reason(attempt_);
  window_.setStatus(carriedStatus_);
  return true;
}

void QtHost::hideDrawWindow() { window_.hide(); }

void QtHost::solutionWritten(const WrittenReport& report) {
  ++solutions_;
  std::optional<std::string> factsFailure;
  if (factsFile_.pending()) factsFailure = factsFile_.write().failure;
  lastOrigin_ = policies_.startOrigin();
  if (!lastOrigin_.empty()) {
    originLine_ = "Search: " + lastOrigin_ + " found it at attempt " + std::to_string(report.attempts);
    showWritten(originLine_);
  } else if (unattended_) {
    showWritten("Written: " + report.outputName);
  }
  if (factsFailure) showWritten(*factsFailure);
  if (onSolutionWritten) onSolutionWritten(report);
}

void QtHost::showWritten(const std::string& line) {
  window_.setStatus(line);
  carriedStatus_ = line;
}

}  // namespace kelmor
