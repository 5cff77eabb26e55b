#include "output/writer.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "output/off_writer.h"
#include "output/orientation.h"
#include "output/output_call.h"
#include "output/realm_file.h"
#include "output/segment_file.h"
#include "output/solution_snapshot.h"
#include "output/vrml_files.h"
#include "run/run.h"

namespace kelmor {

namespace {

namespace fs = std::filesystem;

// Writes one file under a temporary name and renames it into place, so that a failed
// write never leaves half a file under the real name. A file that cannot be created
// raises 76 with the file's name recorded for the error handler.
void WriteFile(OutputCall& call, const fs::path& path, const std::function<void(std::ostream&)>& write) {
  call.run.CurrentFileName = path.string();
  fs::path part = path;
  part += ".part";
  std::error_code ignored;
  {
    std::ofstream os(part, std::ios::binary | std::ios::trunc);
    if (!os) raiseError(ErrPathNotFound, path.string());
    try {
      write(os);
    } catch (...) {
      os.close();
      fs::remove(part, ignored);
      throw;
    }
    os.close();
    if (!os) {
      fs::remove(part, ignored);
      raiseError(ErrPathNotFound, path.string());
    }
  }
  std::error_code ec;
  fs::rename(part, path, ec);
  if (ec) {
    fs::remove(part, ignored);
    raiseError(ErrPathNotFound, path.string());
  }
  call.written.push_back(path.string());
}

fs::path OutputPath(const Run& run, const std::string& tail) {
  return fs::path(run.OutputDir) / (run.OutputName + tail);
}

// "_" and the kind text, or nothing for a kind text that is empty or one blank.
std::string KindPart(const Run& run, const char* key) {
  const std::string& kind = run.session.prefs.text(key);
  return kind.empty() || kind == " " ? std::string() : "_" + kind;
}

// The files of one pass over an unsegmented model, in their fixed order.
void WritePass(OutputCall& call) {
  Run& run = call.run;
  const Preferences& prefs = run.session.prefs;
  if (prefs.flag("voff") && run.StressPass == 0)
    WriteFile(call, OutputPath(run, call.weakenSuffix + ".off"), [&](std::ostream& os) { WriteOffFile(call, os); });
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
    WriteFile(call, OutputPath(run, KindPart(run, k.kind) + call.runSuffix + ".wrl"),
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
    if (run.StressPass == 0 && run.host.wantsSnapshot()) run.host.solutionSnapshot(TakeSnapshot(call));
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
  try {
    WriteCall(call);
  } catch (...) {
    if (!call.written.empty()) ++call.run.filesWritten;
    throw;
  }
  if (!call.written.empty()) ++call.run.filesWritten;
}

}  // namespace kelmor
