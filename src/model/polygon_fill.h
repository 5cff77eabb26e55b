#pragma once

#include <array>
#include <vector>

#include "model/vec3.h"

namespace kelmor {

// How a face's outline is filled with triangles: the one cut used for pictures, the result
// window and every exported mesh, so that they all show a face alike.

// The outline's normal by Newell's sum (not normalised; zero for an outline with no
// area). Sound for outlines that are not quite flat, and a pentagram's outline, which
// winds twice, still gives its plane's normal.
Vec3 NewellNormal(const std::vector<Vec3>& outline);

// Whether the outline, seen in its own plane, crosses itself (a star face, or a face whose
// corners relaxed into a bow tie) or folds two corners onto one place.
bool CrossesItself(const std::vector<Vec3>& outline);

// Ear clipping of a simple outline (convex or not) in its own plane: corner triples, as
// positions in the outline, each turning the way the outline turns about its normal.
// Empty when the outline has fewer than three corners or no ear can be found (a
// degenerate outline); the caller then fans it.
std::vector<std::array<int, 3>> EarCorners(const std::vector<Vec3>& outline);

}  // namespace kelmor
