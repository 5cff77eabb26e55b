#pragma once

#include <array>
#include <ostream>
#include <vector>

namespace kelmor {

struct OutputCall;

// The model as an OFF file: vertices, then every face not coded "B" with its colour.
void WriteOffFile(OutputCall& call, std::ostream& os);

// What the realm path adds for the four-dimensional layout: a fourth coordinate per
// vertex (vertices MinVertex..MaxVertex in order) and the realm link cells, each a list
// of realm vertex numbers (from 1).
struct FourOffExtras {
  std::vector<double> fourth;
  std::vector<std::vector<int>> links;
};
void Write4OffFile(OutputCall& call, std::ostream& os, const FourOffExtras& extras);

}  // namespace kelmor
