#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kelmor/kelmor.h"
#include "run/host.h"

namespace kelmor {

// What the page's worker is told while a run goes on, and how it presses buttons. Each
// callback may be empty.
struct PageCallbacks {
  std::function<void(const DrawFigures&)> figures;     // every figures update that is due
  std::function<void(const SolutionSnapshot&)> shape;  // the solid as it stands, when a frame is due
  std::function<void(const std::string&)> message;     // every message, in the run's words
  std::function<ButtonSet()> buttons;                  // the buttons pressed since the last poll
};

// The host of a run in the page. Nobody is there to answer a question in the middle of
// a run (the worker cannot wait for the page), so questions are answered as the library's
// own host answers them (No to Yes/No, OK to OK/Cancel), and their text is passed on as a
// message. Figures and frames are sent at most every frameMillis of wall clock: the run's
// course never depends on it, only how often the page hears of it. The stop rules of the
// options apply when the page presses nothing.
class PageHost : public Host {
 public:
  PageHost(const Options& options, PageCallbacks callbacks, bool singleAttempt, double frameMillis);

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  void showFigures(const DrawFigures& figures) override;
  bool wantsLiveShape() override;
  void liveShape(const SolutionSnapshot& shape) override;
  ButtonSet pollButtons() override;
  void attemptStarted(int attempt) override;
  void solutionWritten(const WrittenReport& report) override;
  // Each written solution also becomes a glb and an STL file (export/), kept with its own
  // files, and its exact shape is kept (the frames go on with the next attempt).
  bool wantsSnapshot() const override { return true; }
  std::vector<FurtherFile> solutionSnapshot(const SolutionSnapshot& snapshot) override;

  const std::vector<std::string>& messages() const { return messages_; }
  // The shape of each written solution, in the order they were written.
  std::vector<SolutionSnapshot>& solutionShapes() { return shapes_; }

 private:
  bool frameDue();

  const Options& options_;
  PageCallbacks callbacks_;
  bool singleAttempt_;
  std::chrono::duration<double, std::milli> frameInterval_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastFigures_{}, lastShape_{};
  bool attemptShown_ = false;  // the first frame of an attempt is always sent
  int attempt_ = 0;
  long iteration_ = 0;
  int solutions_ = 0;
  std::vector<std::string> messages_;
  std::optional<SolutionSnapshot> snapshot_;  // of the solution being written
  std::vector<SolutionSnapshot> shapes_;
};

}  // namespace kelmor
