#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "policy/spectral_search.h"
#include "policy/stall_watch.h"

namespace kelmor {

// What an unattended run is asked to do: the options of `kelmor run` (and of `shape` and
// `batch`, which take the same), read by the command line and handed on as values.
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

}  // namespace kelmor
