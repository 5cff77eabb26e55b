#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "batch/batch.h"
#include "cli/bash_completion.h"
#include "cli/companion.h"
#include "cli/console_host.h"
#include "cli/option_checks.h"
#include "cli/version.h"
#include "cli/man_page.h"
#include "cli/run_command.h"
#include "cli/solid_commands.h"
#include "conway/notation.h"
#include "policy/self_edge_check.h"
#include "policy/stall_watch.h"
#include "policy/unattended_choice.h"
#include "input/char_stream.h"
#include "input/foreign_input.h"
#include "input/parser.h"
#include "input/shape.h"
#include "render/render_options.h"
#include "render/solid_look.h"
#include "model/error.h"
#include "run/run.h"
#include "run/run_sequence.h"
#include "run/run_start_check.h"
#include "run/run_values.h"
#include "run/session.h"
#include "run/validation.h"
#include "settings/path_kind.h"
#include "settings/settings_file.h"

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

// A seed is a whole number from 0 to 18446744073709551615; anything else (a sign, a
// fraction, a number too large) is refused rather than wrapped round.
uint64_t ReadSeed(const std::string& text) {
  uint64_t seed = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, seed);
  if (text.empty() || ec != std::errc() || ptr != end)
    throw CLI::ValidationError("--seed", "the seed is a whole number from 0 to 18446744073709551615, not '" +
                                             text + "'");
  return seed;
}

void AddFriendly(CLI::App* app, RunArgs& a) {
  auto flag = [&](const char* name, const char* control, const char* help) {
    app->add_flag_callback(name, [&a, control] { a.friendly.push_back({control, "1"}); }, help);
  };
  // typeName is what --help, the manual page and the completion call the value; "a|b"
  // lists the only words it may be.
  // control names the text control the value goes to, whose range it is checked against.
  auto value = [&](const char* name, std::function<void(const std::string&)> apply, const char* help,
                   const char* typeName, const char* control = nullptr) {
    CLI::Option* option = app->add_option_function<std::string>(name, apply, help)->type_name(typeName);
    if (control) option->check(ControlTextCheck(control));
  };
  flag("--once", "Once", "one attempt only (Once=1)");
  flag("--debug", "Debug", "write the debug file (Debug=1)");
  flag("--labels", "Labelling", "vertex labels in the VRML files (Labelling=1)");
  flag("--face-labels", "SideLab", "face labels in the VRML files (SideLab=1)");
  flag("--isomorph", "Isomorph", "tell isomorphs apart by vertex numbering (Isomorph=1)");
  flag("--coincident", "Coincidence", "allow coincident vertices (Coincidence=1)");
  flag("--xy", "XYConfine", "keep a flat model in the xy plane (XYConfine=1)");
  flag("--incord", "incord", "write the input coordinates without relaxing (incord=1)");
  flag("--stress", "StressMap", "also write the stress files (StressMap=1)");
  flag("--userdata", "Userdata", "copy the options into the output files (Userdata=1)");
  flag("--all-vertices", "HighVert", "spheres on every vertex (HighVert=1)");
  flag("--all-cylinders", "AllCyl", "cylinders on every edge (AllCyl=1)");
  flag("--regular-hexagons", "RegHex", "keep hexagons regular during local inflation (RegHex=1)");
  value("--weaken", [&a](const std::string& v) {
    a.friendly.push_back({"Weaken", "1"});
    a.friendly.push_back({"WeakenLimit", v});
  }, "weaken faces of at most N sides (Weaken=1, WeakenLimit=N)", "N", "WeakenLimit");
  value("--inflate", [&a](const std::string& v) {
    static const std::map<std::string, std::string> modes = {
        {"global", "0"}, {"none", "1"}, {"local-one", "2"}, {"local-diagonal", "3"}};
    auto it = modes.find(v);
    if (it == modes.end())
      throw CLI::ValidationError("--inflate", "must be global, none, local-one or local-diagonal");
    a.friendly.push_back({"InflateOption", it->second});
  }, "inflation: global, none, local-one or local-diagonal (InflateOption)",
     "global|none|local-one|local-diagonal");
  value("--global-limit", [&a](const std::string& v) { a.friendly.push_back({"GlobLim", v}); },
        "hop limit of global inflation (GlobLim)", "N", "GlobLim");
  value("--augment", [&a](const std::string& v) {
    a.friendly.push_back({"Augment", "1"});
    a.friendly.push_back({"AugmentVal", v});
  }, "put pyramids on faces of type N/D (Augment=1, AugmentVal=N/D)", "N/D", "AugmentVal");
  value("--augment-sides", [&a](const std::string& v) {
    static const std::map<std::string, std::string> m = {{"keep", "1"}, {"remove", "2"}, {"bands", "3"}};
    auto it = m.find(v);
    if (it == m.end()) throw CLI::ValidationError("--augment-sides", "must be keep, remove or bands");
    a.friendly.push_back({"AugmentOption", it->second});
  }, "augmented faces: keep, remove or bands (AugmentOption 1, 2, 3)", "keep|remove|bands");
  value("--augment-colour", [&a](const std::string& v) {
    static const std::map<std::string, std::string> m = {
        {"original", "0"}, {"highlight", "1"}, {"triangle", "2"}};
    auto it = m.find(v);
    if (it == m.end())
      throw CLI::ValidationError("--augment-colour", "must be original, highlight or triangle");
    a.friendly.push_back({"AugmentColour", it->second});
  }, "colour of the new triangles: original, highlight or triangle (AugmentColour 0, 1, 2)",
     "original|highlight|triangle");
  value("--highlight", [&a](const std::string& v) {
    a.friendly.push_back({"Highlight", "1"});
    a.friendly.push_back({"HighlightVal", v});
  }, "highlight faces of type N/D; 0 highlights all (Highlight=1, HighlightVal=N/D)", "N/D", "HighlightVal");
  value("--smooth", [&a](const std::string& v) {
    a.friendly.push_back({"Smooth", "1"});
    a.friendly.push_back({"SmoothAngle", v});
  }, "smooth edges whose dihedral angle is below DEGREES (Smooth=1, SmoothAngle)", "DEGREES", "SmoothAngle");
}

}  // namespace

