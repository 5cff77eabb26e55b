#pragma once

#include <array>
#include <vector>

#include "model/polygon_fill.h"
#include "render/solid_mesh.h"

namespace kelmor::render {

using Triangle = std::array<Vec3, 3>;

// The triangles that fill a face. A simple outline (convex or not) is cut into ears; an
// outline that crosses itself is filled as the solid file fills a star face: a fan of
// triangles from the mean of its corners to each side, so a pentagram shows as a star.
std::vector<Triangle> FaceTriangles(const std::vector<Vec3>& outline);

}  // namespace kelmor::render
