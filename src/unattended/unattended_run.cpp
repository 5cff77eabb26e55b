#include "unattended/unattended_run.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>

#include "conway/notation.h"
#include "input/char_stream.h"
#include "input/foreign_input.h"
#include "input/parser.h"
#include "input/shape.h"
#include "input/solid_text.h"
#include "model/error.h"
#include "policy/self_edge_check.h"
#include "policy/stall_watch.h"
#include "policy/unattended_choice.h"
#include "render/solid_look.h"
#include "run/run.h"
#include "run/run_sequence.h"
#include "run/run_start_check.h"
#include "run/run_values.h"
#include "run/validation.h"
#include "run/value_checks.h"
#include "settings/path_kind.h"
#include "settings/settings_file.h"
#include "unattended/companion.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

bool SplitKeyValue(const std::string& item, std::string& key, std::string& value) {
  size_t eq = item.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  key = item.substr(0, eq);
  value = item.substr(eq + 1);
  return true;
}

}  // namespace

bool CheckConwayExpression(const std::string& expression, std::ostream& err) {
  std::string error;
  bool tooLarge = false;
  if (!ConwayKelmorText(expression, error, tooLarge).empty()) return true;
  err << "kelmor: Conway notation '" << expression << "': " << error << "\n";
  if (tooLarge) {
    err << LimitMessage << "\n";
    return false;
  }
  conway::NotationError e;
  conway::ParseNotation(expression, e);
  if (e.position > 0)
    err << "  " << expression << "\n  " << std::string(static_cast<size_t>(e.position - 1), ' ') << "^\n";
  return false;
}

// An input must be a file: a folder, a FIFO (reading it would wait for ever) or a device is
// named for what it is.
bool InputReadable(const std::string& input, std::ostream& err) {
  if (std::string kind = NonFileKind(input); !kind.empty()) {
    err << "kelmor: input '" << input << "' is " << kind << ", not an input file\n";
    return false;
  }
  std::error_code ec;
  if (!fs::exists(input, ec)) {
    err << "kelmor: input file '" << input << "' not found\n";
    return false;
  }
  return true;
}

// Loads the settings and applies the --pref overrides; false when one is refused.
bool PrepareSession(Session& session, const RunArgs& a, Host& host, std::ostream& err) {
  session.programFolder = ProgramFolder();
  session.settingsPath = SettingsPath(a.settings, session.programFolder);
  if (std::string kind = NonFileKind(session.settingsPath); !kind.empty()) {
    err << "kelmor: settings file '" << session.settingsPath << "' is " << kind
        << ": Kelmor cannot use it, settings live in a regular file\n";
    return false;
  }
  session.prefs = Preferences(session.programFolder);
  LoadSettings(session.prefs, session.settingsPath, session.programFolder,
               [&host](const std::string& m) { host.message(m); });
  for (const std::string& item : a.prefs) {
    std::string key, value;
    if (!SplitKeyValue(item, key, value) || !session.prefs.has(key)) {
      err << "kelmor: --pref takes KEY=VALUE with one of the preference keys; '" << item
          << "' is not one (see 'kelmor prefs')\n";
      return false;
    }
    if (auto problem = PreferenceValueProblem(key, value)) {
      err << "kelmor: --pref " << item << ": " << *problem << "\n";
      return false;
    }
    session.prefs.set(key, value);
  }
  session.seed = a.seed;
  return true;
}

namespace {

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

// A length in millimetres must be a number above 0 and below a kilometre.
bool Millimetres(const std::optional<double>& mm) { return !mm || (*mm > 0 && *mm < 1e6); }

}  // namespace

bool CheckExports(const RunArgs& a, std::ostream& err) {
  AcceptRule rule;
  if (auto e = ParseAcceptRule(a.accept, rule)) {
    err << "kelmor: " << *e << "\n";
    return false;
  }
  if (!Millimetres(a.scale)) {
    err << "kelmor: --scale takes the edge length in millimetres, a number above 0\n";
    return false;
  }
  for (const auto& [name, value] : {std::pair{"--strut", a.strut}, std::pair{"--ball", a.ball}})
    if (!Millimetres(value)) {
      err << "kelmor: " << name << " takes a diameter in millimetres, a number above 0\n";
      return false;
    }
  LayOn layOn;
  if (!a.layOn.empty())
    if (auto e = ParseLayOn(Joined(a.layOn), layOn)) {
      err << "kelmor: " << *e << "\n";
      return false;
    }
  if (a.exportList.empty()) {
    if (a.scale) err << "kelmor: --scale applies to --export; without it nothing is scaled\n";
    if (a.strut || a.ball || !a.layOn.empty())
      err << "kelmor: --lay-on, --strut and --ball apply to --export stl or 3mf; without it they do nothing\n";
    return true;
  }
  std::vector<ExportFormat> formats;
  if (auto e = ParseExportList(a.exportList, formats)) {
    err << "kelmor: " << *e << "\n";
    return false;
  }
  if ((a.strut || a.ball || !a.layOn.empty()) && std::none_of(formats.begin(), formats.end(), ForPrinting))
    err << "kelmor: --lay-on, --strut and --ball apply to stl and 3mf; the other formats keep the solved "
           "orientation and the preferences' struts\n";
  return true;
}

