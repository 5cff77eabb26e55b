#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "batch/result_row.h"

namespace kelmor {

// Which row to keep when an input has different results in two merged tables.
enum class MergePreference {
  None,    // refuse the merge and name both tables
  Solved,  // the better result: solved or written, then inexact, timed-out, failed, refused; then the lower E
  First,   // the row of the table named first
};

// "solved", "first" or "" (none); false when the text is none of them.
bool ParseMergePreference(const std::string& text, MergePreference& preference);

// Whether two rows of one input say the same (the folder and the time taken aside).
bool SameResult(const ResultRow& a, const ResultRow& b);

// kelmor batch --merge DIR... --out DIR [--prefer solved|first]: joins the results tables
// into --out. An input with identical rows in several tables gets one row and a note; one
// with different rows is refused (exit 2, both tables named) unless a preference says which
// to keep. Returns the batch's exit status.
int MergeTables(const std::vector<std::string>& folders, const std::filesystem::path& target,
                MergePreference preference, std::ostream& out, std::ostream& err);

}  // namespace kelmor
