#pragma once

#include <string>

namespace kelmor {

struct Session;

// What the output folder and the output names of a run look like before anything is read
// or relaxed, so that a run that could not write its files is refused at once.
struct RunStartCheck {
  std::string folderProblem;  // "output folder '...' does not exist", ...; empty when fine
  std::string nameProblem;    // "Error: ..." naming the clashing or broken names; empty when fine
  bool folderCreated = false;
  bool ok() const { return folderProblem.empty() && nameProblem.empty(); }
};

// Looks at the run's output folder (made when createFolder and its parent exists) and,
// for unsegmented input, at the names its first solution's files would get. Without
// probeFolder the folder is not tried with a temporary file (see CheckOutputFolder).
RunStartCheck CheckRunStart(const Session& session, bool createFolder = false, bool probeFolder = true);

}  // namespace kelmor
