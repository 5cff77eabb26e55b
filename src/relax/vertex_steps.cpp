#include "relax/vertex_steps.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "relax/quad_lanes.h"
#include "relax/vector_paths.h"

namespace kelmor {

namespace {

void PlainStep(const StepColumns& c, int from, int hi, double damping, StepSums& s) {
  for (int i = from; i <= hi; ++i) {
    c.OX[i] = c.X[i], c.OY[i] = c.Y[i], c.OZ[i] = c.Z[i];
    const double vx = damping * c.VX[i] + c.FX[i];
    const double vy = damping * c.VY[i] + c.FY[i];
    const double vz = damping * c.VZ[i] + c.FZ[i];
    c.VX[i] = vx, c.VY[i] = vy, c.VZ[i] = vz;
    const double x = c.X[i] + vx, y = c.Y[i] + vy, z = c.Z[i] + vz;
    c.X[i] = x, c.Y[i] = y, c.Z[i] = z;
    s.x += x, s.y += y, s.z += z;
    if (z > s.zmax) s.zmax = z;
    if (z < s.zmin) s.zmin = z;
  }
}

#if defined(__x86_64__)

#define KELMOR_AVX2 __attribute__((target("avx2"), always_inline)) inline

// The lanes' own highest (or lowest) z, folded as the plain loop would: a z replaces the
// running figure only when strictly beyond it, and the figure is the same number.
// The columns and the sums are taken into locals first: the vector stores may alias
// anything in memory, so pointers and sums read through c and s would be read again (and
// the sums written back) after every store.
__attribute__((target("avx2"))) int VectorStep(const StepColumns& c, int lo, int hi,
                                               double damping, StepSums& s) {
  double *X = c.X, *Y = c.Y, *Z = c.Z, *OX = c.OX, *OY = c.OY, *OZ = c.OZ;
  double *VX = c.VX, *VY = c.VY, *VZ = c.VZ;
  const double *FX = c.FX, *FY = c.FY, *FZ = c.FZ;
  double sx = s.x, sy = s.y, sz = s.z;
  const __m256d d = _mm256_set1_pd(damping);
  __m256d zmax = _mm256_set1_pd(s.zmax), zmin = _mm256_set1_pd(s.zmin);
  int i = lo;
  for (; i + 3 <= hi; i += 4) {
    const __m256d x0 = _mm256_loadu_pd(X + i), y0 = _mm256_loadu_pd(Y + i), z0 = _mm256_loadu_pd(Z + i);
    _mm256_storeu_pd(OX + i, x0), _mm256_storeu_pd(OY + i, y0), _mm256_storeu_pd(OZ + i, z0);
    const __m256d vx = _mm256_add_pd(_mm256_mul_pd(d, _mm256_loadu_pd(VX + i)), _mm256_loadu_pd(FX + i));
    const __m256d vy = _mm256_add_pd(_mm256_mul_pd(d, _mm256_loadu_pd(VY + i)), _mm256_loadu_pd(FY + i));
    const __m256d vz = _mm256_add_pd(_mm256_mul_pd(d, _mm256_loadu_pd(VZ + i)), _mm256_loadu_pd(FZ + i));
    _mm256_storeu_pd(VX + i, vx), _mm256_storeu_pd(VY + i, vy), _mm256_storeu_pd(VZ + i, vz);
    const __m256d x = _mm256_add_pd(x0, vx), y = _mm256_add_pd(y0, vy), z = _mm256_add_pd(z0, vz);
    _mm256_storeu_pd(X + i, x), _mm256_storeu_pd(Y + i, y), _mm256_storeu_pd(Z + i, z);
    sx = AddInOrder(sx, x), sy = AddInOrder(sy, y), sz = AddInOrder(sz, z);
    // max(z, m) is z > m ? z : m, as the plain comparison (a NaN z changes nothing).
    zmax = _mm256_max_pd(z, zmax);
    zmin = _mm256_min_pd(z, zmin);
  }
  s.x = sx, s.y = sy, s.z = sz;
  alignas(32) double top[4], bottom[4];
  _mm256_store_pd(top, zmax);
  _mm256_store_pd(bottom, zmin);
  for (int j = 0; j < 4; ++j) {
    if (top[j] > s.zmax) s.zmax = top[j];
    if (bottom[j] < s.zmin) s.zmin = bottom[j];
  }
  return i;
}

__attribute__((target("avx2"))) int VectorCentre(const StepColumns& c, int lo, int hi, double cx,
                                                 double cy, double cz) {
  double *X = c.X, *Y = c.Y, *Z = c.Z;
  const __m256d x = _mm256_set1_pd(cx), y = _mm256_set1_pd(cy), z = _mm256_set1_pd(cz);
  int i = lo;
  for (; i + 3 <= hi; i += 4) {
    _mm256_storeu_pd(X + i, _mm256_sub_pd(_mm256_loadu_pd(X + i), x));
    _mm256_storeu_pd(Y + i, _mm256_sub_pd(_mm256_loadu_pd(Y + i), y));
    _mm256_storeu_pd(Z + i, _mm256_sub_pd(_mm256_loadu_pd(Z + i), z));
  }
  return i;
}

#endif

}  // namespace

void CentreVertices(const StepColumns& c, int lo, int hi, double cx, double cy, double cz, bool vector) {
  int i = lo;
#if defined(__x86_64__)
  if (vector) i = VectorCentre(c, lo, hi, cx, cy, cz);
#else
  (void)vector;
#endif
  for (; i <= hi; ++i) c.X[i] -= cx, c.Y[i] -= cy, c.Z[i] -= cz;
}

bool StepVerticesVectorAvailable() { return HasAvx2(); }

StepSums StepVertices(const StepColumns& c, int lo, int hi, double damping, bool vector) {
  StepSums s;
  int from = lo;
#if defined(__x86_64__)
  if (vector) from = VectorStep(c, lo, hi, damping, s);
#else
  (void)vector;
#endif
  PlainStep(c, from, hi, damping, s);
  return s;
}

}  // namespace kelmor
