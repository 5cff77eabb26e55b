#include "cli/solid_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>

#include "cli/cli.h"
#include "conway/notation.h"
#include "input/char_stream.h"
#include "input/foreign_input.h"
#include "input/kelmor_solid.h"
#include "input/solid_text.h"
#include "files/private_file.h"
#include "model/error.h"
#include "settings/path_kind.h"
#include "unattended/unattended_run.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

std::string LowerExtension(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

// Writes text to path through the all-or-nothing commit; false (reason printed) on failure.
bool WriteWhole(const std::string& path, const std::string& text, std::ostream& err) {
  try {
    ReplaceFileWith(path, text);
    return true;
  } catch (const FileWriteError& e) {
    err << "kelmor: cannot write " << e.what() << "\n";
    return false;
  }
}

ForeignRead ReadAnySolid(const std::string& path, std::ostream& err, bool& readable) {
  readable = false;
  if (std::string kind = NonFileKind(path); !kind.empty()) {
    err << "kelmor: input '" << path << "' is " << kind << ", not an input file\n";
    return {};
  }
  std::string text;
  try {
    text = ReadWholeFile(path);
  } catch (const KelmorError&) {
    err << "kelmor: cannot read '" << path << "'\n";
    return {};
  }
  readable = true;
  const InputKind kind = InputKindOf(path, text);
  if (kind == InputKind::Kelmor) return SolidFromKelmorText(text, path);
  return ReadSolidText(kind, text);
}

}  // namespace

int CmdConway(const std::string& expression, const std::string& outFile, std::ostream& out, std::ostream& err) {
  if (!CheckConwayExpression(expression, err)) return ExitRefused;
  std::string error;
  bool tooLarge = false;
  const std::string text = ConwayKelmorText(expression, error, tooLarge);
  if (outFile.empty()) {
    out << text;
    return 0;
  }
  return WriteWhole(outFile, text, err) ? 0 : ExitAbandoned;
}

int CmdConvert(const std::string& in, const std::string& outFile, std::ostream& out, std::ostream& err) {
  const std::string ext = LowerExtension(outFile);
  if (ext != ".txt" && ext != ".off" && ext != ".obj") {
    err << "kelmor: convert writes Kelmor text (.txt), OFF (.off) or OBJ (.obj); '" << outFile
        << "' is none of them\n";
    return ExitRefused;
  }
  bool readable = false;
  ForeignRead r = ReadAnySolid(in, err, readable);
  if (!readable) return ExitRefused;
  const std::string name = fs::path(in).filename().string();
  for (const std::string& note : r.notes) err << "kelmor: " << name << ": " << note << "\n";
  if (!r.ok()) {
    err << "kelmor: " << name << ": " << r.error << "\n";
    return ExitRefused;
  }
  if (std::string why = LimitProblem(r.solid); !why.empty() && ext == ".txt") {
    err << "kelmor: " << name << ": " << why << "\n" << LimitMessage << "\n";
    return ExitRefused;
  }
  if (r.solid.coords.empty() && ext != ".txt")
    err << "kelmor: " << name << " has no coordinates: every vertex is written at 0 0 0 (relax it with "
        << "'kelmor run' for positions)\n";
  const std::vector<std::string> comments = {"converted by kelmor from " + name};
  const std::string text = ext == ".off"   ? OffText(r.solid, comments)
                           : ext == ".obj" ? ObjText(r.solid, comments)
                                           : KelmorText(r.solid, comments, true);
  if (!WriteWhole(outFile, text, err)) return ExitAbandoned;
  out << outFile << ": V " << r.solid.vertexCount << "  E " << r.solid.edgeCount() << "  F " << r.solid.faceCount()
      << "\n";
  return 0;
}

}  // namespace kelmor
