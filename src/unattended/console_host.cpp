#include "unattended/console_host.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>

#include "export/export_module.h"
#include "files/private_file.h"
#include "model/error.h"
#include "model/numtext.h"
#include "output/solution_snapshot.h"

namespace kelmor {

namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void OnInterrupt(int) { g_interrupted = true; }

}  // namespace

std::string OneLineName(const std::string& name) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string out;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u == 0x7f) {
      out += "\\x";
      out += hex[u >> 4];
      out += hex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

ConsoleHost::ConsoleHost(ConsoleSettings settings, std::ostream& out, std::ostream& err)
    : settings_(settings), out_(out), err_(err), overflowRetry_(settings.overflowRetries) {
  tty_ = &err == &std::cerr && isatty(STDERR_FILENO) && !settings_.quiet;
  start_ = lastProgress_ = std::chrono::steady_clock::now();
  if (settings_.interrupt) return;
  g_interrupted = false;
  std::signal(SIGINT, OnInterrupt);
}

ConsoleHost::~ConsoleHost() {
  if (!settings_.interrupt) std::signal(SIGINT, SIG_DFL);
}

void ConsoleHost::clearProgress() {
  if (progressShown_) {
    err_ << "\r\033[K" << std::flush;
    progressShown_ = false;
  }
}

void ConsoleHost::message(const std::string& text) {
  clearProgress();
  err_ << text << "\n" << std::flush;
}

bool ConsoleHost::askYesNo(const std::string& text) {
  clearProgress();
  ConsoleSettings::Answer a = settings_.answer;
  if (a == ConsoleSettings::Answer::Ask && !isatty(STDIN_FILENO)) a = ConsoleSettings::Answer::No;
  if (a != ConsoleSettings::Answer::Ask) {
    err_ << text << " " << (a == ConsoleSettings::Answer::Yes ? "yes" : "no") << "\n";
    return a == ConsoleSettings::Answer::Yes;
  }
  for (;;) {
    err_ << text << " [y/n] " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    if (line == "y" || line == "Y" || line == "yes") return true;
    if (line == "n" || line == "N" || line == "no") return false;
  }
}

bool ConsoleHost::askOkCancel(const std::string& text) {
  clearProgress();
  err_ << text << "\n" << std::flush;
  return true;
}

void ConsoleHost::attemptStarted(int attempt) {
  factsFile_.drop();  // a shape whose files were never reported written
  attempt_ = attempt;
  iteration_ = 0;
  policies_.attemptStarted(attempt);
}

bool ConsoleHost::chooseStart(const SolidView& solid, StartPositions positions) {
  return policies_.chooseStart(solid, positions);
}

void ConsoleHost::showFigures(const DrawFigures& f) {
  iteration_ = f.iteration;
  if (f.attempt > 0) attempt_ = f.attempt;
  policies_.figures(f);
  if (LiveFigures* live = settings_.live) {
    live->attempt.store(attempt_, std::memory_order_relaxed);
    live->iteration.store(f.iteration, std::memory_order_relaxed);
    live->edgeDeform.store(f.edgeDeform, std::memory_order_relaxed);
  }
  if (!tty_) return;
  auto now = std::chrono::steady_clock::now();
  if (now - lastProgress_ < std::chrono::milliseconds(250)) return;
  lastProgress_ = now;
  err_ << "\r\033[Kattempt " << attempt_ << "  iteration " << f.iteration << "  E "
       << NumberText(f.edgeDeform, "0.0#######") << "  P " << NumberText(f.polyDeform, "0.0#######")
       << "  isomorph " << f.IsomNo << std::flush;
  progressShown_ = true;
}

ButtonSet ConsoleHost::limitReached(const char* what) {
  clearProgress();
  if (settings_.writeOnTimeout && settings_.limitWrites > 0) {
    err_ << what << ": writing the current state\n";
    // A write whose solution is reported ends the run through the solution count; one
    // that fails must end it all the same, so the writes are counted too.
    if (--settings_.limitWrites == 0) quitPending_ = true;
    settings_.solutions = solutions_ + 1;
    return WriteButton;
  }
  err_ << what << ": quitting the run\n";
  return QuitButton;
}

ButtonSet ConsoleHost::attemptLimit() {
  clearProgress();
  err_ << "Attempt limit reached: quitting the run\n";
  return QuitButton;
}

ButtonSet ConsoleHost::pollButtons() {
  if (settings_.interrupt ? settings_.interrupt->load() : g_interrupted.load()) {
    interrupted_ = true;
    clearProgress();
    err_ << "Interrupted: quitting the run\n";
    if (!settings_.interrupt) g_interrupted = false;
    return QuitButton;
  }
  if (quitPending_) return QuitButton;
  if (settings_.solutions > 0 && solutions_ >= settings_.solutions) return QuitButton;
  if (settings_.timeLimit > 0) {
    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    // Past the limit every poll acts, so that each further segment is written as it stands.
    if (elapsed >= settings_.timeLimit && (!timedOut_ || settings_.singleAttempt)) {
      timedOut_ = true;
      return limitReached("Time limit reached");
    }
  }
  if (settings_.maxAttempts > 0 && attempt_ > settings_.maxAttempts) return attemptLimit();
  if (settings_.maxIterations > 0 && iteration_ >= settings_.maxIterations) {
    if (settings_.singleAttempt) return limitReached("Iteration limit reached");
    if (settings_.maxAttempts > 0 && attempt_ >= settings_.maxAttempts) return attemptLimit();
    return RedoButton;
  }
  std::string reason;
  const ButtonSet pressed = policies_.press(reason);
  if (pressed && !reason.empty()) message(reason);
  return pressed;
}

bool ConsoleHost::retryAfterOverflow() {
  if (!overflowRetry_.retry(attempt_)) return false;
  clearProgress();
  err_ << OverflowRetry::Reason(attempt_) << "\n" << std::flush;
  return true;
}

void ConsoleHost::solutionWritten(const WrittenReport& r) {
  clearProgress();
  ++solutions_;
  lastWritten_ = r;
  files_.insert(files_.end(), r.files.begin(), r.files.end());
  // The exports are committed with the solution's files: named once they are in place.
  for (const std::string& path : r.files)
    if (exported_.count(path) && !settings_.quiet) err_ << "Exported " << path << "\n";
  exported_.clear();
  lastOrigin_ = policies_.startOrigin();
  if (!lastOrigin_.empty())
    err_ << "Search: " << lastOrigin_ << " found it at attempt " << r.attempts << "\n";
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", r.seconds);
  char e[40], p[40];
  std::snprintf(e, sizeof e, "%.17g", r.edgeDeform);
  std::snprintf(p, sizeof p, "%.17g", r.polyDeform);
  std::string facts;
  if (factsFile_.pending()) {
    facts = " " + FactsFields(factsFile_.facts());
    lastFacts_ = factsFile_.facts();
    const FactsFile::Written w = factsFile_.write();
    if (w.failure) {
      clearProgress();
      err_ << "kelmor: " << *w.failure << "\n";
      exportFailed_ = true;
    } else {
      files_.push_back(w.path);
    }
  }
  out_ << "written " << OneLineName(r.outputName) << " E=" << e << " P=" << p << " iterations=" << r.iterations
       << " attempts=" << r.attempts << " seconds=" << seconds << facts << "\n"
       << std::flush;
}

void ConsoleHost::solutionShape(const SolutionSnapshot& shape) { factsFile_.take(shape); }

bool ConsoleHost::acceptSolution(const SolutionSnapshot& shape) {
  const std::optional<std::string> refusal = Refusal(settings_.accept, ComputeFacts(SolidOf(shape)), shape.name);
  if (!refusal) return true;
  ++refused_;
  message(*refusal);
  // A solid that cannot be what the rule asks would otherwise search for ever.
  if (refused_ >= settings_.refusalLimit && settings_.refusalLimit > 0) {
    message("No solution kept after " + std::to_string(refused_) + " exact solutions refused: quitting the run");
    quitPending_ = true;
  }
  return false;
}

bool ConsoleHost::finishPositions(const SolidView& solid, StartPositions positions) {
  if (!settings_.planar) return false;
  const PlanarFinishReport report = PlanarFinish(solid, positions);
  message(PlanarFinishLine(report));
  return report.moved;
}

std::vector<FurtherFile> ConsoleHost::solutionSnapshot(const SolutionSnapshot& snapshot) {
  clearProgress();
  ExportOutcome outcome = ExportThroughModule(snapshot, settings_.exports);
  exported_.clear();
  for (const FurtherFile& file : outcome.files) exported_.insert(file.path);
  for (const std::string& warning : outcome.warnings) err_ << "kelmor: warning: " << warning << "\n";
  for (const std::string& failure : outcome.failures) err_ << "kelmor: export failed: " << failure << "\n";
  if (!outcome.failures.empty()) exportFailed_ = true;
  return std::move(outcome.files);
}

void ConsoleHost::hideDrawWindow() { clearProgress(); }

}  // namespace kelmor