void AddRunOptions(CLI::App* app, RunArgs& a, bool withInput) {
  if (withInput) app->add_option("INPUT", a.input, "input file: Kelmor text, OFF or OBJ, or conway:EXPR");
  app->add_flag("--coordinates", a.fileCoordinates,
                "OFF and OBJ input: start from the file's coordinates (default: a random start)");
  app->add_option("--out", a.out, "output folder (default: the input's folder)");
  app->add_option("--set", a.sets,
                  "set a RunTime or SegmentOptions control by its name, e.g. --set Weaken=1")
      ->type_name("NAME=VALUE");
  app->add_option("--pref", a.prefs, "override a preference for this run only, e.g. --pref edge=1")
      ->type_name("KEY=VALUE");
  app->add_option("--settings", a.settings, "settings file to use (default: kelmor.ini)")->check(SettingsFileName());
  app->add_option_function<std::string>("--seed", [&a](const std::string& v) { a.seed = ReadSeed(v); },
                                        "seed of the random generator: same seed, same files")
      ->type_name("N");
  app->add_option("--answer", a.answer, "answer to yes/no questions: yes, no or ask")
      ->check(CLI::IsMember({"yes", "no", "ask"}));
  app->add_flag("--quiet,-q", a.quiet, "no progress line");
  app->add_option("--solutions", a.solutions, "quit after N written solutions (0: never; default 1)")
      ->check(WholeNumberFrom(0, kMostCount));
  app->add_option("--max-iterations", a.maxIterations,
                  "press Re-do after N iterations of an attempt; with --once, end the run there")
      ->check(WholeNumberFrom(1, kMostCount));
  app->add_option("--max-attempts", a.maxAttempts, "quit after N attempts")->check(WholeNumberFrom(1, kMostCount));
  app->add_option("--time-limit", a.timeLimit, "after SECONDS press Quit (or Write, see below)")
      ->check(PositiveSeconds());
  app->add_flag("--write-on-timeout", a.writeOnTimeout,
                "write the current state at the time limit (and at --max-iterations with --once)");
  app->add_flag("--png", a.png, "also draw each written OFF file as a PNG picture beside it (kelmor render)");
  app->add_option("--stall", a.stall,
                  "press Re-do when E + P has not fallen by 1% for N iterations (0: never)")
      ->check(StallWindow())
      ->capture_default_str();
  app->add_option("--export", a.exportList,
                  "also write each solution as glb, gltf, stl, 3mf and/or obj, e.g. --export glb,stl "
                  "(the solid as NAME.EXT, the cylinder model as NAME_struts.EXT)")
      ->type_name("LIST");
  app->add_option("--scale", a.scale,
                  "edge length in millimetres of the exported models (default: 20 for stl and 3mf)")
      ->type_name("MM");
  app->add_option("--lay-on", a.layOn,
                  "how stl and 3mf models lie on the bed: largest (default: the largest face down), "
                  "face N (face N of the input down) or as-solved")
      ->expected(1, 2)
      ->type_name("HOW");
  app->add_option("--strut", a.strut,
                  "strut diameter in millimetres of printed strut models (default: as the preferences make "
                  "them, at least 1.2)")
      ->type_name("MM");
  app->add_option("--ball", a.ball,
                  "ball diameter in millimetres of printed strut models (default: as the preferences make "
                  "them, at least 1.5 times the struts)")
      ->type_name("MM");
  app->add_option_function<std::string>(
         "--search",
         [&a](const std::string& v) {
           if (v != "on" && v != "off") throw CLI::ValidationError("--search", "must be on or off");
           a.search = v == "on";
         },
         "after --search-after attempts without a solution, start attempts from symmetric placements "
         "built from the topology: on (default) or off")
      ->type_name("on|off");
  app->add_option("--search-after", a.searchAfter,
                  "attempts ended without a solution before the search takes over the starts")
      ->check(WholeNumberFrom(0, kMostCount))
      ->capture_default_str();
  app->add_option("--accept", a.accept,
                  "which exact solutions an unattended run keeps: any (default), convex, or symmetric "
                  "GROUP (at least that symmetry, e.g. --accept symmetric Ih); one refused counts as an "
                  "isomorph already seen")
      ->type_name("RULE");
  app->add_flag("--planar", a.planar,
                "after a once or weaken relaxation, move the vertices so that every face is flat while "
                "the edges keep their lengths as well as they can");
  AddFriendly(app, a);
}

