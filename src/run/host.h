#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "output/solution_snapshot.h"

namespace kelmor {


// Buttons of the draw window, as bits, in the order the loop polls them.
enum Button : unsigned {
  QuitButton = 1u << 0,
  WriteButton = 1u << 1,
  GraphButton = 1u << 2,
  RedoButton = 1u << 3,
  ReReadButton = 1u << 4,
  F1upButton = 1u << 5,
  F1downButton = 1u << 6,
  // Not a button of the window: a host's judgement that the attempt has settled exactly
  // although its figures never stand still. The solution is written as the run's own write
  // test writes one (a new isomorph only, numbered on), then the next attempt starts.
  SettledButton = 1u << 7,
};
using ButtonSet = unsigned;

// One edge of a drawn frame: erase the old line, draw the new one in DepthPalette(colour).
// Coordinates are in the drawing square 0..2S (S the screen size), already offset by S.
struct DrawLine {
  double oldX1, oldY1, oldX2, oldY2;
  double newX1, newY1, newX2, newY2;
  int colour;  // 0..15
};

struct DepthColour {
  int r, g, b;
};

// The figures the draw window shows, set every tenth iteration.
struct DrawFigures {
  std::string EdgeDef;    // E, formatted
  std::string PolyDef;    // P, formatted
  std::string IsomNo;     // isomorph number
  std::string ExpandOpt;  // "none", "global", "local-one", "local-diagonal"
  double edgeDeform = 0;  // the raw figures, for hosts that show them otherwise
  double polyDeform = 0;
  long iteration = 0;
  int attempt = 0;
};

// What a written solution reports to the host (the command line prints it for scripts).
struct WrittenReport {
  std::string outputName;
  double edgeDeform = 0;
  double polyDeform = 0;
  long iterations = 0;
  int attempts = 0;
  double seconds = 0;
  std::vector<std::string> files;  // the files written, full paths, in order
  // The figures of the files' report, unrounded: the largest single edge distortion and
  // the aggregate angle deformation in degrees (empty when the model has no figure for
  // them), the edge count of the OFF file, and the isomorph number of the solution.
  std::optional<double> singleEdge, angleDeform;
  long edgeCount = 0;
  int isomorph = 1;
};

// The solid an attempt relaxes, after the topology passes, for a host that chooses the
// starting positions: vertex numbers vmin..vmax; face f (1..faceCount) holds
// faceVerts[faceStart[f]] up to faceVerts[faceStart[f + 1]] in ring order, with step
// faceStep[f]; spring edge e joins edgeA[e] and edgeB[e] and is pulled to edgeTarget[e].
// Valid for the length of the call.
struct SolidView {
  int vmin = 0, vmax = -1;
  int faceCount = 0;
  std::span<const int> faceStart, faceVerts, faceStep;
  std::span<const int> edgeA, edgeB;
  std::span<const double> edgeTarget;
};

// Starting positions by vertex number (rows vmin..vmax are the solid's).
struct StartPositions {
  std::span<double> x, y, z;
};

// The only way the engine talks to a person. The engine never opens a window or prints.
class Host {
 public:
  virtual ~Host() = default;

  virtual void message(const std::string& text) = 0;          // an OK box
  virtual bool askYesNo(const std::string& text) = 0;         // true: Yes
  virtual bool askOkCancel(const std::string& text) = 0;      // true: OK
  virtual void beep() {}

  // The draw window.
  // Whether frames should be drawn at all (a host without a window returns false, so the
  // loop does not build lines for nobody).
  virtual bool drawsFrames() const { return false; }
  virtual void showAttemptWindow(const std::string& caption, bool clear,
                                 std::span<const DepthColour, 16> palette) {}
  virtual void drawFrame(std::span<const DrawLine> lines) {}
  virtual void showFigures(const DrawFigures& figures) {}
  virtual void setStatus(const std::string& text) {}  // the Duplicate label
  // Pumps pending events; returns the buttons pressed since the last poll, each once.
  virtual ButtonSet pollButtons() { return 0; }
  virtual void hideDrawWindow() {}

  // A solution's files were written.
  virtual void solutionWritten(const WrittenReport& report) {}
  // Hosts that write further formats ask for a snapshot of each written solution; the
  // writer copies it only for them. The files returned are committed with the solution's
  // own: all of them are in place afterwards, or none is.
  virtual bool wantsSnapshot() const { return false; }
  virtual std::vector<FurtherFile> solutionSnapshot(const SolutionSnapshot& snapshot) { return {}; }
  // Hosts that look at each written solution's points and faces (to tell what kind of
  // solid it is) ask for its shape; the writer hands it over before solutionWritten.
  virtual bool wantsShape() const { return false; }
  virtual void solutionShape(const SolutionSnapshot& shape) {}
  // Repeat mode, before an exact new solution is written: a host that screens solutions
  // (screensSolutions) is shown its points and faces (no colours, no cylinder model) and
  // says whether to keep it. One it refuses is not written and counts as an isomorph
  // already seen: the next attempt starts. The host says why itself.
  virtual bool screensSolutions() const { return false; }
  virtual bool acceptSolution(const SolutionSnapshot& shape) { return true; }
  // A one-attempt relaxation (once mode, weaken) has settled and its files are about to
  // be written: a host may move the vertices (rows vmin..vmax, as chooseStart) and
  // returns true when it moved them; the figures are then measured again.
  virtual bool finishPositions(const SolidView& solid, StartPositions positions) { return false; }
  // Hosts that show the solid itself as it moves (a 3D view) are asked with the figures,
  // every tenth iteration, whether they want its shape now; one that says yes is handed
  // the points, the faces with their colour entries and the colour table. The copy costs
  // an allocation per face, so a host asks only as often as it draws.
  virtual bool wantsLiveShape() { return false; }
  virtual void liveShape(const SolutionSnapshot& shape) {}
  // Progress between polls (iteration count, attempt); hosts may ignore.
  virtual void attemptStarted(int attempt) {}
  // The forces of an attempt in repeat mode overflowed. A host that returns true has
  // reported it and the run starts the next attempt; otherwise the run's error handler
  // takes the overflow (the windows' behaviour).
  virtual bool retryAfterOverflow() { return false; }
  // An attempt without input coordinates is about to start from the random positions
  // already in `positions`; a host may put other positions there and return true. The
  // random positions are drawn either way, so the random stream does not depend on it.
  virtual bool chooseStart(const SolidView& solid, StartPositions positions) { return false; }
};

}  // namespace kelmor
