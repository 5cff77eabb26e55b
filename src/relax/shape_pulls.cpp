#include "relax/shape_pulls.h"

#include <cmath>

#include "relax/quad_lanes.h"
#include "relax/vector_paths.h"

namespace kelmor {

namespace {

// One slot: R the far reference point (mean of NR points), M the near point (mean of
// NM points taken in pairs), G their distance and the target R + (M - R)·reach/G.
template <int NR, int NM>
void PlainGroup(RelaxPlan& p, const ShapeGroup& g, const double* rows, double kFull,
                double kWeak) {
  double* pulls = p.pulls.data();
  double* lengths = p.shapeLengths.data();
  for (int s = g.first; s < g.first + g.count; ++s) {
    const int* ix = &p.slotRows[static_cast<size_t>(s) * 8];
    auto at = [&](int k, int c) { return rows[ix[k] + c]; };
    double R[3], D[3], o[3];
    for (int c = 0; c < 3; ++c) {
      double r = at(1, c);
      if constexpr (NR == 2) r = (r + at(2, c)) * 0.5;
      if constexpr (NR == 3) r = (r + at(2, c) + at(3, c)) / 3;
      double m = (at(4, c) + at(5, c)) * 0.5;
      if constexpr (NM == 4) m = (m + (at(6, c) + at(7, c)) * 0.5) * 0.5;
      R[c] = r;
      D[c] = m - r;
    }
    const double G = std::sqrt(D[0] * D[0] + D[1] * D[1] + D[2] * D[2]);
    // Near and far points together: the target is the far point itself.
    double ratio = G > 0 ? p.slotReach[s] / G : 999;
    ratio *= p.slotReachStep[s];
    for (int c = 0; c < 3; ++c) o[c] = R[c] + D[c] * ratio - at(0, c);
    lengths[s] = std::sqrt(o[0] * o[0] + o[1] * o[1] + o[2] * o[2]);
    // F = L·k along o/L: the pull is k·o (nothing when the vertex is on target).
    const double k = g.weak ? kWeak : kFull;
    double* pull = pulls + static_cast<size_t>(s) * 4;
    for (int c = 0; c < 3; ++c) pull[c] = k * o[c];
    pull[3] = 0;
  }
}

#if defined(__x86_64__)

// Fused multiply-adds appear only where written: the file is built with -ffp-contract=off.
#define KELMOR_AVX2 __attribute__((target("avx2,fma"), always_inline)) inline

// x / 3 correctly rounded, as the division gives it, without the divider: q0 = x·RN(1/3)
// is within an ulp, t = 3·q0 - x is exact, and q0 - t·RN(1/3) rounds to the quotient
// (Markstein). Written this way round, a zero keeps its sign.
KELMOR_AVX2 __m256d ThirdOf(__m256d x) {
  const __m256d third = _mm256_set1_pd(1.0 / 3), three = _mm256_set1_pd(3.0);
  const __m256d q0 = _mm256_mul_pd(x, third);
  return _mm256_fnmadd_pd(_mm256_fmsub_pd(q0, three, x), third, q0);
}

// What the stages read and write, taken out of the plan once per group: the vector stores
// may alias anything in memory, so pointers read from the plan inside a stage would be
// read again after every store.
struct SlotArrays {
  const double* rows;
  const int* slotRows;
  const double *reach, *reachStep;
  double *far, *pulls, *lengths;
};

// A group runs in four stages, four slots at a time: 1. far and near points, into R (far
// rows) and D = M - R (pull rows), with G² into lengths; 2. the ratios, in place; 3. the
// offsets R + D·ratio - P, their squared lengths and the pulls over D; 4. the lengths.
// The stages are staggered (stage 1 of slots s with stage 2 of s - 4, ...), so that the
// square roots and the division of one set of slots run while the next is worked out.
template <int NR, int NM>
KELMOR_AVX2 void FarAndNear(const SlotArrays& a, int s) {
  const __m256d half = _mm256_set1_pd(0.5);
  __m256d D[4];
  // Unrolled, so that the four rows stay in registers.
#pragma GCC unroll 4
  for (int j = 0; j < 4; ++j) {
    const int* ix = a.slotRows + static_cast<size_t>(s + j) * 8;
    __m256d r = Row(a.rows, ix[1]);
    if constexpr (NR == 2) r = _mm256_mul_pd(_mm256_add_pd(r, Row(a.rows, ix[2])), half);
    if constexpr (NR == 3)
      r = ThirdOf(_mm256_add_pd(_mm256_add_pd(r, Row(a.rows, ix[2])), Row(a.rows, ix[3])));
    __m256d m = _mm256_mul_pd(_mm256_add_pd(Row(a.rows, ix[4]), Row(a.rows, ix[5])), half);
    if constexpr (NM == 4)
      m = _mm256_mul_pd(
          _mm256_add_pd(m, _mm256_mul_pd(_mm256_add_pd(Row(a.rows, ix[6]), Row(a.rows, ix[7])), half)),
          half);
    D[j] = _mm256_sub_pd(m, r);
    _mm256_store_pd(a.far + static_cast<size_t>(s + j) * 4, r);
    _mm256_store_pd(a.pulls + static_cast<size_t>(s + j) * 4, D[j]);
  }
  _mm256_storeu_pd(a.lengths + s, SquaredLengths(D));
}

KELMOR_AVX2 void Ratios(const SlotArrays& a, int s) {
  const __m256d G = _mm256_sqrt_pd(_mm256_loadu_pd(a.lengths + s));
  const __m256d reach = _mm256_div_pd(_mm256_loadu_pd(a.reach + s), G);
  // Near and far points together: the target is the far point itself.
  const __m256d ratio = _mm256_blendv_pd(_mm256_set1_pd(999), reach,
                                         _mm256_cmp_pd(G, _mm256_setzero_pd(), _CMP_GT_OQ));
  _mm256_storeu_pd(a.lengths + s, _mm256_mul_pd(ratio, _mm256_loadu_pd(a.reachStep + s)));
}

// The ratio of each slot is read into every lane straight from memory (a broadcast load),
// which keeps the shuffle unit free for the squared lengths.
KELMOR_AVX2 void Offsets(const SlotArrays& a, int s, __m256d k) {
  __m256d O[4];
  // Unrolled, so that the four rows stay in registers.
#pragma GCC unroll 4
  for (int j = 0; j < 4; ++j) {
    const __m256d ratio = _mm256_broadcast_sd(a.lengths + s + j);
    const size_t row = static_cast<size_t>(s + j) * 4;
    const __m256d P = Row(a.rows, a.slotRows[static_cast<size_t>(s + j) * 8]);
    const __m256d R = _mm256_load_pd(a.far + row), D = _mm256_load_pd(a.pulls + row);
    const __m256d o = _mm256_sub_pd(_mm256_add_pd(R, _mm256_mul_pd(D, ratio)), P);
    O[j] = _mm256_blend_pd(o, _mm256_setzero_pd(), 0x8);  // w stays 0 even when the ratio is not finite
    _mm256_store_pd(a.pulls + row, _mm256_mul_pd(k, O[j]));
  }
  _mm256_storeu_pd(a.lengths + s, SquaredLengths(O));
}

KELMOR_AVX2 void Lengths(const SlotArrays& a, int s) {
  _mm256_storeu_pd(a.lengths + s, _mm256_sqrt_pd(_mm256_loadu_pd(a.lengths + s)));
}

// One round of the staggered stages while they fill up or drain.
template <int NR, int NM>
KELMOR_AVX2 void StageRound(const SlotArrays& a, int s, int first, int end, __m256d k) {
  if (s < end) FarAndNear<NR, NM>(a, s);
  if (s - 4 >= first && s - 4 < end) Ratios(a, s - 4);
  if (s - 8 >= first && s - 8 < end) Offsets(a, s - 8, k);
  if (s - 12 >= first) Lengths(a, s - 12);
}

template <int NR, int NM>
__attribute__((target("avx2,fma"))) void VectorGroup(RelaxPlan& p, const ShapeGroup& g,
                                                     const double* rows, double kFull,
                                                     double kWeak) {
  const SlotArrays a{rows,           p.slotRows.data(), p.slotReach.data(),   p.slotReachStep.data(),
                     p.shapeFar.data(), p.pulls.data(), p.shapeLengths.data()};
  const __m256d k = _mm256_set1_pd(g.weak ? kWeak : kFull);
  const int first = g.first, end = g.first + g.count;
  int s = first;
  for (; s < first + 12 && s < end + 12; s += 4) StageRound<NR, NM>(a, s, first, end, k);
  for (; s < end; s += 4) {  // all four stages at work
    FarAndNear<NR, NM>(a, s);
    Ratios(a, s - 4);
    Offsets(a, s - 8, k);
    Lengths(a, s - 12);
  }
  for (; s < end + 12; s += 4) StageRound<NR, NM>(a, s, first, end, k);
}

#endif

}  // namespace

bool ShapePullsVectorAvailable() { return HasAvx2Fma(); }

void ShapeGroupPulls(RelaxPlan& p, const double* positions, double kFull, double kWeak,
                     bool vector) {
#if !defined(__x86_64__)
  (void)vector;
#endif
  for (const ShapeGroup& g : p.shapeGroups) {
    auto group = [&]<int NR, int NM>() {
#if defined(__x86_64__)
      if (vector) return VectorGroup<NR, NM>(p, g, positions, kFull, kWeak);
#endif
      PlainGroup<NR, NM>(p, g, positions, kFull, kWeak);
    };
    switch (g.nr * 10 + g.nm) {
      case 12: group.template operator()<1, 2>(); break;
      case 22: group.template operator()<2, 2>(); break;
      case 34: group.template operator()<3, 4>(); break;
      case 24: group.template operator()<2, 4>(); break;
      default: break;
    }
  }
}

}  // namespace kelmor
