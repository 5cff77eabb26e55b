#pragma once

#include <array>
#include <vector>

#include "render/solid_mesh.h"

namespace kelmor::render {

using Triangle = std::array<Vec3, 3>;

// The face's normal by Newell's sum over its outline (not normalised; zero for a face
// with no area). A pentagram's outline winds twice and still gives its plane's normal.
Vec3 OutlineNormal(const std::vector<Vec3>& outline);

// Whether the outline, seen in its own plane, crosses itself (a star face, or a face
// whose corners relaxed into a bow tie).
bool CrossesItself(const std::vector<Vec3>& outline);

// The triangles that fill a face. A simple outline (convex or not) is cut into ears; an
// outline that crosses itself is filled as the solid file fills a star face: a fan of
// triangles from the mean of its corners to each side, so a pentagram shows as a star.
std::vector<Triangle> FaceTriangles(const std::vector<Vec3>& outline);

}  // namespace kelmor::render
