#pragma once

// Lane helpers of the passes' AVX2 paths. Each gives exactly what the plain loops compute,
// in their order: no reassociation, no fused multiply-add.

#if defined(__x86_64__)
#include <immintrin.h>

#define KELMOR_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

namespace kelmor {

// Row `at` (an offset in doubles, a multiple of four) of a QuadRows buffer.
KELMOR_AVX2_INLINE __m256d Row(const double* rows, int at) { return _mm256_load_pd(rows + at); }

// sum + v0 + v1 + v2 + v3, in that order.
KELMOR_AVX2_INLINE double AddInOrder(double sum, __m256d v) {
  const __m128d lo = _mm256_castpd256_pd128(v), hi = _mm256_extractf128_pd(v, 1);
  sum += _mm_cvtsd_f64(lo);
  sum += _mm_cvtsd_f64(_mm_unpackhi_pd(lo, lo));
  sum += _mm_cvtsd_f64(hi);
  return sum + _mm_cvtsd_f64(_mm_unpackhi_pd(hi, hi));
}

// x² + y² + z² of four rows (w = 0), summed in that order, one to a lane.
KELMOR_AVX2_INLINE __m256d SquaredLengths(const __m256d (&v)[4]) {
  const __m256d a = _mm256_hadd_pd(_mm256_mul_pd(v[0], v[0]), _mm256_mul_pd(v[1], v[1]));
  const __m256d b = _mm256_hadd_pd(_mm256_mul_pd(v[2], v[2]), _mm256_mul_pd(v[3], v[3]));
  // One lane-crossing shuffle, two blends: (x² + y²) of the four rows, then their z².
  const __m256d middle = _mm256_permute2f128_pd(a, b, 0x21);
  return _mm256_add_pd(_mm256_blend_pd(a, middle, 0xC), _mm256_blend_pd(middle, b, 0xC));
}

}  // namespace kelmor

#endif
