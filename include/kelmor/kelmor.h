#pragma once

// Kelmor as a library: a solid's topology in, relaxed solutions out, as values.
//
//   kelmor::Topology cube = kelmor::ParseTopology(text, "cube");
//   kelmor::Options options;
//   options.seed = 1;
//   kelmor::SolveResult result = kelmor::Solve(cube, options);
//   for (const kelmor::Solution& s : result.solutions) use(s.E, s.points, s.files);
//
// Solve never touches the disk: the files a run would write (VRML scenes, the OFF file)
// come back inside each Solution, byte for byte as `kelmor run` writes them with the same
// input, options, seed and date text. WriteFiles puts them in a folder, all or nothing.
// Nothing here is global: solves may run at once on several threads.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

class Host;  // "run/host.h": the engine's only way to talk to a person

// A failure of the library's own (not a run's: those are messages, see SolveResult).
class ApiError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A solid's topology: the input text with the name its files take, and what reading it
// found. Made by ParseTopology (Kelmor's input text) or ShapeTopology (polygons, pyramids,
// prisms and antiprisms over {n/d}, as `kelmor shape` makes them).
struct Topology {
  std::string name;       // base name of the output files ("cube", "prism5-2")
  std::string text;       // Kelmor input text; empty for a shape
  std::string letters;    // pre-scan letters: "A" faces to augment, "S" segments, "t" translucent
  int blocks = 0;         // brace blocks (segments) in the input
  int vertices = 0;       // vertices of the first block, after the topology passes
  int faces = 0;
  int edges = 0;          // unit edges (the edge table's other springs keep star faces in shape)
  std::string shapeKind;  // "polygon", "pyramid", "prism", "antiprism" for a shape
  std::string shapeNd;    // its "n" or "n/d"
};

// Reads Kelmor input text. Throws ApiError with the reader's own message when the text
// holds no model ("No faces found", a limit, an unclosed block...).
Topology ParseTopology(std::string_view text, std::string name = "solid");
// A polygon, pyramid, prism or antiprism over {n/d}; nd is "7" or "7/2". Throws ApiError
// for a kind or {n/d} the shape window would refuse, with its message.
Topology ShapeTopology(std::string_view kind, std::string_view nd);

enum class RunMode { Repeat, Once, Weaken };
enum class Inflation { Global, None, LocalOne, LocalDiagonal };

// The choices of a run, typed. Defaults are those of a new kelmor.ini and the run-time
// window as it first opens.
struct Options {
  RunMode mode = RunMode::Repeat;
  int weakenLimit = 3;           // Weaken: faces of at most this many sides
  Inflation inflation = Inflation::Global;
  int globalLimit = 99;          // hop limit of global inflation
  bool isomorphByNumbering = false;
  bool allowCoincident = false;
  bool confineToXY = false;
  bool inputCoordinates = false;  // write the input's coordinates without relaxing
  bool stressMap = false;
  bool userdata = false;
  bool vertexLabels = false;
  bool faceLabels = false;
  std::optional<double> smoothBelowDegrees;  // smooth edges below this dihedral angle

  std::optional<uint64_t> seed;  // none: seeded from the clock
  std::string dateText;          // the date text of the file headers; empty: today

  // Stop rules of the default host (Solve without a host); 0 means no rule.
  int solutions = 1;           // quit after this many solutions
  long maxIterations = 0;      // an attempt reaching it is started again (Once: the run ends)
  int maxAttempts = 0;         // quit when attempt maxAttempts + 1 would start
  double timeLimitSeconds = 0;

  // Preferences of kelmor.ini by key for this solve (e.g. {"vcyl", "0"}); the rest keep
  // the defaults of a new kelmor.ini.
  std::map<std::string, std::string> preferences;
};

struct Point {
  double x = 0, y = 0, z = 0;
};
struct Rgb {
  double r = 0, g = 0, b = 0;  // fractions of full intensity
};
// A face as the solid file fills it.
struct Face {
  std::vector<int> corners;  // point numbers, in the face's own order
  int step = 1;              // star step: the outline runs from corner p to corner p + step
  bool fan = false;          // filled as triangles around its centre
  int colour = 0;            // entry of Solution::colours
};
// A complete file as a run writes it: the file name and every byte.
struct File {
  std::string name;
  std::string bytes;
};

// One solution: where every vertex went, how its faces look, how far it is from ideal
// and the files that describe it.
struct Solution {
  std::string name;                // "cube", "cube_isom2"
  std::vector<Point> points;       // vertex by vertex, in input order
  std::vector<Face> faces;         // faces that are drawn (not coded "B"), in input order
  std::vector<Rgb> colours;        // the face colour table
  double E = 0;                    // edge deformation
  double P = 0;                    // polygon deformation
  std::optional<double> SE;        // largest single edge distortion
  std::optional<double> A;         // aggregate angle deformation, degrees
  long edges = 0;                  // edges of the edge table, as the OFF file counts them
  long iterations = 0;
  int attempts = 0;
  int isomorph = 1;                // isomorph number
  std::string start;               // how the attempt that found it started, when known
  std::vector<File> files;         // the described files, in the order they are written
};

enum class Outcome {
  Written,    // at least one solution
  Ended,      // the run ended without a solution (a stop rule, a detected failure)
  Abandoned,  // an error abandoned the run
};

struct SolveResult {
  Outcome outcome = Outcome::Ended;
  std::vector<Solution> solutions;
  std::vector<std::string> messages;  // every message of the run, in its own words (default host)
};

// Relaxes the topology. With a host, the host is asked and told everything a person
// would be (and presses the buttons: the stop rules in Options are then the host's to
// apply); without one, questions are answered No, messages are collected and the stop
// rules of Options apply.
SolveResult Solve(const Topology& topology, const Options& options);
SolveResult Solve(const Topology& topology, const Options& options, Host& host);

// Writes the solution's files into folder (which must exist), all of them or none: a
// failure names the file and the reason in the ApiError it throws and leaves every file
// that was there as it was. Returns the paths written.
std::vector<std::string> WriteFiles(const Solution& solution, const std::string& folder);

}  // namespace kelmor
