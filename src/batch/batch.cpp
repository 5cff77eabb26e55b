#include "batch/batch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "batch/batch_lock.h"
#include "batch/batch_record.h"
#include "batch/heartbeat.h"
#include "batch/input_list.h"
#include "batch/merge.h"
#include "batch/progress.h"
#include "batch/results_table.h"
#include "unattended/exit_status.h"
#include "unattended/unattended_run.h"
#include "run/run_values.h"
#include "files/private_file.h"
#include "files/stale_temporaries.h"
#include "model/error.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

// Ctrl-C in a batch, or SIGTERM (what a scheduler sends on cancel, time limit and
// preemption): runs in progress press Quit, no new input starts, and the inputs cut short
// get no row (--resume runs them again).
std::atomic<bool> g_stop{false};
extern "C" void OnBatchInterrupt(int) { g_stop = true; }

// Both stopping signals go to the batch while it runs; the earlier handlers come back after.
class StopSignals {
 public:
  StopSignals() : interrupt_(std::signal(SIGINT, OnBatchInterrupt)), terminate_(std::signal(SIGTERM, OnBatchInterrupt)) {}
  ~StopSignals() {
    std::signal(SIGINT, interrupt_ == SIG_ERR ? SIG_DFL : interrupt_);
    std::signal(SIGTERM, terminate_ == SIG_ERR ? SIG_DFL : terminate_);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  void (*interrupt_)(int);
  void (*terminate_)(int);
};

constexpr const char* LogName = "kelmor.log";

std::string LastLine(const std::string& text) {
  std::istringstream in(text);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return last;
}

// The reason a row failed: the last error the run reported ("kelmor: ..." but not a
// warning), which later progress lines ("Search: ...") must not hide; else the last line.
std::string ErrorOf(const std::string& text) {
  std::istringstream in(text);
  std::string line, error;
  while (std::getline(in, line))
    if (line.rfind("kelmor: ", 0) == 0 && line.rfind("kelmor: warning: ", 0) != 0) error = line;
  return error.empty() ? LastLine(text) : error;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    std::string name = e.path().filename().string();
    if (name != LogName && e.is_regular_file(ec)) files.push_back(name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Runs one input as `kelmor run` would into its own folder; false when Ctrl-C cut it short.
bool RunOne(const BatchInput& input, const Session& base, const RunArgs& args,
            const fs::path& out, LiveFigures* live, ResultRow& row) {
  const auto start = std::chrono::steady_clock::now();
  const fs::path folder = out / input.folder;
  row.input = input.path;
  row.folder = folder.string();
  auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::error_code ec;
  const bool made = fs::create_directories(folder, ec);
  if (ec) {
    row.status = "failed";
    row.error = "cannot create the output folder '" + folder.string() + "': " + ec.message();
    row.seconds = seconds();
    return true;
  }
  // A folder made here must be found after a crash too before the row says its files are
  // there: the batch's folder is synced while the input runs, and waited for at the end.
  std::future<void> outSynced;
  if (made) outSynced = std::async(std::launch::async | std::launch::deferred, [out] { SyncFolder(out); });
  RunArgs a = args;
  a.input = input.path;
  a.out = folder.string();
  a.outJustMade = made;
  a.quiet = true;
  ConsoleSettings cs = ConsoleFrom(a);
  cs.interrupt = &g_stop;
  cs.live = live;
  std::ostringstream stdoutText, messages;
  int status = 0;
  bool interrupted = false, timedOut = false;
  std::optional<WrittenReport> written;
  std::string origin;
  std::optional<SolidFacts> facts;
  {
    ConsoleHost host(cs, stdoutText, messages);
    Session session = base;
    status = RunInputFile(session, a, host, messages);
    interrupted = host.interrupted();
    timedOut = host.timedOut();
    written = host.lastWritten();
    origin = host.lastOrigin();
    facts = host.lastFacts();
  }
  row.seconds = seconds();
  if (interrupted) return false;
  if (outSynced.valid()) {
    try {
      outSynced.get();
    } catch (const FileWriteError& e) {
      messages << "Kelmor could not make '" << e.path() << "' durable: " << e.reason() << "\n";
      status = ExitAbandoned;
    }
  }
  std::ofstream(folder / LogName) << messages.str();
  row.files = FilesIn(folder);
  if (written) {
    row.E = written->edgeDeform;
    row.P = written->polyDeform;
    row.SE = written->singleEdge;
    row.A = written->angleDeform;
    row.iterations = written->iterations;
    row.attempts = written->attempts;
    row.search = origin;
    if (facts) {
      row.convex = facts->convex;
      row.selfIntersecting = facts->selfIntersecting;
      row.symmetry = GroupName(facts->symmetry);
      if (std::isfinite(facts->edgeRatio)) row.edgeRatio = facts->edgeRatio;
      row.offPlane = facts->offPlane;
      row.dihedralMin = facts->dihedralMin;
      row.dihedralMax = facts->dihedralMax;
    }
    // The run's own exactness test: E below 1e-12 an edge.
    const double exactBelow = written->edgeCount > 0 ? static_cast<double>(written->edgeCount) * 1e-12 : 1e-10;
    row.status = written->edgeDeform < exactBelow ? "solved" : "inexact";
  }
  if (status == ExitRefused) {
    row.status = "refused";
  } else if (status == ExitAbandoned) {
    row.status = "failed";
  } else if (timedOut) {
    row.status = "timed-out";
  } else if (status == ExitWritten) {
    if (!written) row.status = "written";  // files without a relaxed solution (realms)
  } else {
    row.status = "failed";
  }
  if (row.status != "solved" && row.status != "written") row.error = ErrorOf(messages.str());
  return true;
}

// Takes the batch folder for this batch: made if missing, locked against every other
// batch, cleared of the temporaries of killed runs, its table opened and its record (slice
// and list) written or, on --resume, compared. Returns the exit status when the batch
// cannot go on.
std::optional<int> TakeFolder(const BatchArgs& a, const std::vector<BatchInput>& all, std::pair<int, int> shard,
                              BatchLock& lock, ResultsTable& table, std::ostream& err) {
  const fs::path outDir = a.run.out;
  std::error_code ec;
  fs::create_directories(outDir, ec);
  if (ec || !fs::is_directory(outDir, ec)) {
    err << "kelmor: cannot create the output folder '" << outDir.string() << "'\n";
    return ExitAbandoned;
  }
  LockProblem problem;
  if (auto e = lock.acquire(outDir, problem)) {
    if (problem == LockProblem::Unsupported) {
      err << "kelmor: warning: " << *e << "\n";
    } else {
      err << "kelmor: " << *e << "\n";
      return problem == LockProblem::Busy ? ExitRefused : ExitAbandoned;
    }
  }
  bool refused = false;
  RemoveStaleTemporaries(outDir);
  for (const BatchInput& in : all)
    if (fs::is_directory(outDir / in.folder, ec)) RemoveStaleTemporaries(outDir / in.folder);
  if (auto e = table.open(a.resume)) {
    err << "kelmor: " << *e << "\n";
    return a.resume ? ExitAbandoned : ExitRefused;
  }
  BatchRecord record{shard.first, shard.second, {}};
  for (const BatchInput& in : all) record.inputs.push_back(in.path);
  if (auto e = CheckBatchRecord(outDir, record, a.resume, refused)) {
    err << "kelmor: " << *e << "\n";
    return refused ? ExitRefused : ExitAbandoned;
  }
  return std::nullopt;
}

// The summary line of the batch's slice (rows of earlier runs counted too), the --resume
// line when it was interrupted, and the exit status.
int Summarise(const ResultsTable& table, const std::vector<BatchInput>& mine, size_t pending, int jobs,
              double seconds, bool exitZeroUnlessBroken, std::ostream& out, std::ostream& err) {
  std::map<std::string, int> counts;
  std::set<std::string> mineInputs;
  for (const BatchInput& in : mine) mineInputs.insert(in.path);
  int rows = 0, ok = 0;
  for (const ResultRow& r : table.rows()) {
    if (!mineInputs.count(r.input)) continue;
    ++rows;
    ++counts[r.status];
    if (RowSucceeded(r.status)) ++ok;
  }
  const int notRun = static_cast<int>(mine.size()) - rows;
  char time[32];
  std::snprintf(time, sizeof time, "%.1f", seconds);
  out << "batch: " << mine.size() << " inputs";
  for (const char* s : {"solved", "written", "inexact", "failed", "refused", "timed-out"})
    out << ", " << counts[s] << " " << s;
  if (notRun > 0) out << ", " << notRun << " not run";
  out << "; " << pending - static_cast<size_t>(notRun > 0 ? notRun : 0)
      << " run now in " << time << " s on " << jobs << (jobs == 1 ? " thread" : " threads")
      << "; table " << table.jsonPath().string() << "\n";
  if (g_stop && notRun > 0) {
    err << "Interrupted: " << notRun << " inputs have no row yet; run the same command with "
        << "--resume to continue\n";
    return ExitNotWritten;
  }
  if (notRun > 0) return ExitNotWritten;
  return ok == static_cast<int>(mine.size()) || exitZeroUnlessBroken ? ExitWritten : ExitNotWritten;
}

}  // namespace

int RunBatch(const BatchArgs& a, std::ostream& out, std::ostream& err) {
  if (!a.merge.empty()) {
    MergePreference preference;
    if (!ParseMergePreference(a.prefer, preference)) {
      err << "kelmor: --prefer takes solved or first, not '" << a.prefer << "'\n";
      return ExitRefused;
    }
    if (a.run.out.empty()) {
      err << "kelmor: --merge needs --out DIR for the joined table\n";
      return ExitRefused;
    }
    return MergeTables(a.merge, a.run.out, preference, out, err);
  }
  if (!a.prefer.empty()) {
    err << "kelmor: --prefer belongs to --merge\n";
    return ExitRefused;
  }
  if (!std::isfinite(a.heartbeat) || a.heartbeat < 0) {
    err << "kelmor: --heartbeat takes a number of seconds, 0 or more\n";
    return ExitRefused;
  }
  if (a.run.out.empty()) {
    err << "kelmor: batch needs --out DIR, the folder of the results table and the inputs' "
           "folders\n";
    return ExitRefused;
  }
  std::optional<std::pair<int, int>> shard = std::make_pair(1, 1);
  if (!a.shard.empty() && !(shard = ParseShard(a.shard))) {
    err << "kelmor: --shard takes K/N with 1 <= K <= N, not '" << a.shard << "'\n";
    return ExitRefused;
  }
  std::string error;
  std::vector<std::string> named = a.inputs;
  for (const std::string& e : a.run.conway) named.push_back(ConwayInputPrefix + e);
  auto all = GatherInputs(named, a.list, error);
  if (!all) {
    err << "kelmor: " << error << "\n";
    return ExitRefused;
  }
  if (all->empty()) {
    err << "kelmor: batch has no inputs: name them or give --list FILE\n";
    return ExitRefused;
  }
  RunArgs args = a.run;
  if (args.answer == "ask") args.answer = "no";  // nobody answers a question in a batch
  // Options refused for one input are refused for all: say so before anything runs.
  {
    RunOptions probe;
    std::ostringstream ignored;
    if (!ApplyControls(probe, args, err)) return ExitRefused;
    if (!CheckExports(args, err)) return ExitRefused;
  }
  Session base;
  {
    ConsoleSettings quiet;
    quiet.quiet = true;
    quiet.interrupt = &g_stop;
    ConsoleHost host(quiet, out, err);
    if (!PrepareSession(base, args, host, err)) return ExitRefused;
  }

  const fs::path outDir = a.run.out;
  BatchLock lock;  // held until the batch returns
  ResultsTable table(outDir);
  if (auto status = TakeFolder(a, *all, *shard, lock, table, err)) return *status;
  const std::vector<BatchInput> mine = Shard(*all, shard->first, shard->second);
  std::vector<BatchInput> pending;
  for (const BatchInput& in : mine)
    if (!table.has(in.path)) pending.push_back(in);

  int jobs = a.jobs > 0 ? a.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  jobs = std::min<int>(jobs, std::max<int>(1, static_cast<int>(pending.size())));
  const std::vector<size_t> order = StartOrder(pending, jobs);
  const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO) && !a.run.quiet;
  BatchProgress progress(static_cast<int>(pending.size()), err, terminal);
  g_stop = false;
  std::atomic<size_t> next{0};
  std::atomic<bool> tableFailed{false};
  std::vector<RunningInput> running(static_cast<size_t>(jobs));
  auto worker = [&](RunningInput& slot) {
    for (;;) {
      if (g_stop || tableFailed) return;
      const size_t i = next++;
      if (i >= pending.size()) return;
      ResultRow row;
      slot.start(pending[order[i]].path);
      const bool finished = RunOne(pending[order[i]], base, args, outDir, &slot.live, row);
      slot.stop();
      if (!finished) continue;
      if (auto e = table.append(row)) {
        progress.note("kelmor: " + *e);
        tableFailed = true;
        return;
      }
      progress.finished(row.input, row.status, row.seconds);
    }
  };
  const auto start = std::chrono::steady_clock::now();
  {
    StopSignals signals;
    Heartbeat heartbeat(running, terminal || a.run.quiet ? 0 : a.heartbeat,
                        [&](const std::string& line) { progress.note(line); });
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t) threads.emplace_back(worker, std::ref(running[static_cast<size_t>(t)]));
    worker(running[0]);
    for (std::thread& t : threads) t.join();
  }
  progress.end();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  if (auto e = table.writeCsv()) {
    err << "kelmor: " << *e << "\n";
    return ExitAbandoned;
  }
  if (tableFailed) return ExitAbandoned;
  return Summarise(table, mine, pending.size(), jobs, seconds, a.exitZeroUnlessBroken, out, err);
}

}  // namespace kelmor
