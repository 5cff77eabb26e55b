#include "output/output_names.h"

#include "run/options.h"
#include "settings/preferences.h"

namespace kelmor {

namespace {

struct VrmlOutput {
  const char* file;  // the preference that selects it
  const char* kind;  // the preference that names it
  const char* what;
};
constexpr VrmlOutput VrmlOutputs[] = {
    {"vsol", "ssol", "solid"}, {"vanm", "sanm", "animated"}, {"vfrm", "sfrm", "frame"},
    {"vswt", "sswt", "switchable"}, {"vcyl", "scyl", "cylinder"},
};

// The longest file name most Linux file systems take, in bytes.
constexpr size_t NameMax = 255;

bool BreaksName(const std::string& part) {
  for (char c : part)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
  return false;
}

}  // namespace

std::string KindPart(const Preferences& prefs, const char* key) {
  const std::string& kind = prefs.text(key);
  return kind.empty() || kind == " " ? std::string() : "_" + kind;
}

std::vector<PlannedFile> PlannedFiles(const Preferences& prefs, const RunOptions& o,
                                      const std::string& outputName) {
  std::vector<PlannedFile> files;
  const std::string weaken = Ticked(o.Weaken) ? "_weaken" + o.WeakenLimit : std::string();
  const std::string after = std::string(Ticked(o.Augment) ? "_aug" : "") + (Ticked(o.Smooth) ? "_smooth" : "");
  const int passes = Ticked(o.StressMap) ? 2 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    if (pass == 0 && prefs.flag("voff"))
      files.push_back({outputName + weaken + ".off", "OFF file (voff)"});
    const std::string runSuffix = weaken + (pass == 1 ? "_stress" : "") + after;
    for (const VrmlOutput& v : VrmlOutputs) {
      if (!prefs.flag(v.file)) continue;
      files.push_back({outputName + KindPart(prefs, v.kind) + runSuffix + ".wrl",
                       std::string(v.what) + " VRML file (" + v.kind + "=" + prefs.text(v.kind) + ")"});
    }
  }
  return files;
}

std::string OutputNameProblem(const Preferences& prefs, const RunOptions& o, const std::string& outputName) {
  for (const VrmlOutput& v : VrmlOutputs) {
    if (prefs.flag(v.file) && BreaksName(prefs.text(v.kind)))
      return "Error: the file name suffix " + std::string(v.kind) + "='" + prefs.text(v.kind) +
             "' of the " + v.what + " VRML file holds a '/' or a control character";
  }
  if (Ticked(o.Weaken) && BreaksName(o.WeakenLimit))
    return "Error: the weaken limit '" + o.WeakenLimit + "' holds a '/' or a control character";
  const std::vector<PlannedFile> files = PlannedFiles(prefs, o, outputName);
  for (size_t i = 0; i < files.size(); ++i) {
    if (files[i].name.size() > NameMax)
      return "Error: the " + files[i].maker + " would be named " + files[i].name + ", longer than " +
             std::to_string(NameMax) + " bytes";
    for (size_t j = 0; j < i; ++j)
      if (files[j].name == files[i].name)
        return "Error: Suffixes for selected output files must be different: the " + files[j].maker +
               " and the " + files[i].maker + " would both be " + files[i].name;
  }
  return {};
}

}  // namespace kelmor
