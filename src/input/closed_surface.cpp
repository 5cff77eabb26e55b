#include <map>

#include "input/foreign_read.h"

namespace kelmor {

namespace {

struct EdgeUse {
  std::vector<size_t> faces;  // faces along the edge, in file order
  int forward = 0;            // of them, the ones that run from the smaller vertex
};

std::string Lines(const ForeignRead& r, const std::vector<size_t>& faces) {
  std::string t;
  for (size_t i = 0; i < faces.size(); ++i) {
    if (i > 0) t += i + 1 == faces.size() ? " and " : ", ";
    t += std::to_string(r.faceLine[faces[i]]);
  }
  return t;
}

}  // namespace

std::string SurfaceProblem(const ForeignRead& r, std::vector<std::string>* notes) {
  // Ordered, so that the edge named is the same on every machine.
  std::map<std::pair<int, int>, EdgeUse> edges;
  for (size_t f = 0; f < r.solid.faces.size(); ++f) {
    const auto& face = r.solid.faces[f];
    for (size_t i = 0; i < face.size(); ++i) {
      const int a = face[i], b = face[(i + 1) % face.size()];
      EdgeUse& use = edges[{std::min(a, b), std::max(a, b)}];
      use.faces.push_back(f);
      use.forward += a < b;
    }
  }
  std::string unturned;
  for (const auto& [ends, use] : edges) {
    const std::string name = "edge " + std::to_string(ends.first) + "-" + std::to_string(ends.second);
    if (use.faces.size() == 1)
      return name + " belongs to one face only (line " + Lines(r, use.faces) +
             "): the surface has a hole there, and Kelmor needs a closed one";
    if (use.faces.size() > 2)
      return name + " is shared by " + std::to_string(use.faces.size()) + " faces (lines " + Lines(r, use.faces) +
             "): a closed surface has two faces at every edge";
    if (use.forward != 1 && unturned.empty()) unturned = name + " (lines " + Lines(r, use.faces) + ")";
  }
  if (notes && !unturned.empty())
    notes->push_back("faces run the same way round along " + unturned +
                     ", so the faces are not all turned alike; Kelmor reads them as they are");
  return {};
}

}  // namespace kelmor
