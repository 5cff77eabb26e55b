#include "run/run_start_check.h"

#include "files/output_folder.h"
#include "input/shape.h"
#include "output/output_names.h"
#include "run/run_values.h"
#include "run/session.h"

namespace kelmor {

RunStartCheck CheckRunStart(const Session& s, bool createFolder, bool probeFolder) {
  RunStartCheck check;
  OutputFolderCheck folder =
      CheckOutputFolder(s.input.OutSame ? s.input.InDir : s.input.OutDir, createFolder, probeFolder);
  check.folderProblem = folder.problem;
  check.folderCreated = folder.created;
  if (s.options.Segments == "None") {
    const std::string base = s.special.any() ? ShapeBaseName(s.special) : BaseNameOf(s.input.InFile);
    check.nameProblem = OutputNameProblem(s.prefs, s.options, base);
  }
  return check;
}

}  // namespace kelmor
