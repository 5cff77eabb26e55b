#include "batch/results_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "files/private_file.h"
#include "files/system_calls.h"
#include "model/error.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

std::string Reason(const fs::path& file, const char* what) {
  return std::string("cannot ") + what + " '" + file.string() + "': " + std::strerror(errno);
}

// Writes text to the file through a private temporary renamed into place.
std::optional<std::string> Replace(const fs::path& file, const std::string& text) {
  try {
    ReplaceFileWith(file, text);
  } catch (const FileWriteError& e) {
    return "cannot write '" + e.path() + "': " + e.reason();
  }
  return std::nullopt;
}

std::string CsvText(const std::vector<ResultRow>& rows) {
  std::string text;
  for (size_t i = 0; i < ResultColumns().size(); ++i) text += (i ? "," : "") + ResultColumns()[i];
  text += "\n";
  for (const ResultRow& r : rows) text += RowCsv(r) + "\n";
  return text;
}

std::string JsonText(const std::vector<ResultRow>& rows) {
  std::string text;
  for (const ResultRow& r : rows) text += RowJson(r) + "\n";
  return text;
}

}  // namespace

std::optional<std::vector<ResultRow>> ReadRows(const fs::path& file, std::string& error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = Reason(file, "read");
    return std::nullopt;
  }
  std::vector<ResultRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (auto row = RowFromJson(line)) rows.push_back(std::move(*row));
  }
  return rows;
}

std::optional<std::string> WriteTable(const fs::path& folder, const std::vector<ResultRow>& rows) {
  if (auto e = Replace(folder / "results.jsonl", JsonText(rows))) return e;
  return Replace(folder / "results.csv", CsvText(rows));
}

ResultsTable::ResultsTable(fs::path folder) : folder_(std::move(folder)) {}

ResultsTable::~ResultsTable() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> ResultsTable::open(bool resume) {
  std::error_code ec;
  if (fs::exists(jsonPath(), ec) && fs::file_size(jsonPath(), ec) > 0) {
    if (!resume)
      return "'" + jsonPath().string() +
             "' already holds results: add --resume to continue that batch, or choose another "
             "--out";
    std::string error;
    auto rows = ReadRows(jsonPath(), error);
    if (!rows) return error;
    rows_ = std::move(*rows);
    for (const ResultRow& r : rows_) inputs_.insert(r.input);
    // Rewritten with its whole rows only, so that new rows never follow a cut line.
    if (auto e = Replace(jsonPath(), JsonText(rows_))) return e;
  }
  fd_ = ::open(jsonPath().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd_ < 0) return Reason(jsonPath(), "open");
  return std::nullopt;
}

bool ResultsTable::has(const std::string& input) const {
  std::lock_guard lock(mutex_);
  return inputs_.count(input) > 0;
}

std::optional<std::string> ResultsTable::append(const ResultRow& row) {
  const std::string line = RowJson(row) + "\n";
  std::lock_guard lock(mutex_);
  // After a failed append the file may end in part of a line, which a later row would
  // join and be lost with, while the CSV (written from the rows kept here) had it.
  if (failure_) return failure_;
  // One write of the whole line: appends of a line are not interleaved or split.
  size_t done = 0;
  while (done < line.size()) {
    ssize_t n = FileCalls().write(fd_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;  // nothing written and no error: the device takes no more
      failure_ = Reason(jsonPath(), "write");
      return failure_;
    }
    done += static_cast<size_t>(n);
  }
  rows_.push_back(row);
  inputs_.insert(row.input);
  return std::nullopt;
}

std::vector<ResultRow> ResultsTable::rows() const {
  std::lock_guard lock(mutex_);
  return rows_;
}

std::optional<std::string> ResultsTable::writeCsv() const {
  return Replace(csvPath(), CsvText(rows()));
}

}  // namespace kelmor
