#pragma once

#include <vector>

#include "output/solution_snapshot.h"

namespace kelmor {

// The solid as the page's WebGL view draws it: flat tables that become typed arrays
// without a copy per element on the JavaScript side.
struct PageMesh {
  std::vector<float> positions;  // x, y, z of each triangle corner, triangles one after another
  std::vector<float> colours;    // r, g, b (fractions) of each triangle corner: its face's colour
  std::vector<int> triangleFace; // for each triangle, the face it fills (index into the snapshot's faces)
  std::vector<float> outlines;   // x, y, z of both ends of each outline segment of each face
  int faces = 0;
};

// The faces filled as the solid file fills them (export/ cuts them into triangles), each
// in the colour of its colour entry, and their outlines as the star steps run.
PageMesh PageMeshOf(const SolutionSnapshot& s);

}  // namespace kelmor
