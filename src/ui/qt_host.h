#pragma once

#include <string>
#include <utility>
#include <functional>
#include <optional>

#include "export/export_list.h"
#include "facts/facts_file.h"
#include "policy/attempt_policies.h"
#include "policy/unattended_choice.h"
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
  // collects the buttons pressed since the last poll; when the user pressed none, the
  // unattended policies may press theirs.
  ButtonSet pollButtons() override;
  void hideDrawWindow() override;
  void solutionWritten(const WrittenReport& report) override;
  void attemptStarted(int attempt) override;
  bool chooseStart(const SolidView& solid, StartPositions positions) override;
  bool retryAfterOverflow() override;

  // The unattended policies ticked in the windows: the stall watch presses Re-do (or
  // Write) as the user would, its reason shown on the viewer's message line; an attempt
  // whose forces overflow starts the next one; the search chooses the starts, and the
  // write message names the start that found each solution. Nothing ticked: none of
  // this, the described attempt loop.
  void setUnattended(const UnattendedChoice& choice);
  // How the attempt of the last written solution started ("" without the search).
  const std::string& lastOrigin() const { return lastOrigin_; }

  // Called with every written solution (the result window shows it).
  std::function<void(const WrittenReport&)> onSolutionWritten;

  // Further formats for every written solution (the Export choice of the preferences).
  void setExports(ExportRequest exports) { exports_ = std::move(exports); }
  bool wantsSnapshot() const override { return !exports_.formats.empty(); }
  std::vector<FurtherFile> solutionSnapshot(const SolutionSnapshot& snapshot) override;
  // Each written solution's facts go beside its files, as from the command line.
  bool wantsShape() const override { return true; }
  void solutionShape(const SolutionSnapshot& shape) override { factsFile_.take(shape); }

 private:
  // A line on the viewer's message line that stays over the next attempt's blanking.
  void showWritten(const std::string& line);

  Dialogs& dialogs_;
  DrawWindow& window_;
  bool unattended_ = false;
  std::string outputFolder_;
  ExportRequest exports_;
  FactsFile factsFile_;
  AttemptPolicies policies_;
  std::optional<OverflowRetry> overflowRetry_;
  int attempt_ = 0;
  int solutions_ = 0;
  // A line for the message line that the next attempt's blanking must not wipe out.
  std::string carriedStatus_;
  std::string lastOrigin_;
  std::string originLine_;  // "Search: ... found it at attempt N", for the write message
};

}  // namespace kelmor