ConsoleSettings ConsoleFrom(const RunArgs& a) {
  ConsoleSettings c;
  c.answer = a.answer == "yes"  ? ConsoleSettings::Answer::Yes
             : a.answer == "no" ? ConsoleSettings::Answer::No
                                : ConsoleSettings::Answer::Ask;
  c.quiet = a.quiet;
  c.solutions = a.solutions;
  c.maxIterations = a.maxIterations;
  c.maxAttempts = a.maxAttempts;
  c.timeLimit = a.timeLimit;
  c.writeOnTimeout = a.writeOnTimeout;
  ParseAcceptRule(a.accept, c.accept);  // checked by CheckExports before any run starts
  c.planar = a.planar;
  // Checked by CheckExports before any run starts.
  if (!a.exportList.empty() && !ParseExportList(a.exportList, c.exports.formats)) {
    c.exports.scale = a.scale;
    c.exports.strut = a.strut;
    c.exports.ball = a.ball;
    if (!a.layOn.empty()) ParseLayOn(Joined(a.layOn), c.exports.layOn);
  }
  return c;
}

// Applies the friendly options and then --set; false (with the reason printed) when one
// is refused.
bool ApplyControls(RunOptions& options, const RunArgs& a, std::ostream& err) {
  for (const auto& [name, value] : a.friendly) {
    if (auto e = SetControl(options, name, value)) {
      err << "kelmor: " << *e << "\n";
      return false;
    }
  }
  for (const std::string& item : a.sets) {
    std::string name, value;
    if (!SplitKeyValue(item, name, value)) {
      err << "kelmor: --set takes NAME=VALUE, not '" << item << "'\n";
      return false;
    }
    if (auto problem = ControlTextProblem(name, value)) {
      err << "kelmor: --set " << item << ": " << *problem << "\n";
      return false;
    }
    if (auto e = SetControl(options, name, value)) {
      err << "kelmor: " << *e << "\n";
      return false;
    }
  }
  return true;
}

namespace {

int StatusOf(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Written: return ExitWritten;
    case RunOutcome::Ended: return ExitNotWritten;
    case RunOutcome::Abandoned:
    case RunOutcome::WriteFailed: return ExitAbandoned;
  }
  return ExitNotWritten;
}

// The pictures of --png: every OFF file the run wrote, drawn by the companion renderer
// with the look of the solid file written with it (frame and translucent faces).
int DrawPictures(const ConsoleHost& host, bool solidWritten, int status, std::ostream& err) {
  std::vector<std::string> args = {"render"}, looks;
  const std::vector<std::string>& files = host.writtenFiles();
  for (size_t i = 0; i < files.size(); ++i) {
    if (fs::path(files[i]).extension() != ".off") continue;
    args.push_back(files[i]);
    looks.push_back(render::SolidFileWrittenWith(files, i, solidWritten));
  }
  if (std::all_of(looks.begin(), looks.end(), [](const std::string& f) { return !f.empty(); }))
    for (const std::string& look : looks) args.insert(args.end(), {"--solid-file", look});
  if (args.size() == 1) {
    if (host.solutionsWritten() > 0)
      err << "kelmor: --png: no OFF file was written (preference voff), so there is no picture\n";
    return status;
  }
  std::string why;
  std::optional<int> drawn = RunCompanion(kRenderCompanion, args, why);
  if (!drawn) err << "kelmor: --png: " << why << "\n";
  // A picture asked for and not written is a write that failed, as for the run's own files.
  if ((!drawn || *drawn != 0) && status == ExitWritten) return ExitAbandoned;
  return status;
}

