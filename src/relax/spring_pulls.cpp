#include "relax/spring_pulls.h"

#include <cmath>

#include "relax/quad_lanes.h"

namespace kelmor {

namespace {

// Spring i's pull rows, one spring at a time, exactly as the plain edge pass works it out.
// Returns the deviation. Always inlined: within the vector loop it must be encoded as AVX
// too, or every call pays for switching between the two encodings.
__attribute__((always_inline)) inline double OneSpring(RelaxPlan& p, const double* rows,
                                                       const double (&k)[7], size_t i) {
  const double* ra = rows + static_cast<size_t>(p.springA[i]) * 4;
  const double* rb = rows + static_cast<size_t>(p.springB[i]) * 4;
  const double dx = ra[0] - rb[0], dy = ra[1] - rb[1], dz = ra[2] - rb[2];
  const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
  const double d = L - p.springTarget[i];
  double* plus = p.pulls.data() + (static_cast<size_t>(p.springPlus) + i) * 4;
  double* minus = p.pulls.data() + (static_cast<size_t>(p.springMinus) + i) * 4;
  // Adding -0 leaves every force as it is, -0 included: the springs of coincident ends.
  double g[3] = {-0.0, -0.0, -0.0}, h[3] = {-0.0, -0.0, -0.0};
  if (L != 0) {
    const double f = d * k[p.springClass[i]] / L;
    g[0] = f * dx, g[1] = f * dy, g[2] = f * dz;
    h[0] = -g[0], h[1] = -g[1], h[2] = -g[2];
  }
  for (int c = 0; c < 3; ++c) plus[c] = g[c], minus[c] = h[c];
  plus[3] = minus[3] = 0;
  return d;
}

}  // namespace

#if defined(__x86_64__)

__attribute__((target("avx2"))) void SpringPulls(RelaxPlan& p, const double* rows,
                                                 const double (&k)[7], double* dev, double& total) {
  const int *ea = p.springA.data(), *eb = p.springB.data(), *edge = p.springEdge.data();
  const int* ec = p.springClass.data();
  const double* target = p.springTarget.data();
  const size_t count = p.springA.size();
  double* plus = p.pulls.data() + static_cast<size_t>(p.springPlus) * 4;
  double* minus = p.pulls.data() + static_cast<size_t>(p.springMinus) * 4;
  const __m256d zero = _mm256_setzero_pd(), sign = _mm256_set1_pd(-0.0);
  const __m256d every = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  double sum = total;
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d D0 = _mm256_sub_pd(Row(rows, ea[i] * 4), Row(rows, eb[i] * 4));
    const __m256d D1 = _mm256_sub_pd(Row(rows, ea[i + 1] * 4), Row(rows, eb[i + 1] * 4));
    const __m256d D2 = _mm256_sub_pd(Row(rows, ea[i + 2] * 4), Row(rows, eb[i + 2] * 4));
    const __m256d D3 = _mm256_sub_pd(Row(rows, ea[i + 3] * 4), Row(rows, eb[i + 3] * 4));
    const __m256d D[4] = {D0, D1, D2, D3};
    const __m256d L = _mm256_sqrt_pd(SquaredLengths(D));
    const __m256d d = _mm256_sub_pd(L, _mm256_loadu_pd(target + i));
    const __m128d d01 = _mm256_castpd256_pd128(d), d23 = _mm256_extractf128_pd(d, 1);
    _mm_storel_pd(dev + edge[i], d01);
    _mm_storeh_pd(dev + edge[i + 1], d01);
    _mm_storel_pd(dev + edge[i + 2], d23);
    _mm_storeh_pd(dev + edge[i + 3], d23);
    sum = AddInOrder(sum, _mm256_andnot_pd(sign, d));
    if (__builtin_expect(_mm256_movemask_pd(_mm256_cmp_pd(L, zero, _CMP_EQ_OQ)) != 0, 0)) {
      for (size_t j = i; j < i + 4; ++j) OneSpring(p, rows, k, j);
      continue;
    }
    const __m256d strength = _mm256_mask_i32gather_pd(
        zero, k, _mm_loadu_si128(reinterpret_cast<const __m128i*>(ec + i)), every, 8);
    const __m256d f = _mm256_div_pd(_mm256_mul_pd(d, strength), L);
    const __m256d g0 = _mm256_mul_pd(_mm256_permute4x64_pd(f, 0x00), D0);
    const __m256d g1 = _mm256_mul_pd(_mm256_permute4x64_pd(f, 0x55), D1);
    const __m256d g2 = _mm256_mul_pd(_mm256_permute4x64_pd(f, 0xAA), D2);
    const __m256d g3 = _mm256_mul_pd(_mm256_permute4x64_pd(f, 0xFF), D3);
    double* q = plus + i * 4;
    double* r = minus + i * 4;
    _mm256_store_pd(q, g0), _mm256_store_pd(q + 4, g1), _mm256_store_pd(q + 8, g2), _mm256_store_pd(q + 12, g3);
    _mm256_store_pd(r, _mm256_xor_pd(g0, sign)), _mm256_store_pd(r + 4, _mm256_xor_pd(g1, sign));
    _mm256_store_pd(r + 8, _mm256_xor_pd(g2, sign)), _mm256_store_pd(r + 12, _mm256_xor_pd(g3, sign));
  }
  for (; i < count; ++i) {
    const double d = OneSpring(p, rows, k, i);
    dev[edge[i]] = d;
    sum += std::fabs(d);
  }
  total = sum;
}

#else

void SpringPulls(RelaxPlan& p, const double* rows, const double (&k)[7], double* dev, double& sum) {
  for (size_t i = 0; i < p.springA.size(); ++i) {
    const double d = OneSpring(p, rows, k, i);
    dev[p.springEdge[i]] = d;
    sum += std::fabs(d);
  }
}

#endif

}  // namespace kelmor
