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
  if (!outputFolder_.empty() && isWriteMessage(text)) {
    dialogs_.messageWithDetail(text, "Written to " + outputFolder_);
    return;
  }
  dialogs_.message(text);
}
void QtHost::solutionSnapshot(const SolutionSnapshot& snapshot) {
  ExportOutcome outcome = ExportThroughModule(snapshot, exports_);
  std::string text;
  for (const std::string& failure : outcome.failures) text += "Export failed: " + failure + "\n";
  for (const std::string& warning : outcome.warnings) text += "Export: " + warning + "\n";
  if (!text.empty()) dialogs_.message(text.substr(0, text.size() - 1));
}

bool QtHost::askYesNo(const std::string& text) { return dialogs_.askYesNo(text); }
bool QtHost::askOkCancel(const std::string& text) { return dialogs_.askOkCancel(text); }
void QtHost::beep() { QApplication::beep(); }

void QtHost::showAttemptWindow(const std::string& caption, bool clear,
                               std::span<const DepthColour, 16> palette) {
  window_.showAttempt(caption, clear, palette);
}

void QtHost::drawFrame(std::span<const DrawLine> lines) { window_.drawLines(lines); }

void QtHost::showFigures(const DrawFigures& figures) { window_.showFigures(figures); }

void QtHost::setStatus(const std::string& text) { window_.setStatus(text); }

ButtonSet QtHost::pollButtons() {
  QCoreApplication::processEvents();
  return window_.takePressed();
}

void QtHost::hideDrawWindow() { window_.hide(); }

void QtHost::solutionWritten(const WrittenReport& report) {
  if (onSolutionWritten) onSolutionWritten(report);
}

}  // namespace kelmor
