#pragma once

#include <string>
#include <utility>
#include <functional>

#include "export/export_list.h"
#include "run/host.h"

namespace kelmor {

class Dialogs;
class DrawWindow;

// The windows' Host: message boxes through the dialog service, the system beep, and
// the draw window. Lives for one run, on the GUI thread.
class QtHost : public Host {
 public:
  // outputFolder: where the run writes, named under every "files written" message.
  QtHost(Dialogs& dialogs, DrawWindow& window, std::string outputFolder = {})
      : dialogs_(dialogs), window_(window), outputFolder_(std::move(outputFolder)) {}

  // The messages W01..W99 ("... files written") get a second line naming the folder.
  static bool isWriteMessage(const std::string& text);
  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  void beep() override;

  bool drawsFrames() const override { return true; }
  void showAttemptWindow(const std::string& caption, bool clear,
                         std::span<const DepthColour, 16> palette) override;
  void drawFrame(std::span<const DrawLine> lines) override;
  void showFigures(const DrawFigures& figures) override;
  void setStatus(const std::string& text) override;
  // Lets pending window events run (the only place a click reaches a run), then
  // collects the buttons pressed since the last poll.
  ButtonSet pollButtons() override;
  void hideDrawWindow() override;
  void solutionWritten(const WrittenReport& report) override;

  // Called with every written solution (the result window shows it).
  std::function<void(const WrittenReport&)> onSolutionWritten;

  // Further formats for every written solution (the Export choice of the preferences).
  void setExports(ExportRequest exports) { exports_ = std::move(exports); }
  bool wantsSnapshot() const override { return !exports_.formats.empty(); }
  void solutionSnapshot(const SolutionSnapshot& snapshot) override;

 private:
  Dialogs& dialogs_;
  DrawWindow& window_;
  std::string outputFolder_;
  ExportRequest exports_;
};

}  // namespace kelmor
