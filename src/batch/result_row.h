#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelmor {

// One input's line in the results table.
struct ResultRow {
  std::string input;   // as given on the command line or in the list
  std::string folder;  // its output folder
  std::string status;  // solved, inexact, written, failed, refused, timed-out
  std::optional<double> E, SE, P, A;
  std::optional<long> iterations;
  std::optional<int> attempts;
  std::string search;  // how the written attempt started: "random start", "spectral start 1 of 6 (cluster 5)"
  double seconds = 0;
  std::vector<std::string> files;  // written files, relative to the folder
  std::string error;               // the run's last message when it did not solve
  // The written solution's facts (see SolidFacts); empty when none was written.
  std::optional<bool> convex, selfIntersecting;
  std::string symmetry;  // Schoenflies
  std::optional<double> edgeRatio, offPlane, dihedralMin, dihedralMax;
};

// Whether a row's status counts as done: solved, written or inexact.
bool RowSucceeded(const std::string& status);

// The columns, in table order.
const std::vector<std::string>& ResultColumns();
// One JSON object on one line, without the line end.
std::string RowJson(const ResultRow& row);
// The row of a JSON line; nullopt when the line is not a whole row (a line cut short).
std::optional<ResultRow> RowFromJson(const std::string& line);
// One CSV record (RFC 4180 quoting), without the line end; files joined by ';'.
std::string RowCsv(const ResultRow& row);

}  // namespace kelmor