// --coordinates: an OFF or OBJ input as Kelmor text with the file's coordinates as starting
// positions, its notes shown. Empty for any other input, or one that cannot be read: the
// run reads that itself and says why.
std::string CoordinatesText(const Session& session, Host& host) {
  if (session.special.any() || session.input.InFile.empty()) return {};
  const fs::path path = fs::path(session.input.InDir) / session.input.InFile;
  std::string text;
  try {
    text = ReadWholeFile(path.string());
  } catch (const KelmorError&) {
    return {};
  }
  const InputKind kind = InputKindOf(path.string(), text);
  if (kind == InputKind::Kelmor) return {};
  ForeignText t = ForeignKelmorText(kind, text, session.input.InFile, true);
  if (t.text.empty()) return {};
  for (const std::string& note : t.notes) host.message(note);
  return t.text;
}

// Validates the options as the RunTime window's OK does, looks at the output folder (made
// when --out names one whose parent exists) and the output names, then runs. A run whose files
// were written but whose exports failed has not done what it was asked. Repeat mode, the one
// that writes exact solutions only, gets the stall watch; one attempt (Once, weaken
// near misses, segments) is what the other modes ask for. After --search-after attempts
// have ended without a solution (stalled, overflowed or cut off by a limit), the search
// chooses the starts.
int ValidateAndRun(Session& session, ConsoleHost& host, const RunArgs& a, std::ostream& err,
                   std::string inputText = {}) {
  const bool repeatMode = !Ticked(session.options.Once) && session.options.Segments == "None";
  // Only a time or attempt limit ends a repeat run that cannot succeed: --max-iterations
  // presses Re-do, and the stall watch starts the next attempt, for ever.
  if (repeatMode && a.timeLimit <= 0 && a.maxAttempts <= 0) host.policies().add(std::make_unique<SelfEdgeCheck>());
  if (a.stall > 0 && repeatMode) {
    UnattendedChoice choice;
    choice.stallEscape = true;
    choice.stallWindow = a.stall;
    choice.search = a.search;
    choice.searchAfter = a.searchAfter;
    AddUnattendedPolicies(host.policies(), choice,
                          [&host] { return host.attemptsStarted() - 1 - host.solutionsWritten(); });
  }
  if (auto e = ValidateRunOptions(session.options)) {
    host.message(*e);
    return ExitRefused;
  }
  // Also for unsegmented input: a segment option given on the command line is checked.
  if (auto e = ValidateSegmentOptions(session.options)) {
    host.message(*e);
    return ExitRefused;
  }
  const RunOptions& o = session.options;
  const bool segmented = o.Segments != "None";
  const bool oneAttempt = Ticked(o.Once) || Ticked(o.Weaken) || segmented;
  if (a.planar && (!oneAttempt || segmented)) {
    err << "kelmor: --planar finishes a one-attempt relaxation: give it with --once or --weaken\n";
    return ExitRefused;
  }
  if (a.accept != "any" && oneAttempt) {
    err << "kelmor: --accept chooses among the exact solutions of a repeat run; --once, --weaken and "
           "segmented input write the one attempt they make\n";
    return ExitRefused;
  }
  host.setSingleAttempt(Ticked(o.Once) || segmented,
                        segmented ? std::atoi(o.Segments.c_str() + std::strlen("Segments ")) : 1);
  RunStartCheck check = CheckRunStart(session, !a.out.empty(), !a.outJustMade);
  if (check.folderCreated) err << "kelmor: made the output folder '" << session.input.OutDir << "'\n";
  if (!check.folderProblem.empty()) err << "kelmor: " << check.folderProblem << "\n";
  if (!check.nameProblem.empty()) host.message(check.nameProblem);
  if (!check.ok()) return ExitRefused;
  Run run(session, host);
  const std::string withCoordinates = a.fileCoordinates ? CoordinatesText(session, host) : std::string();
  if (!withCoordinates.empty())
    run.InputText = &withCoordinates;
  else if (!inputText.empty())
    run.InputText = &inputText;  // read by the pre-scan: not read again
  int status = StatusOf(RunSequence(run));
  // A step that failed (a zero divide from a force strength of 0, say) and was resumed
  // after, in a run that then wrote nothing, is a run abandoned by that error.
  if (status == ExitNotWritten && run.stepsFailed > 0) status = ExitAbandoned;
  if (status == ExitWritten && host.exportFailed()) status = ExitAbandoned;
  return a.png ? DrawPictures(host, session.prefs.flag("vsol"), status, host.errorStream()) : status;
}

}  // namespace

