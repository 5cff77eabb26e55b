#pragma once

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "output/faces.h"

namespace kelmor {

struct OutputCall;

// The model as an OFF file: vertices, then every face not coded "B" with its colour.
void WriteOffFile(OutputCall& call, std::ostream& os);

// The face lines of the current model (faces not coded "B"), vertex v written as point
// v - MinVertex + firstPoint, each with its colour by the face colour rule within range.
std::vector<std::string> OffFaceLines(OutputCall& call, HighlightRange range, int firstPoint);

// The four-dimensional layout: every vertex with its fourth coordinate, the face lines
// (as OffFaceLines gives them, indices into points) and the realm link cells, each a list
// of realm vertex numbers (from 1) written after the face lines.
struct FourOffContent {
  std::vector<std::array<double, 4>> points;
  std::vector<std::string> faces;
  std::vector<std::vector<int>> links;
};
void Write4OffFile(OutputCall& call, std::ostream& os, const FourOffContent& content);

// The same for the current model alone: a fourth coordinate per vertex (vertices
// MinVertex..MaxVertex in order; 0 where none is given) and the realm link cells.
struct FourOffExtras {
  std::vector<double> fourth;
  std::vector<std::vector<int>> links;
};
void Write4OffFile(OutputCall& call, std::ostream& os, const FourOffExtras& extras);

}  // namespace kelmor
