#pragma once

#include <array>
#include <string>
#include <vector>

namespace kelmor {

struct OutputCall;
struct Run;

// A further file of a written solution (an export): its full path and whole content,
// committed together with the solution's own files, so either all of them are in place
// or none is.
struct FurtherFile {
  std::string path;
  std::string bytes;
};

struct SnapshotPoint {
  double x = 0, y = 0, z = 0;
};

// A colour as three fractions of full intensity.
struct SnapshotColour {
  double r = 0, g = 0, b = 0;
};

struct SnapshotFace {
  std::vector<int> corners;  // point numbers in the face's own order
  int step = 1;              // star step k: the outline runs from corner p to corner p + k
  bool fan = false;          // filled as triangles around its centre (star faces, faces coded "n")
  int colour = 0;            // entry of the colour table
  int number = 0;            // the face's number in the input (1 for the first face)
  // A frame face (coded "f" without "s"): the inner point of each corner, so that the
  // solid file shows a ring of bars; empty for a face filled whole.
  std::vector<SnapshotPoint> inner;
  bool translucent = false;  // coded "t": also filled whole at the transparency level
};

// What the files of one written solution show, copied out of the run for the extra
// formats: the positions as written, every face the solid file fills, and the cylinder
// model. Plain values only, so readers never reach into a run.
struct SolutionSnapshot {
  std::string folder;  // output folder
  std::string name;    // output name, with its isomorph part ("cube", "cube_isom2")
  std::string suffix;  // run suffix of the first pass ("_weaken3_aug"; never "_stress")

  std::vector<SnapshotPoint> points;       // vertex v is point v - MinVertex
  std::vector<SnapshotFace> faces;         // faces not coded "B", in face order
  int openFaces = 0;                       // faces coded "B", which no file fills
  std::vector<SnapshotColour> colours;     // the face colour table, entries 0 to 32
  double transparency = 0.5;               // of the translucent faces as the VRML files write it: 0 opaque, 1 clear

  bool cylinderModel = false;              // the cylinder model file is among the written files
  std::vector<std::array<int, 2>> struts;  // cylinder model edges as point pairs
  double strutRadius = 0;                  // for a unit edge
  double ballRadius = 0;
  SnapshotColour strutColour, ballColour;
};

// The points and faces of the model as they stand (name and folder too): what a host
// screening a solution before it is written needs, without a writer call.
SolutionSnapshot ShapeSnapshot(const Run& run);

// The shape as it stands in the middle of an attempt, for a host that draws it: as
// ShapeSnapshot, with each face's colour entry and the colour table of the preferences.
// Colour texts that need clipping are clipped silently here; the writer reports them.
SolutionSnapshot LiveSnapshot(const Run& run);

// The snapshot of the model as the current pass of a writer call writes it.
SolutionSnapshot TakeSnapshot(OutputCall& call);

}  // namespace kelmor
