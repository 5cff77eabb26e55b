#pragma once

#include "export/mesh.h"

namespace kelmor {

// The smallest area, in square millimetres, on which a print stands and holds to the
// bed: a few lines of a 0.4 mm nozzle each way.
constexpr double SteadyFootSquareMillimetres = 4;

// A solid that touches the bed only at points (the tips of a star solid) leaves a
// slicer nothing to put in its first layer. Such a mesh (laid, unit edge, lowest point
// at z = 0) is cut flat low enough to keep its shape and high enough that its cut faces
// give it a steady foot; cutMillimetres is how much was cut off (0: the mesh stands as it
// is, or no cut within a tenth of its height gives a foot, and it is returned unchanged).
Mesh FlatFoot(const Mesh& laid, double edgeMillimetres, double& cutMillimetres);

}  // namespace kelmor
