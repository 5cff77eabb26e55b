#pragma once

#include "relax/relax_plan.h"

namespace kelmor {

// The offsets of the plain faces' positions from their targets, group by group: for each
// slot, the target is the far point moved towards the near point to the face's reach, the
// offset is target minus position (a row of x, y, z, 0 in offsets) and lengths holds its
// length. positions holds a row per vertex (x, y, z, 0).
//
// The vector path (AVX2 and FMA, four slots at a time) and the plain path give the same numbers to
// the last bit: the same operations in the same order, each correctly rounded.
void ShapeGroupOffsets(const RelaxPlan& p, const double* positions, double* offsets,
                       double* lengths, bool vector);

// Whether this processor runs the vector path.
bool ShapeOffsetsVectorAvailable();

}  // namespace kelmor
