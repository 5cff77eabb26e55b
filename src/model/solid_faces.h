#pragma once

#include <array>
#include <string>
#include <vector>

namespace kelmor {

// A solid as a plain face list, the common form of every way into Kelmor that is not its
// own text: OFF and OBJ files, Conway notation, and the converter. Vertices are numbered
// from 0; each face lists its vertices in ring order.
struct SolidFaces {
  int vertexCount = 0;
  std::vector<std::vector<int>> faces;
  // Per face: a colour letter of the input format (y b a g c m r w) or 0 for none. Either
  // empty or one entry a face.
  std::vector<char> colour;
  // Either empty or one point a vertex.
  std::vector<std::array<double, 3>> coords;

  int edgeCount() const {
    size_t corners = 0;
    for (const auto& f : faces) corners += f.size();
    return static_cast<int>(corners / 2);
  }
  int faceCount() const { return static_cast<int>(faces.size()); }
  char colourOf(size_t face) const { return face < colour.size() ? colour[face] : 0; }
};

}  // namespace kelmor
