#include "run/run_start_check.h"

#include <filesystem>

#include "files/output_folder.h"
#include "input/shape.h"
#include "output/output_names.h"
#include "run/run_values.h"
#include "run/session.h"

namespace kelmor {

namespace {

namespace fs = std::filesystem;

// An OFF input relaxed in its own folder would get its own name back: the run's OFF file
// would replace the solid it was read from.
std::string OverwrittenInput(const Session& s, const std::string& base) {
  if (s.special.any() || s.input.InFile.empty() || s.input.InFile.rfind(ConwayInputPrefix, 0) == 0) return {};
  std::error_code ec;
  const fs::path input = fs::weakly_canonical(fs::path(s.input.InDir) / s.input.InFile, ec);
  const fs::path folder = fs::weakly_canonical(s.input.OutSame ? s.input.InDir : s.input.OutDir, ec);
  for (const PlannedFile& f : PlannedFiles(s.prefs, s.options, base))
    if (folder / f.name == input)
      return "Error: the " + f.maker + " would be written over the input file " + s.input.InFile +
             "; choose another output folder";
  return {};
}

}  // namespace

RunStartCheck CheckRunStart(const Session& s, bool createFolder, bool probeFolder) {
  RunStartCheck check;
  OutputFolderCheck folder =
      CheckOutputFolder(s.input.OutSame ? s.input.InDir : s.input.OutDir, createFolder, probeFolder);
  check.folderProblem = folder.problem;
  check.folderCreated = folder.created;
  if (s.options.Segments == "None") {
    const std::string base = s.special.any() ? ShapeBaseName(s.special) : BaseNameOf(s.input.InFile);
    check.nameProblem = OutputNameProblem(s.prefs, s.options, base);
    if (check.nameProblem.empty()) check.nameProblem = OverwrittenInput(s, base);
  }
  return check;
}

}  // namespace kelmor
