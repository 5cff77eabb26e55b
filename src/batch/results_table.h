#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "batch/result_row.h"

namespace kelmor {

// results.jsonl and results.csv in a batch's output folder. The JSON lines are the table
// itself, one row an input, each written whole and at once, so a batch killed at any
// moment leaves every finished row in place; the CSV file is rewritten from them.
class ResultsTable {
 public:
  explicit ResultsTable(std::filesystem::path folder);
  ~ResultsTable();
  ResultsTable(const ResultsTable&) = delete;
  ResultsTable& operator=(const ResultsTable&) = delete;

  // Opens the table. Without resume a table that already holds rows is refused (nothing
  // is lost); with resume its whole rows are kept (a last line cut short is dropped) and
  // new rows follow. Returns the reason when the table cannot be opened.
  std::optional<std::string> open(bool resume);
  bool has(const std::string& input) const;
  // Appends a row (thread-safe); returns the reason when it could not be written. A row
  // that could not be appended is not kept, and after one failure no row is.
  std::optional<std::string> append(const ResultRow& row);
  // Every row, those found on opening first.
  std::vector<ResultRow> rows() const;
  std::optional<std::string> writeCsv() const;

  std::filesystem::path jsonPath() const { return folder_ / "results.jsonl"; }
  std::filesystem::path csvPath() const { return folder_ / "results.csv"; }

 private:
  std::filesystem::path folder_;
  int fd_ = -1;
  mutable std::mutex mutex_;
  std::vector<ResultRow> rows_;
  std::set<std::string> inputs_;
  std::optional<std::string> failure_;  // the first failed append; every later one fails too
};

// Reads the whole rows of a results.jsonl; nullopt (reason in `error`) when unreadable.
std::optional<std::vector<ResultRow>> ReadRows(const std::filesystem::path& file,
                                               std::string& error);
// Writes the rows as results.jsonl and results.csv into the folder, each through a
// temporary file renamed into place. Returns the reason on failure.
std::optional<std::string> WriteTable(const std::filesystem::path& folder,
                                      const std::vector<ResultRow>& rows);

}  // namespace kelmor
