#pragma once

#include <optional>
#include <string>

#include "facts/solid_facts.h"
#include "output/solution_snapshot.h"

namespace kelmor {

// NAME_facts.txt beside a written solution's files. The writer hands the host the
// solution's shape just before it reports the files written; the facts are found then and
// written once the files are in place, so that a solution whose files failed gets none.
class FactsFile {
 public:
  // Finds the facts of the solution about to be reported written.
  void take(const SolutionSnapshot& shape);
  // Drops facts whose files were never reported written.
  void drop() { pending_.reset(); }
  bool pending() const { return pending_.has_value(); }
  const SolidFacts& facts() const { return *pending_; }
  // Writes the file through the all-or-nothing commit and forgets the facts: its path, or
  // the line that says why it could not be written.
  struct Written {
    std::string path;
    std::optional<std::string> failure;
  };
  Written write();

 private:
  std::optional<SolidFacts> pending_;
  std::string name_, path_;
};

}  // namespace kelmor
