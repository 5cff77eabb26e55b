#pragma once

#include <string>
#include <vector>

#include "export/export_list.h"
#include "output/solution_snapshot.h"

namespace kelmor {

struct ExportOutcome {
  std::vector<FurtherFile> files;     // full paths and contents, in order, not yet on the disk
  std::vector<std::string> warnings;  // files made, but with a flaw a printer would meet
  std::vector<std::string> failures;  // files that could not be made, with the reason
};

// Makes the solid (folder/name + suffix + extension) and, when the cylinder model is
// written, the strut model (name + "_struts" + suffix + extension) in every requested
// format, in memory: the caller commits the files with the solution's own, so that a full
// disk leaves every earlier file whole. Never throws.
ExportOutcome ExportSolution(const SolutionSnapshot& s, const ExportRequest& r);

}  // namespace kelmor
