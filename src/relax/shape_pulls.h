#pragma once

#include "relax/relax_plan.h"

namespace kelmor {

// The polygon shape force's pulls over the plan's slots.
//
// ShapeGroupPulls: for each slot of the plain faces, the target is the far point moved
// towards the near point to the face's reach; the pull is (target - position) times k
// (kWeak on weakened faces, else kFull), a row of x, y, z, 0 in p.pulls, and
// p.shapeLengths holds the offset's length. positions holds a row per vertex (x, y, z, 0).
//
// The pulls are then added to the forces in face order (AddPullRows).
//
// The vector path (AVX2 and FMA, four slots at a time) and the plain path give the same
// numbers to the last bit: the same operations in the same order, each correctly rounded.
void ShapeGroupPulls(RelaxPlan& p, const double* positions, double kFull, double kWeak,
                     bool vector);

// Whether this processor runs the vector path.
bool ShapePullsVectorAvailable();

}  // namespace kelmor
