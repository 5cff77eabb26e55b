#include "relax/quad_rows.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "relax/vector_paths.h"

namespace kelmor {

namespace {

#if defined(__x86_64__)
// Four vertices at a time: three column loads turned into four rows.
__attribute__((target("avx2"))) int FillFour(double* rows, int lo, int hi, const double* X,
                                             const double* Y, const double* Z) {
  const __m256d zero = _mm256_setzero_pd();
  int v = lo;
  for (; v + 3 <= hi; v += 4) {
    const __m256d x = _mm256_loadu_pd(X + v), y = _mm256_loadu_pd(Y + v), z = _mm256_loadu_pd(Z + v);
    const __m256d xy02 = _mm256_unpacklo_pd(x, y), xy13 = _mm256_unpackhi_pd(x, y);
    const __m256d z02 = _mm256_unpacklo_pd(z, zero), z13 = _mm256_unpackhi_pd(z, zero);
    double* r = rows + static_cast<ptrdiff_t>(v) * 4;
    _mm256_store_pd(r, _mm256_permute2f128_pd(xy02, z02, 0x20));
    _mm256_store_pd(r + 4, _mm256_permute2f128_pd(xy13, z13, 0x20));
    _mm256_store_pd(r + 8, _mm256_permute2f128_pd(xy02, z02, 0x31));
    _mm256_store_pd(r + 12, _mm256_permute2f128_pd(xy13, z13, 0x31));
  }
  return v;
}
#endif

}  // namespace

void FillQuadRows(double* rows, int lo, int hi, const double* X, const double* Y, const double* Z) {
  int v = lo;
#if defined(__x86_64__)
  if (HasAvx2()) v = FillFour(rows, lo, hi, X, Y, Z);
#endif
  for (; v <= hi; ++v) {
    double* r = rows + static_cast<ptrdiff_t>(v) * 4;
    r[0] = X[v], r[1] = Y[v], r[2] = Z[v];
  }
}

}  // namespace kelmor