namespace {

// A Conway expression instead of a file: its files are named after it and go to --out or
// the current folder.
int RunConway(Session& session, const RunArgs& a, const std::string& expression, ConsoleHost& host,
              std::ostream& err) {
  if (!CheckConwayExpression(expression, err)) return ExitRefused;
  std::error_code ec;
  session.input.InDir = fs::current_path(ec).string();
  session.input.InFile = ConwayInputPrefix + expression;
  session.input.OutSame = a.out.empty();
  if (!a.out.empty()) session.input.OutDir = fs::absolute(a.out, ec).string();
  session.special.clear();
  RunOptions& o = session.options;
  o.Segments = "None";
  o.Highlight = o.Isomorph = o.Augment = 0;
  if (!ApplyControls(o, a, err)) return ExitRefused;
  return ValidateAndRun(session, host, a, err);
}

}  // namespace

int RunInputFile(Session& session, const RunArgs& a, ConsoleHost& host, std::ostream& err) {
  std::error_code ec;
  if (a.input.rfind(ConwayInputPrefix, 0) == 0)
    return RunConway(session, a, a.input.substr(std::strlen(ConwayInputPrefix)), host, err);
  if (!InputReadable(a.input, err)) return ExitRefused;
  fs::path input = fs::absolute(a.input, ec);
  session.input.InDir = input.parent_path().string();
  session.input.InFile = input.filename().string();
  session.input.OutSame = a.out.empty();
  if (!a.out.empty()) session.input.OutDir = fs::absolute(a.out, ec).string();
  session.special.clear();

  // The file-selection window's Run: the pre-scan prepares the RunTime window.
  ScanResult scan;
  std::string text;
  try {
    // An OFF or OBJ file has no blocks and no letters, whatever braces its comments hold;
    // the run reads it through its own reader, so only Kelmor's text is handed on.
    text = ReadWholeFile(input.string());
    if (InputKindOf(input.string(), text) == InputKind::Kelmor)
      scan = ScanInputText(text);
    else
      text.clear();
  } catch (const KelmorError& e) {
    err << "kelmor: cannot read '" << a.input << "' (error " << e.code() << ")\n";
    return ExitRefused;
  }
  RunOptions& o = session.options;
  bool segmented = scan.letters.find('S') != std::string::npos;
  if (!segmented) {
    o.Segments = "None";
    o.Highlight = 0;
    o.Isomorph = 0;
    if (scan.letters.find('A') == std::string::npos) o.Augment = 0;
  }
  if (!ApplyControls(o, a, err)) return ExitRefused;
  if (segmented && !a.exportList.empty()) {
    err << "kelmor: --export writes single solids; segmented input has none to export\n";
    return ExitRefused;
  }
  if (segmented) {
    // These boxes are greyed and disabled for segmented input: nobody can tick them.
    o.Segments = "Segments " + std::to_string(scan.count);
    o.Highlight = o.Once = o.Weaken = o.Isomorph = o.Augment = 2;
  }
  return ValidateAndRun(session, host, a, err, std::move(text));
}

// `kelmor shape KIND N/D`: the shape built as the file-selection window's special choice
// builds it, into --out or the current folder.
int RunShape(Session& session, const RunArgs& a, const std::string& kind, const std::string& nd,
             ConsoleHost& host, std::ostream& err) {
  static const std::map<std::string, int> kinds = {
      {"polygon", 0}, {"pyramid", 1}, {"prism", 2}, {"antiprism", 3}};
  session.special.clear();
  auto it = kinds.find(kind);
  if (it != kinds.end()) session.special.SpecialOption[static_cast<size_t>(it->second)] = true;
  session.special.Specialnd = nd;
  if (auto e = ValidateSpecialChoice(session.special)) {
    host.message(*e);
    return ExitRefused;
  }
  if (auto problem = ShapeSizeProblem(kind, nd)) {
    err << "kelmor: " << *problem << "\n";
    return ExitRefused;
  }
  std::error_code ec;
  std::string outDir = a.out.empty() ? fs::current_path(ec).string() : a.out;
  session.input.OutDir = fs::absolute(outDir, ec).string();
  session.input.OutSame = false;
  session.options.Segments = "None";
  if (!ApplyControls(session.options, a, err)) return ExitRefused;
  return ValidateAndRun(session, host, a, err);
}

}  // namespace kelmor
