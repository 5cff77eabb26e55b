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
#include "cli/batch_options.h"
#include "unattended/companion.h"
#include "unattended/console_host.h"
#include "cli/option_checks.h"
#include "cli/version.h"
#include "cli/man_page.h"
#include "cli/run_command.h"
#include "cli/solid_commands.h"
#include "conway/notation.h"
#include "input/char_stream.h"
#include "input/foreign_input.h"
#include "input/parser.h"
#include "input/shape.h"
#include "render/render_options.h"
#include "model/error.h"
#include "run/run.h"
#include "run/run_values.h"
#include "run/session.h"
#include "settings/path_kind.h"
#include "settings/settings_file.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {



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
  return RunShape(session, a, kind, nd, host, err);
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