namespace {

// "--accept symmetric Ih" in two words reads as one value, so that the group is not taken
// for the input file.
std::vector<std::string> JoinAcceptWords(std::vector<std::string> args) {
  for (size_t i = 0; i + 2 < args.size(); ++i)
    if (args[i] == "--accept" && args[i + 1] == "symmetric" && args[i + 2].rfind('-', 0) != 0) {
      args[i + 1] += " " + args[i + 2];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
  return args;
}

}  // namespace

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

namespace {

int CmdRun(RunArgs a, std::ostream& out, std::ostream& err) {
  if (a.conway.size() + !a.input.empty() != 1) {
    err << "kelmor: run takes one input: a file, conway:EXPR or --conway EXPR\n";
    return ExitRefused;
  }
  if (!a.conway.empty()) a.input = ConwayInputPrefix + a.conway.front();
  if (!CheckExports(a, err)) return ExitRefused;
  ConsoleHost host(ConsoleFrom(a), out, err);
  Session session;
  if (!PrepareSession(session, a, host, err)) return ExitRefused;
  return RunInputFile(session, a, host, err);
}

int CmdShape(const RunArgs& a, const std::string& kind, const std::string& nd, std::ostream& out,
             std::ostream& err) {
  if (!CheckExports(a, err)) return ExitRefused;
  ConsoleHost host(ConsoleFrom(a), out, err);
  Session session;
  if (!PrepareSession(session, a, host, err)) return ExitRefused;
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

int CmdScan(const std::string& input, std::ostream& out, std::ostream& err) {
  if (!InputReadable(input, err)) return ExitRefused;
  try {
    ScanResult r = ScanInput(input);
    out << "letters: " << r.letters << "\n" << "blocks: " << r.count << "\n";
    return 0;
  } catch (const KelmorError& e) {
    err << "kelmor: cannot read '" << input << "' (error " << e.code() << ")\n";
    return ExitRefused;
  }
}

int CmdPrefs(const RunArgs& a, bool save, std::ostream& out, std::ostream& err) {
  ConsoleSettings cs;
  cs.quiet = true;
  ConsoleHost host(cs, out, err);
  Session session;
  if (!PrepareSession(session, a, host, err)) return ExitRefused;
  if (save) {
    SaveResult r = SaveSettings(session.prefs, session.settingsPath, false,
                                [&host](const std::string& m) { host.message(m); });
    if (r != SaveResult::Saved) return ExitRefused;
  }
  for (const PrefKey& k : PreferenceKeys()) out << k.key << "=" << session.prefs.text(k.key) << "\n";
  out << "# " << session.settingsPath << "\n";
  return 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && args[0] == "render") {
    std::string why;
    std::optional<int> status = RunCompanion(kRenderCompanion, args, why);
    if (!status) err << "kelmor: pictures need " << why << "\n";
    return status ? *status : ExitRefused;
  }
  CLI::App app{"Kelmor: finds vertex positions of polyhedra by force relaxation.\n"
               "With no arguments the windows open.",
               "kelmor"};
  app.require_subcommand(1);
  app.set_version_flag("--version", VersionLine(), "print the version, the compiler and whether the AVX2 path is built in");
  RunArgs runArgs;
  auto* run = app.add_subcommand("run", "relax an input file and write its VRML and OFF files");
  AddRunOptions(run, runArgs, true);

  run->add_option("--conway", runArgs.conway, "relax the solid of a Conway expression, e.g. --conway tI")
      ->type_name("EXPR");

  std::string conwayExpr, conwayOut;
  auto* conwayCmd = app.add_subcommand("conway", "write the Kelmor input text of a Conway expression, e.g. tI or t5kD");
  conwayCmd->add_option("EXPR", conwayExpr, std::string("operators ") + conway::OperatorLetters + " (kN, tN), right to left, "
                     "on a seed " + conway::SeedNames)->required();
  conwayCmd->add_option("--out", conwayOut, "write the text into FILE instead of standard output")->type_name("FILE");

  std::string convertIn, convertOut;
  auto* convert = app.add_subcommand("convert", "convert a solid between Kelmor text (.txt), OFF (.off) and OBJ (.obj)");
  convert->add_option("IN", convertIn, "input: Kelmor text, OFF or OBJ")->required();
  convert->add_option("OUT", convertOut, "output, its kind by its extension")->required();

  RunArgs shapeArgs;
  std::string kind, nd;
  auto* shape = app.add_subcommand("shape", "make a polygon, pyramid, prism or antiprism over {n/d}");
  shape->add_option("KIND", kind, "polygon, pyramid, prism or antiprism")
      ->required()
      ->type_name("polygon|pyramid|prism|antiprism");
  shape->add_option("N", nd, "polygon size n or n/d")->required();
  AddRunOptions(shape, shapeArgs, false);

  BatchArgs batchArgs;
  auto* batch = app.add_subcommand(
      "batch", "run many inputs at once into one folder, with a results table (or --merge tables)");
  AddBatchOptions(batch, batchArgs);

  render::RenderArgs renderArgs;
  render::AddRenderOptions(
      app.add_subcommand("render", "draw OFF files as PNG pictures, no display needed ('kelmor render --help')"),
      renderArgs);

  std::string scanInput;
  auto* scan = app.add_subcommand("scan", "print the pre-scan letters and the block count of an input");
  scan->add_option("INPUT", scanInput, "input file")->required();

  RunArgs prefArgs;
  bool save = false;
  auto* prefs = app.add_subcommand("prefs", "print the preference set and the settings file's path");
  prefs->add_option("--pref", prefArgs.prefs, "change a preference (saved only with --save)")
      ->type_name("KEY=VALUE");
  prefs->add_option("--settings", prefArgs.settings, "settings file to use")->check(SettingsFileName());
  prefs->add_flag("--save", save, "save the preferences, with the --pref changes, to the settings file");

  // Hidden: the build writes the manual page and the shell completion with these.
  if (args.size() == 1 && (args[0] == "--help-man" || args[0] == "--help-completion")) {
    std::vector<CommandEntry> commands = ListCommandLine(app);
    out << (args[0] == "--help-man" ? ManPage(commands) : BashCompletion(commands));
    return 0;
  }
  const std::vector<std::string> joined = JoinAcceptWords(args);
  std::vector<std::string> argv(joined.rbegin(), joined.rend());
  try {
    app.parse(argv);
  } catch (const CLI::CallForVersion&) {
    out << VersionLine() << "\n";
    return 0;
  } catch (const CLI::CallForHelp&) {
    // Once, for the sub-command asked about.
    out << (run->parsed() ? run->help() : shape->parsed() ? shape->help() : scan->parsed() ? scan->help()
            : prefs->parsed() ? prefs->help() : conwayCmd->parsed() ? conwayCmd->help()
            : convert->parsed() ? convert->help() : app.help());
    return 0;
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {
      out << (run->parsed() ? run->help() : shape->parsed() ? shape->help() : app.help());
      return 0;
    }
    err << "kelmor: " << e.what() << "\n";
    err << "Run 'kelmor --help' or 'kelmor SUBCOMMAND --help' for the options.\n";
    return ExitRefused;
  }
  if (run->parsed()) return CmdRun(runArgs, out, err);
  if (shape->parsed()) return CmdShape(shapeArgs, kind, nd, out, err);
  if (scan->parsed()) return CmdScan(scanInput, out, err);
  if (batch->parsed()) return RunBatch(batchArgs, out, err);
  if (conwayCmd->parsed()) return CmdConway(conwayExpr, conwayOut, out, err);
  if (convert->parsed()) return CmdConvert(convertIn, convertOut, out, err);
  if (prefs->parsed()) return CmdPrefs(prefArgs, save, out, err);
  return ExitRefused;
}

int RunCli(int argc, char** argv) {
  // A file-size limit makes a write fail like a full disk, reported, instead of killing us.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "render") {
    // The renderer holds OpenGL; the command line never loads it.
    if (FindCompanion(kRenderCompanion, ProgramFolder()).empty()) {
      std::string why;
      RunCompanion(kRenderCompanion, args, why);
      std::cerr << "kelmor: pictures need " << why << "\n";
      return ExitRefused;
    }
    return ExecCompanion(kRenderCompanion, argc, argv, std::cerr);
  }
  return RunCli(args, std::cout, std::cerr);
}

}  // namespace kelmor
