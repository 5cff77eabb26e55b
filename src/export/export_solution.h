#pragma once

#include <string>
#include <vector>

#include "export/export_list.h"
#include "output/solution_snapshot.h"

namespace kelmor {

struct ExportOutcome {
  std::vector<std::string> written;   // full paths, in order
  std::vector<std::string> warnings;  // files written, but with a flaw a printer would meet
  std::vector<std::string> failures;  // files that could not be written, with the reason
};

// Writes the solid (folder/name + suffix + extension) and, when the cylinder model is
// written, the strut model (name + "_struts" + suffix + extension) in every requested
// format. Each file appears under its name only once complete. Never throws.
ExportOutcome ExportSolution(const SolutionSnapshot& s, const ExportRequest& r);

}  // namespace kelmor
