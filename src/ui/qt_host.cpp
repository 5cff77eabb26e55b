#include "ui/qt_host.h"

#include <QApplication>
#include <QCoreApplication>

#include "ui/dialogs.h"
#include "ui/draw_window.h"

namespace kelmor {

void QtHost::message(const std::string& text) { dialogs_.message(text); }
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

}  // namespace kelmor
