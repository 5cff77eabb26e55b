#include "batch/merge.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <ostream>

#include "batch/batch_lock.h"
#include "batch/results_table.h"
#include "unattended/exit_status.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

int StatusRank(const std::string& status) {
  if (status == "solved" || status == "written") return 0;
  if (status == "inexact") return 1;
  if (status == "timed-out") return 2;
  if (status == "failed") return 3;
  return 4;
}

// Whether b is a better result than a.
bool Better(const ResultRow& b, const ResultRow& a) {
  if (StatusRank(b.status) != StatusRank(a.status)) return StatusRank(b.status) < StatusRank(a.status);
  return b.E && (!a.E || *b.E < *a.E);
}

std::string Describe(const ResultRow& r, const std::string& table) {
  std::string text = "'" + table + "' (" + r.status;
  if (r.E) {
    char e[40];
    std::snprintf(e, sizeof e, ", E=%.17g", *r.E);
    text += e;
  }
  return text + ")";
}

// Locks the target folder against every batch (made first when missing), so that no table
// being written is read or replaced; the exit status when it cannot be locked.
std::optional<int> LockTarget(const fs::path& target, BatchLock& lock, std::ostream& err) {
  std::error_code ec;
  fs::create_directories(target, ec);
  LockProblem problem;
  if (auto e = lock.acquire(target, problem)) {
    err << "kelmor: " << (problem == LockProblem::Unsupported ? "warning: " : "") << *e << "\n";
    if (problem == LockProblem::Busy) return ExitRefused;
    if (problem == LockProblem::Failed) return ExitAbandoned;
  }
  return std::nullopt;
}

struct Kept {
  ResultRow row;
  std::string table;  // the results.jsonl it came from
};

}  // namespace

bool ParseMergePreference(const std::string& text, MergePreference& preference) {
  if (text.empty()) preference = MergePreference::None;
  else if (text == "solved") preference = MergePreference::Solved;
  else if (text == "first") preference = MergePreference::First;
  else return false;
  return true;
}

bool SameResult(const ResultRow& a, const ResultRow& b) {
  return a.input == b.input && a.status == b.status && a.E == b.E && a.SE == b.SE && a.P == b.P && a.A == b.A &&
         a.iterations == b.iterations && a.attempts == b.attempts && a.search == b.search && a.files == b.files &&
         a.error == b.error;
}

int MergeTables(const std::vector<std::string>& folders, const fs::path& target, MergePreference preference,
                std::ostream& out, std::ostream& err) {
  BatchLock lock;
  std::error_code ec;
  // A target among the merged may be a batch's folder: it is locked before it is read.
  const bool lockedFirst = fs::is_directory(target, ec);
  if (lockedFirst)
    if (auto status = LockTarget(target, lock, err)) return *status;
  std::vector<Kept> kept;
  std::map<std::string, size_t> where;  // input -> index in kept
  bool targetMerged = false;
  int clashes = 0;
  for (const std::string& dir : folders) {
    if (fs::equivalent(dir, target, ec)) targetMerged = true;
    const std::string table = (fs::path(dir) / "results.jsonl").string();
    std::string error;
    auto found = ReadRows(table, error);
    if (!found) {
      err << "kelmor: " << error << "\n";
      return ExitRefused;
    }
    for (ResultRow& r : *found) {
      auto [at, fresh] = where.emplace(r.input, kept.size());
      if (fresh) {
        kept.push_back({std::move(r), table});
        continue;
      }
      Kept& first = kept[at->second];
      if (SameResult(first.row, r)) {
        err << "kelmor: '" << r.input << "' has the same result in " << "'" << first.table << "' and '" << table
            << "'; merged into one row\n";
      } else if (preference == MergePreference::None) {
        err << "kelmor: '" << r.input << "' has different results in " << Describe(first.row, first.table)
            << " and " << Describe(r, table) << "; give --prefer solved or --prefer first to say which to keep\n";
        ++clashes;
      } else {
        const bool replace = preference == MergePreference::Solved && Better(r, first.row);
        err << "kelmor: '" << r.input << "' has different results in " << Describe(first.row, first.table)
            << " and " << Describe(r, table) << "; kept the one from '" << (replace ? table : first.table)
            << "' (--prefer " << (preference == MergePreference::Solved ? "solved" : "first") << ")\n";
        if (replace) first = {std::move(r), table};
      }
    }
  }
  if (clashes > 0) {
    err << "kelmor: nothing merged: " << clashes << (clashes == 1 ? " input has" : " inputs have")
        << " different results in two tables\n";
    return ExitRefused;
  }
  if (!targetMerged && fs::exists(target / "results.jsonl", ec)) {
    err << "kelmor: '" << (target / "results.jsonl").string()
        << "' already exists; merge into a new folder or name it among the merged ones\n";
    return ExitRefused;
  }
  if (!lockedFirst)
    if (auto status = LockTarget(target, lock, err)) return *status;
  std::vector<ResultRow> rows;
  for (Kept& k : kept) rows.push_back(std::move(k.row));
  if (auto e = WriteTable(target, rows)) {
    err << "kelmor: " << *e << "\n";
    return ExitAbandoned;
  }
  const auto ok = std::count_if(rows.begin(), rows.end(), [](const ResultRow& r) { return RowSucceeded(r.status); });
  out << "merged " << rows.size() << " rows from " << folders.size() << " tables into " << target.string() << ": "
      << ok << " solved or written\n";
  return ok == static_cast<long>(rows.size()) ? ExitWritten : ExitNotWritten;
}

}  // namespace kelmor
