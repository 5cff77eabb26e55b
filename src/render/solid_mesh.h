#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "model/vec3.h"

namespace kelmor::render {

using kelmor::Cross;
using kelmor::Dot;
using kelmor::Vec3;

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The colour of a face an OFF file gives none.
inline constexpr Rgba kPlainFaceColour{203, 203, 203, 255};

// One face: its corners (indices into the points) in drawing order, as the file lists
// them; a star face lists its outline, e.g. a pentagram's corners two apart.
struct MeshFace {
  std::vector<int> corners;
  Rgba colour = kPlainFaceColour;
  // What the solid file drawn with the OFF file adds (solid_look.h): a frame face is
  // filled only by its ring of quadrilaterals around an open middle; a translucent face
  // also gets a see-through pane of this opacity over the whole face (0: none).
  std::vector<std::array<Vec3, 4>> ring;
  uint8_t pane = 0;
};

// A solid as an OFF file gives it.
struct SolidMesh {
  std::vector<Vec3> points;
  std::vector<MeshFace> faces;
};

// Reads an OFF file (header "OFF", optionally "COFF"/"NOFF"/"CNOFF"; '#' comments; face
// colours as three or four numbers, 0..255 integers or 0..1 decimals, the fourth
// being opacity). Returns the reason when the text is not a readable OFF solid.
std::optional<std::string> ReadOff(std::istream& in, SolidMesh& mesh);
std::optional<std::string> ReadOffFile(const std::string& path, SolidMesh& mesh);

// The distinct edges of the faces' outlines (each pair once, lower index first).
std::vector<std::array<int, 2>> OutlineEdges(const SolidMesh& mesh);

}  // namespace kelmor::render
