#pragma once

namespace kelmor {

struct Run;

// Turns (and, with an "R" vertex at negative x, mirrors) the relaxed model so that the
// point of its "F" vertices lies on the positive z axis (with face 1 coded "Y", the turn
// is in the x-z plane instead) and the point of its "T" vertices on the positive y axis.
// Moves PosX, PosY, PosZ of every vertex in place.
void OrientModel(Run& run);

}  // namespace kelmor
