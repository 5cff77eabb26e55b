#pragma once

#include <array>
#include <vector>

#include "export/mesh.h"

namespace kelmor {

// What a slicer needs of a triangle soup: shells (triangles joined through shared edges)
// that are closed, consistently wound and enclose a positive volume.
struct ShellReport {
  int shells = 0;
  int openEdges = 0;         // edges of only one triangle
  int overusedEdges = 0;     // edges of more than two triangles
  int misorientedEdges = 0;  // edges both triangles run in the same direction
  std::vector<double> volumes;  // signed volume of each shell
  double volume = 0;            // their sum

  bool Printable() const;
};

// Points that are equal are one point (a file that lists every triangle's corners, as
// STL does, joins up again when read this way).
ShellReport CheckShells(const std::vector<Vec3>& points, const std::vector<std::array<int, 3>>& triangles);

}  // namespace kelmor
