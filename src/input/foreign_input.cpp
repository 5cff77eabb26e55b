#include "input/foreign_input.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "conway/notation.h"
#include "input/parser.h"
#include "input/solid_text.h"
#include "model/error.h"
#include "run/run.h"

namespace kelmor {

namespace {

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

bool StartsWithOffHeader(std::string_view text) {
  std::string error;
  // Only the first line with words matters; a text too long to split cheaply is cut.
  const std::vector<WordLine> lines = SplitWordLines(text.substr(0, std::min<size_t>(text.size(), 4096)), error);
  if (lines.empty()) return false;
  const std::string_view head = lines[0].words[0];
  return head == "OFF" || head == "COFF" || head == "NOFF" || head == "CNOFF" || head == "NCOFF" || head == "4OFF";
}

const char* KindName(InputKind kind) { return kind == InputKind::Obj ? "OBJ" : "OFF"; }

}  // namespace

InputKind InputKindOf(const std::string& path, std::string_view text) {
  const std::string ext = LowerExtension(path);
  if (ext == ".off") return InputKind::Off;
  if (ext == ".obj") return InputKind::Obj;
  if (text.find('{') == std::string_view::npos && StartsWithOffHeader(text)) return InputKind::Off;
  return InputKind::Kelmor;
}

ForeignRead ReadSolidText(InputKind kind, std::string_view text) {
  ForeignRead r = kind == InputKind::Obj ? ReadObjText(text) : ReadOffText(text);
  if (r.ok()) r.error = SurfaceProblem(r, &r.notes);
  return r;
}

ForeignText ForeignKelmorText(InputKind kind, std::string_view text, const std::string& name, bool withCoordinates) {
  ForeignText t;
  ForeignRead r = ReadSolidText(kind, text);
  const std::string prefix = std::string(KindName(kind)) + " file " + name + ": ";
  for (const std::string& note : r.notes) t.notes.push_back(prefix + note);
  if (!r.ok()) {
    t.error = prefix + r.error;
    return t;
  }
  t.tooLarge = LimitProblem(r.solid);
  if (t.tooLarge.empty()) t.text = KelmorText(r.solid, {name}, withCoordinates && !r.solid.coords.empty());
  return t;
}

void ReadForeignInput(Run& run, InputKind kind, std::string_view text) {
  const std::string name = std::filesystem::path(run.InputName).filename().string();
  const ForeignText t = ForeignKelmorText(kind, text, name, false);
  for (const std::string& note : t.notes) run.host.message(note);
  if (!t.error.empty()) {
    run.host.message(t.error);
    run.InputStopped = 1;
    return;
  }
  if (!t.tooLarge.empty()) raiseError(ErrSubscript, name + ": " + t.tooLarge);
  ReadInputText(run, t.text);
}

std::string ConwayKelmorText(const std::string& expression, std::string& error, bool& tooLarge) {
  conway::NotationError e;
  std::optional<SolidFaces> s = conway::BuildNotation(expression, e);
  tooLarge = e.tooLarge;
  if (s && !(error = LimitProblem(*s)).empty()) {
    tooLarge = true;
    return {};
  }
  if (!s) {
    error = e.message;
    return {};
  }
  return KelmorText(*s, {"Conway notation " + expression}, false);
}

void ReadConwayInput(Run& run, const std::string& expression) {
  run.InputName = "conway:" + expression;
  run.CurrentFileName = run.InputName;
  std::string error;
  bool tooLarge = false;
  const std::string text = ConwayKelmorText(expression, error, tooLarge);
  if (tooLarge) raiseError(ErrSubscript, expression + ": " + error);
  if (text.empty()) {
    run.host.message("Conway notation " + expression + ": " + error);
    run.InputStopped = 1;
    return;
  }
  ReadInputText(run, text);
}

}  // namespace kelmor
