#pragma once

#include <atomic>
#include <chrono>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "facts/facts_file.h"
#include "facts/planar_finish.h"
#include "facts/solid_facts.h"
#include "policy/attempt_policies.h"
#include "policy/solution_acceptance.h"
#include "export/export_list.h"
#include "run/host.h"

namespace kelmor {

// A solution name as the one-line written output shows it: backslash, line breaks, tabs
// and other control characters escaped (\\, \n, \r, \t, \xHH), so that the line stays one line.
std::string OneLineName(const std::string& name);

// The figures of a running attempt, for a watcher on another thread (a batch's heartbeat).
struct LiveFigures {
  std::atomic<int> attempt{0};
  std::atomic<long> iteration{0};
  std::atomic<double> edgeDeform{0};
};

// How the console host answers and when it presses the draw window's buttons.
struct ConsoleSettings {
  enum class Answer { Ask, Yes, No };
  Answer answer = Answer::Ask;  // Ask: prompt when standard input is a terminal, else No
  bool quiet = false;
  int solutions = 1;                 // press Quit after this many written solutions (0: never)
  long maxIterations = 0;            // per attempt, then press Re-do (0: no limit)
  int maxAttempts = 0;               // press Quit when this many attempts have started (0: no limit)
  double timeLimit = 0;              // seconds, then Write (writeOnTimeout) or Quit (0: none)
  bool writeOnTimeout = false;
  // When set, Ctrl-C is the caller's: the host presses Quit once the flag is true and
  // leaves the signal handlers alone (a batch runs many hosts at once).
  const std::atomic<bool>* interrupt = nullptr;
  // One attempt only (Once, or segmented input): the iteration limit ends the run as the
  // time limit does, since Re-do would start the single attempt again without end.
  bool singleAttempt = false;
  // How many writes the limits may press before they press Quit: one per block of the
  // input (a segmented input writes each segment as it stands), at least one.
  int limitWrites = 1;
  // Repeat mode: an attempt whose forces overflow is dropped and the next one started,
  // until this many overflow in a row (0: the run's handler takes the first one).
  int overflowRetries = OverflowRetry::DefaultLimit;
  // Further formats of every written solution (--export, --scale); no formats: none.
  ExportRequest exports;
  // When set, kept up to date with every figure the run shows.
  LiveFigures* live = nullptr;
  // Which exact solutions repeat mode keeps (--accept), and after how many refused the
  // run gives up (0: never).
  AcceptRule accept;
  int refusalLimit = 100;
  // Flatten the faces of a once or weaken relaxation before it is written (--planar).
  bool planar = false;
};

// The command line's Host: every message verbatim on its own line on standard error,
// questions answered from the settings, a progress line when standard error is a
// terminal, Ctrl-C and the stop rules pressing the buttons a user would press.
class ConsoleHost : public Host {
 public:
  ConsoleHost(ConsoleSettings settings, std::ostream& out, std::ostream& err);
  ~ConsoleHost() override;

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  void showFigures(const DrawFigures& figures) override;
  ButtonSet pollButtons() override;
  void solutionWritten(const WrittenReport& report) override;
  void attemptStarted(int attempt) override;
  bool chooseStart(const SolidView& solid, StartPositions positions) override;
  void hideDrawWindow() override;
  bool retryAfterOverflow() override;
  bool wantsSnapshot() const override { return !settings_.exports.formats.empty(); }
  std::vector<FurtherFile> solutionSnapshot(const SolutionSnapshot& snapshot) override;
  // Every written solution's facts: on its written line and in NAME_facts.txt beside it.
  bool wantsShape() const override { return true; }
  void solutionShape(const SolutionSnapshot& shape) override;
  bool screensSolutions() const override { return settings_.accept.kind != AcceptRule::Kind::Any; }
  bool acceptSolution(const SolutionSnapshot& shape) override;
  bool finishPositions(const SolidView& solid, StartPositions positions) override;

  int solutionsWritten() const { return solutions_; }
  int attemptsStarted() const { return attempt_; }
  bool timedOut() const { return timedOut_; }
  bool interrupted() const { return interrupted_; }
  // The figures of the last written solution, if any.
  const std::optional<WrittenReport>& lastWritten() const { return lastWritten_; }
  // How the attempt of the last written solution started, as a policy that follows the
  // starts tells it ("" when none does).
  const std::string& lastOrigin() const { return lastOrigin_; }
  // The policies that watch the attempts and press buttons (see AttemptPolicy), owned by
  // the host. The stop rules of the settings come first at every poll.
  AttemptPolicies& policies() { return policies_; }
  // What the options make of the run: one attempt only, and how many blocks it writes.
  void setSingleAttempt(bool single, int blocks) {
    settings_.singleAttempt = single;
    settings_.limitWrites = blocks < 1 ? 1 : blocks;
  }
  // Where the host's messages go (standard error, or a batch job's log).
  std::ostream& errorStream() const { return err_; }
  // Every file the run's written solutions reported, in order.
  const std::vector<std::string>& writtenFiles() const { return files_; }
  // Whether some export (or facts file) of a written solution could not be written.
  bool exportFailed() const { return exportFailed_; }
  // The facts of the last written solution, if any.
  const std::optional<SolidFacts>& lastFacts() const { return lastFacts_; }
  // Exact solutions the acceptance rule refused.
  int solutionsRefused() const { return refused_; }

 private:
  void clearProgress();
  // A limit was reached: Write while the limits may still write, else Quit.
  ButtonSet limitReached(const char* what);
  ButtonSet attemptLimit();

  ConsoleSettings settings_;
  std::ostream& out_;
  std::ostream& err_;
  bool progressShown_ = false;
  bool tty_ = false;
  int solutions_ = 0;
  std::vector<std::string> files_;
  int attempt_ = 0;
  long iteration_ = 0;
  bool timedOut_ = false;
  bool interrupted_ = false;
  std::optional<WrittenReport> lastWritten_;
  bool quitPending_ = false;    // the limits have written all they may: Quit at the next poll
  OverflowRetry overflowRetry_;
  bool exportFailed_ = false;
  std::set<std::string> exported_;  // the exports of the solution being written
  FactsFile factsFile_;
  std::optional<SolidFacts> lastFacts_;
  int refused_ = 0;
  std::string lastOrigin_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastProgress_;
  AttemptPolicies policies_;
};

}  // namespace kelmor
