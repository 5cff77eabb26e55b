#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/console_host.h"
#include "policy/stall_watch.h"
#include "run/session.h"
#include "policy/spectral_search.h"

namespace CLI {
class App;
}

namespace kelmor {

// The options of `kelmor run` (and of `shape` and `batch`, which take the same).
struct RunArgs {
  std::string input;
  std::string out;
  std::vector<std::string> sets;
  std::vector<std::string> prefs;
  std::string settings;
  std::optional<uint64_t> seed;
  std::string answer = "ask";
  bool quiet = false;
  int solutions = 1;
  long maxIterations = 0;
  int maxAttempts = 0;
  double timeLimit = 0;
  bool writeOnTimeout = false;
  long stall = StallRule{}.window;
  bool png = false;  // draw each written OFF file as a PNG picture (kelmor-render)
  // Not an option: set by a batch for an input folder it has just made, which is then not
  // tried with a temporary file before the run (a batch makes hundreds of them).
  bool outJustMade = false;
  std::string exportList;       // --export: formats of every written solution
  std::optional<double> scale;  // --scale: exported edge length in millimetres
  std::vector<std::string> layOn;  // --lay-on: how printed models lie ("face", "3" as two words)
  std::optional<double> strut;     // --strut: printed strut diameter in millimetres
  std::optional<double> ball;      // --ball: printed ball diameter in millimetres
  bool search = true;                   // --search on|off
  int searchAfter = SearchRule{}.after;  // attempts without a solution before the search starts
  // --conway: expressions run instead of (run) or beside (batch) the input files.
  std::vector<std::string> conway;
  bool fileCoordinates = false;  // --coordinates: OFF and OBJ inputs start from their own
  std::string accept = "any";           // --accept: which exact solutions repeat mode keeps
  bool planar = false;                  // --planar: flatten the faces before a one-attempt write
  // Friendly options: each sets one or more controls before the --set values.
  std::vector<std::pair<std::string, std::string>> friendly;
};

// Adds the run options (and the INPUT argument when withInput) to a sub-command.
void AddRunOptions(CLI::App* app, RunArgs& a, bool withInput);
ConsoleSettings ConsoleFrom(const RunArgs& a);
// Checks --export, --scale, --lay-on, --strut and --ball; false (reason printed) when refused.
bool CheckExports(const RunArgs& a, std::ostream& err);
// Loads the settings and applies the --pref overrides; false (reason printed) when one
// is refused.
bool PrepareSession(Session& session, const RunArgs& a, Host& host, std::ostream& err);
// Applies the friendly options and --set to the options; false (reason printed) when one
// is refused.
bool ApplyControls(RunOptions& options, const RunArgs& a, std::ostream& err);
// Runs a.input into a.out as `kelmor run` does, with a prepared session; returns the
// exit status of `kelmor run`.
int RunInputFile(Session& session, const RunArgs& a, ConsoleHost& host, std::ostream& err);

}  // namespace kelmor
