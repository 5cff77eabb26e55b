#include "output/writer.h"

#include <filesystem>
#include <functional>

#include "output/call_files.h"
#include "output/off_writer.h"
#include "output/orientation.h"
#include "output/output_names.h"
#include "output/output_call.h"
#include "output/realm_file.h"
#include "output/segment_file.h"
#include "output/solution_snapshot.h"
#include "output/vrml_files.h"
#include "run/run.h"

namespace kelmor {

namespace {

namespace fs = std::filesystem;

fs::path OutputPath(const Run& run, const std::string& tail) {
  return fs::path(run.OutputDir) / (run.OutputName + tail);
}

// The files of one pass over an unsegmented model, in their fixed order.
void WritePass(OutputCall& call) {
  Run& run = call.run;
  const Preferences& prefs = run.session.prefs;
  if (prefs.flag("voff") && run.StressPass == 0)
    WriteCallFile(call, OutputPath(run, call.weakenSuffix + ".off"), [&](std::ostream& os) { WriteOffFile(call, os); });
  struct Kind {
    const char* file;
    const char* kind;
    void (*write)(OutputCall&, std::ostream&);
  };
  static constexpr Kind kinds[] = {
      {"vsol", "ssol", WriteSolidFile},  {"vanm", "sanm", WriteAnimationFile}, {"vfrm", "sfrm", WriteFrameFile},
      {"vswt", "sswt", WriteSwitchFile}, {"vcyl", "scyl", WriteCylinderFile},
  };
  for (const Kind& k : kinds) {
    if (!prefs.flag(k.file)) continue;
    WriteCallFile(call, OutputPath(run, KindPart(prefs, k.kind) + call.runSuffix + ".wrl"),
              [&](std::ostream& os) { k.write(call, os); });
  }
}

void WriteCall(OutputCall& call) {
  Run& run = call.run;
  const RunOptions& o = run.session.options;
  if (run.session.prefs.flag("beep"))
    for (int i = 0; i < 3; ++i) run.host.beep();
  if (run.RealmSectionClosed == 1) {
    WriteRealmFiles(call);
    return;
  }
  run.StressPass = 0;
  bool stressMap = Ticked(o.StressMap);
  AdjustRhombusColours(call);
  if (run.model.FtrFlagsSeen == 1) OrientModel(run);
  for (;;) {
    BuildRunSuffix(call);
    if (run.model.SegmentCount >= 2) {
      WriteSegmentFile(call);
      return;
    }
    WritePass(call);
    if (run.StressPass == 0 && run.host.wantsSnapshot())
      for (const FurtherFile& file : run.host.solutionSnapshot(TakeSnapshot(call)))
        WriteCallFile(call, file.path, [&](std::ostream& os) { os.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size())); });
    if (run.StressPass == 0 && run.host.wantsShape()) {
      SolutionSnapshot shape = ShapeSnapshot(run);
      shape.suffix = call.runSuffix;
      run.host.solutionShape(shape);
    }
    if (!stressMap || run.StressPass == 1) return;
    run.StressPass = 1;
  }
}

}  // namespace

void WriteOutputFiles(Run& run) {
  OutputCall call(run);
  WriteOutputFiles(call);
}

void WriteOutputFiles(OutputCall& call) {
  WriteCall(call);
  CommitCallFiles(call);
  if (!call.written.empty()) ++call.run.filesWritten;
}

}  // namespace kelmor
