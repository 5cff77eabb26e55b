#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "files/held_file.h"
#include "kelmor/kelmor.h"
#include "output/solution_snapshot.h"
#include "run/host.h"

namespace kelmor {

// The host of a library solve. It turns every written solution into a Solution value
// (the snapshot of its points and faces, the report's figures, the files the run kept in
// memory) and otherwise either hands everything on to the caller's host or, without one,
// behaves as an unattended person would: messages are kept, questions answered No, and
// the stop rules of the options press the buttons.
class SolveHost : public Host {
 public:
  SolveHost(const Options& options, Host* caller, std::vector<HeldFile>& held, bool singleAttempt);

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  void beep() override;
  bool drawsFrames() const override;
  void showAttemptWindow(const std::string& caption, bool clear,
                         std::span<const DepthColour, 16> palette) override;
  void drawFrame(std::span<const DrawLine> lines) override;
  void showFigures(const DrawFigures& figures) override;
  void setStatus(const std::string& text) override;
  ButtonSet pollButtons() override;
  void hideDrawWindow() override;
  void solutionWritten(const WrittenReport& report) override;
  bool wantsSnapshot() const override { return true; }
  std::vector<FurtherFile> solutionSnapshot(const SolutionSnapshot& snapshot) override;
  void attemptStarted(int attempt) override;
  bool retryAfterOverflow() override;
  bool chooseStart(const SolidView& solid, StartPositions positions) override;
  // A caller's host that tells solutions apart, screens or finishes them is asked as the
  // run would ask it.
  bool wantsShape() const override { return caller_ && caller_->wantsShape(); }
  void solutionShape(const SolutionSnapshot& shape) override;
  bool screensSolutions() const override { return caller_ && caller_->screensSolutions(); }
  bool acceptSolution(const SolutionSnapshot& shape) override;
  bool finishPositions(const SolidView& solid, StartPositions positions) override;
  bool wantsLiveShape() override { return caller_ && caller_->wantsLiveShape(); }
  void liveShape(const SolutionSnapshot& shape) override { caller_->liveShape(shape); }

  std::vector<Solution>& solutions() { return solutions_; }
  std::vector<std::string>& messages() { return messages_; }
  // Files kept since the last solution (a model written without relaxing, realms): they
  // make a solution of their own, named `name`, with no figures.
  void collectLeftoverFiles(const std::string& name);

 private:
  ButtonSet stopRules();
  std::vector<File> takeHeldFiles();

  const Options& options_;
  Host* caller_;
  std::vector<HeldFile>& held_;
  bool singleAttempt_;
  int attempt_ = 0;
  long iteration_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::optional<SolutionSnapshot> snapshot_;
  std::vector<Solution> solutions_;
  std::vector<std::string> messages_;
};

}  // namespace kelmor
