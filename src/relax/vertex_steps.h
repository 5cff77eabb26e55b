#pragma once

namespace kelmor {

// The columns one integration step reads and writes, indexed by vertex number.
struct StepColumns {
  double *X, *Y, *Z;     // positions, moved
  double *OX, *OY, *OZ;  // the positions before the step
  double *VX, *VY, *VZ;  // velocities
  const double *FX, *FY, *FZ;
};

// The sums of the new positions, added in vertex order, and the highest and lowest z.
struct StepSums {
  double x = 0, y = 0, z = 0, zmax = -99, zmin = 99;
};

// One step for vertices lo..hi: velocity = damping·velocity + force, position +=
// velocity. The vector path (AVX2, four vertices at a time) gives the same numbers to the
// last bit as the plain one.
StepSums StepVertices(const StepColumns& c, int lo, int hi, double damping, bool vector);

// Moves vertices lo..hi by minus (cx, cy, cz); the vector path gives the same numbers.
void CentreVertices(const StepColumns& c, int lo, int hi, double cx, double cy, double cz, bool vector);

bool StepVerticesVectorAvailable();

}  // namespace kelmor
