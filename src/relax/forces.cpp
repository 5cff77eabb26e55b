#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "relax/engine.h"
#include "relax/quad_rows.h"
#include "relax/spring_pulls.h"
#include "relax/vector_paths.h"
#include "run/run.h"

namespace kelmor {

void ClearForces(Run& run) {
  RelaxState& r = run.relax;
  const int lo = r.plan.vmin, count = r.plan.vmax - r.plan.vmin + 1;
  if (count <= 0) return;
  std::fill_n(r.ForceX.data() + lo, count, 0.0);
  std::fill_n(r.ForceY.data() + lo, count, 0.0);
  std::fill_n(r.ForceZ.data() + lo, count, 0.0);
}

const double* PositionRows(Run& run) {
  RelaxPlan& p = run.relax.plan;
  double* rows = p.positionRows.data();
  const VertexArrays va(run);
  FillQuadRows(rows, p.rowLo, p.rowHi, va.X, va.Y, va.Z);
  return rows;
}

namespace {

// Each class's strength times the step.
void ClassStrengths(const Run& run, double (&k)[7]) {
  for (int c = 0; c <= 6; ++c) k[c] = run.relax.Step * run.Strength[c];
}

}  // namespace

void EdgePulls(Run& run, const double* rows) {
  RelaxState& r = run.relax;
  double k[7];
  ClassStrengths(run, k);
  double sum = 0;
  SpringPulls(r.plan, rows, k, run.edges.EdgeDev.data(), sum);
  r.EdgeDeform += sum;
}

void EdgeForces(Run& run) {
  RelaxState& r = run.relax;
  const RelaxPlan& p = r.plan;
  const VertexArrays va(run);
  const double *X = va.X, *Y = va.Y, *Z = va.Z;
  double *FX = va.FX, *FY = va.FY, *FZ = va.FZ;
  double* dev = run.edges.EdgeDev.data();
  double k[7];
  ClassStrengths(run, k);

  const int* ea = p.springA.data();
  const int* eb = p.springB.data();
  const int* ec = p.springClass.data();
  const int* edge = p.springEdge.data();
  const double* target = p.springTarget.data();
  const size_t count = p.springA.size();
  double sum = 0;
  for (size_t i = 0; i < count; ++i) {
    const int a = ea[i], b = eb[i];
    const double dx = X[a] - X[b], dy = Y[a] - Y[b], dz = Z[a] - Z[b];
    const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double d = L - target[i];
    dev[edge[i]] = d;
    sum += std::fabs(d);
    if (L != 0) {
      const double f = d * k[ec[i]] / L;
      FX[a] -= f * dx, FY[a] -= f * dy, FZ[a] -= f * dz;
      FX[b] += f * dx, FY[b] += f * dy, FZ[b] += f * dz;
    }
  }
  r.EdgeDeform += sum;
}

namespace {

// What every pair of the global inflation pass reads.
struct HopContext {
  const double *X, *Y, *Z;
  double *FX, *FY, *FZ;
  float limit;
  double kFar, kNear;
  int first;  // the vertex of a hop row's first entry
};

// The running sums of one row i: the force on i and the deformation.
struct RowSums {
  double fx = 0, fy = 0, fz = 0, deform = 0;
};

// Pairs (i, j) for j = from..last, one at a time; hop is row i of the hop table.
void HopPairs(const HopContext& c, int i, const float* hop, int from, int last, RowSums& s) {
  const double xi = c.X[i], yi = c.Y[i], zi = c.Z[i];
  for (int j = from; j <= last; ++j) {
    const float hf = hop[j - c.first];
    const double h = hf;
    const double t = h > 1 ? (h - 1) * 0.7 + 1 : 0.5 * h;
    const double k = h >= 1 ? c.kFar : c.kNear;
    const double dx = xi - c.X[j], dy = yi - c.Y[j], dz = zi - c.Z[j];
    const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double d = L - t;
    s.deform += std::fabs(d);
    if (!(c.limit > hf)) continue;  // beyond the limit: measured, never pushed
    if (L > 0) {
      const double f = d * k / L;
      s.fx -= f * dx, s.fy -= f * dy, s.fz -= f * dz;
      c.FX[j] += f * dx, c.FY[j] += f * dy, c.FZ[j] += f * dz;
    }
  }
}

#if defined(__SSE2__)
inline __m128d Select(__m128d mask, __m128d yes, __m128d no) {
  return _mm_or_pd(_mm_and_pd(mask, yes), _mm_andnot_pd(mask, no));
}

// The running sums of a row, two lanes each.
struct RowLanes {
  __m128d fx = _mm_setzero_pd(), fy = _mm_setzero_pd(), fz = _mm_setzero_pd();
  __m128d deform = _mm_setzero_pd();
  void addTo(RowSums& s) const {
    auto total = [](__m128d v) { return _mm_cvtsd_f64(v) + _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); };
    s.fx += total(fx), s.fy += total(fy), s.fz += total(fz), s.deform += total(deform);
  }
};

// Pairs (i, j) and (i, j + 1) (SSE2 is part of every x86-64 processor). Each lane does
// exactly the scalar arithmetic; only the order of the row sums differs.
__attribute__((always_inline)) inline void HopPairTwo(const HopContext& c, const float* hop, int j,
                                                      __m128d xi, __m128d yi, __m128d zi, RowLanes& s) {
  const __m128d limit = _mm_set1_pd(static_cast<double>(c.limit));
  const __m128d zero = _mm_setzero_pd(), one = _mm_set1_pd(1.0), half = _mm_set1_pd(0.5);
  const __m128d slope = _mm_set1_pd(0.7), sign = _mm_set1_pd(-0.0);
  const __m128d kFar = _mm_set1_pd(c.kFar), kNear = _mm_set1_pd(c.kNear);
  const __m128d h =
      _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(hop + (j - c.first)))));
  const __m128d within = _mm_cmplt_pd(h, limit);
  const __m128d t = Select(_mm_cmpgt_pd(h, one), _mm_add_pd(_mm_mul_pd(_mm_sub_pd(h, one), slope), one),
                           _mm_mul_pd(half, h));
  const __m128d k = Select(_mm_cmpge_pd(h, one), kFar, kNear);
  const __m128d dx = _mm_sub_pd(xi, _mm_loadu_pd(c.X + j));
  const __m128d dy = _mm_sub_pd(yi, _mm_loadu_pd(c.Y + j));
  const __m128d dz = _mm_sub_pd(zi, _mm_loadu_pd(c.Z + j));
  const __m128d L = _mm_sqrt_pd(
      _mm_add_pd(_mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy)), _mm_mul_pd(dz, dz)));
  const __m128d d = _mm_sub_pd(L, t);
  s.deform = _mm_add_pd(s.deform, _mm_andnot_pd(sign, d));
  // Lanes beyond the limit or with L = 0 get no force; L = 0 divides by 1 instead, so
  // no lane ever divides by zero.
  const __m128d apart = _mm_cmpgt_pd(L, zero);
  const __m128d f = _mm_and_pd(_mm_and_pd(within, apart),
                               _mm_div_pd(_mm_mul_pd(d, k), Select(apart, L, one)));
  const __m128d gx = _mm_mul_pd(f, dx), gy = _mm_mul_pd(f, dy), gz = _mm_mul_pd(f, dz);
  s.fx = _mm_sub_pd(s.fx, gx), s.fy = _mm_sub_pd(s.fy, gy), s.fz = _mm_sub_pd(s.fz, gz);
  _mm_storeu_pd(c.FX + j, _mm_add_pd(_mm_loadu_pd(c.FX + j), gx));
  _mm_storeu_pd(c.FY + j, _mm_add_pd(_mm_loadu_pd(c.FY + j), gy));
  _mm_storeu_pd(c.FZ + j, _mm_add_pd(_mm_loadu_pd(c.FZ + j), gz));
}

// The pairs two at a time. Returns the first j left for the scalar loop.
int HopPairsSse2(const HopContext& c, int i, const float* hop, int from, int last, RowSums& s) {
  const __m128d xi = _mm_set1_pd(c.X[i]), yi = _mm_set1_pd(c.Y[i]), zi = _mm_set1_pd(c.Z[i]);
  RowLanes lanes;
  int j = from;
  for (; j < last; j += 2) HopPairTwo(c, hop, j, xi, yi, zi, lanes);
  lanes.addTo(s);
  return j;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELMOR_HOP_AVX2 1
// The same pairs four at a time on processors with AVX2, with the same results to the
// bit: each lane does the scalar arithmetic, and the row sums take the lower two lanes
// and then the upper two, as two steps of the SSE2 loop would. No FMA: a fused
// multiply-add would round differently.
__attribute__((target("avx2"))) inline void Take(__m128d& sum, __m256d v) {
  sum = _mm_sub_pd(_mm_sub_pd(sum, _mm256_castpd256_pd128(v)), _mm256_extractf128_pd(v, 1));
}
// The context's arrays are read into locals first: the vector stores may alias anything
// in memory, so pointers read through c would be read again after every store.
__attribute__((target("avx2"))) int HopPairsAvx2(const HopContext& c, int i, const float* hop,
                                                 int from, int last, RowSums& s) {
  const double *X = c.X, *Y = c.Y, *Z = c.Z;
  double *FX = c.FX, *FY = c.FY, *FZ = c.FZ;
  const int hopFirst = c.first;
  const __m128d xi2 = _mm_set1_pd(c.X[i]), yi2 = _mm_set1_pd(c.Y[i]), zi2 = _mm_set1_pd(c.Z[i]);
  const __m256d xi = _mm256_set1_pd(c.X[i]), yi = _mm256_set1_pd(c.Y[i]), zi = _mm256_set1_pd(c.Z[i]);
  const __m256d limit = _mm256_set1_pd(static_cast<double>(c.limit));
  const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1.0), half = _mm256_set1_pd(0.5);
  const __m256d slope = _mm256_set1_pd(0.7), sign = _mm256_set1_pd(-0.0);
  const __m256d kFar = _mm256_set1_pd(c.kFar), kNear = _mm256_set1_pd(c.kNear);
  RowLanes lanes;
  int j = from;
  for (; j + 3 <= last; j += 4) {
    const __m256d h = _mm256_cvtps_pd(_mm_loadu_ps(hop + (j - hopFirst)));
    const __m256d within = _mm256_cmp_pd(h, limit, _CMP_LT_OS);
    const __m256d t = _mm256_blendv_pd(_mm256_mul_pd(half, h),
                                       _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(h, one), slope), one),
                                       _mm256_cmp_pd(h, one, _CMP_GT_OS));
    const __m256d k = _mm256_blendv_pd(kNear, kFar, _mm256_cmp_pd(h, one, _CMP_GE_OS));
    const __m256d dx = _mm256_sub_pd(xi, _mm256_loadu_pd(X + j));
    const __m256d dy = _mm256_sub_pd(yi, _mm256_loadu_pd(Y + j));
    const __m256d dz = _mm256_sub_pd(zi, _mm256_loadu_pd(Z + j));
    const __m256d L = _mm256_sqrt_pd(_mm256_add_pd(
        _mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy)), _mm256_mul_pd(dz, dz)));
    const __m256d d = _mm256_sub_pd(L, t);
    const __m256d apart = _mm256_cmp_pd(L, zero, _CMP_GT_OS);
    const __m256d f = _mm256_and_pd(_mm256_and_pd(within, apart),
                                    _mm256_div_pd(_mm256_mul_pd(d, k), _mm256_blendv_pd(one, L, apart)));
    const __m256d gx = _mm256_mul_pd(f, dx), gy = _mm256_mul_pd(f, dy), gz = _mm256_mul_pd(f, dz);
    Take(lanes.fx, gx), Take(lanes.fy, gy), Take(lanes.fz, gz);
    const __m256d ad = _mm256_andnot_pd(sign, d);
    lanes.deform = _mm_add_pd(_mm_add_pd(lanes.deform, _mm256_castpd256_pd128(ad)),
                              _mm256_extractf128_pd(ad, 1));
    _mm256_storeu_pd(FX + j, _mm256_add_pd(_mm256_loadu_pd(FX + j), gx));
    _mm256_storeu_pd(FY + j, _mm256_add_pd(_mm256_loadu_pd(FY + j), gy));
    _mm256_storeu_pd(FZ + j, _mm256_add_pd(_mm256_loadu_pd(FZ + j), gz));
  }
  for (; j < last; j += 2) HopPairTwo(c, hop, j, xi2, yi2, zi2, lanes);
  lanes.addTo(s);
  return j;
}
#endif
#endif

}  // namespace

// Pairs at or beyond the hop limit add their deformation, measured against the target
// their hop distance would have, to the edge deformation, but get no force: the limit
// limits the reach of inflation, not what the figure counts.
// Cost: quadratic in the vertex count, which is why the pairs go two at a time.
void HopForces(Run& run) {
  RelaxState& r = run.relax;
  const RelaxPlan& p = r.plan;
  const InflationState& infl = run.infl;
  if (p.vmax < p.vmin) return;
  if (p.vmax > MaxHopVertex || !infl.HopCovers(p.vmin, p.vmax)) raiseError(ErrSubscript);
  const VertexArrays va(run);
  const HopContext c{va.X, va.Y, va.Z, va.FX, va.FY, va.FZ, static_cast<float>(infl.GlobalLimit + 0.1),
                     r.Step * run.Strength[3], r.Step * run.Strength[6], infl.HopFirst};
#if defined(KELMOR_HOP_AVX2)
  const bool avx2 = HasAvx2();
#endif
  double deform = 0;
  for (int i = p.vmin; i <= p.vmax; ++i) {
    const float* hop = infl.HopRow(i);
    RowSums s;
    int j = i + 1;
#if defined(KELMOR_HOP_AVX2)
    j = avx2 ? HopPairsAvx2(c, i, hop, j, p.vmax, s) : HopPairsSse2(c, i, hop, j, p.vmax, s);
#elif defined(__SSE2__)
    j = HopPairsSse2(c, i, hop, j, p.vmax, s);
#endif
    HopPairs(c, i, hop, j, p.vmax, s);
    c.FX[i] += s.fx, c.FY[i] += s.fy, c.FZ[i] += s.fz;
    deform += s.deform;
  }
  r.EdgeDeform += deform;
}

void LocalInflationForces(Run& run) {
  RelaxState& r = run.relax;
  RelaxPlan& p = r.plan;
  const VertexArrays va(run);
  const double *X = va.X, *Y = va.Y, *Z = va.Z;
  double *FX = va.FX, *FY = va.FY, *FZ = va.FZ;
  double* MX = r.FaceMidX.data();
  double* MY = r.FaceMidY.data();
  double* MZ = r.FaceMidZ.data();
  r.InflateShown = run.infl.InflateMode;

  const int faces = static_cast<int>(p.faceMoves.size()) - 1;
  const int* start = p.faceStart.data();
  const int* verts = p.faceVerts.data();
  for (int f = 1; f <= faces; ++f) {
    const int a = start[f], b = start[f + 1];
    if (a == b) continue;
    double sx = 0, sy = 0, sz = 0;
    for (int i = a; i < b; ++i) sx += X[verts[i]], sy += Y[verts[i]], sz += Z[verts[i]];
    const double count = b - a;
    MX[f] = sx / count, MY[f] = sy / count, MZ[f] = sz / count;
  }

  // Each face's share is summed first and then given to every vertex of the face.
  double* GX = p.faceForceX.data();
  double* GY = p.faceForceY.data();
  double* GZ = p.faceForceZ.data();
  std::fill(p.faceForceX.begin(), p.faceForceX.end(), 0.0);
  std::fill(p.faceForceY.begin(), p.faceForceY.end(), 0.0);
  std::fill(p.faceForceZ.begin(), p.faceForceZ.end(), 0.0);
  const double k = r.Step * run.Strength[5];
  const size_t edges = p.edgeFace1.size();
  for (size_t e = 0; e < edges; ++e) {
    const int f1 = p.edgeFace1[e], f2 = p.edgeFace2[e];
    const double cx = MX[f1] - MX[f2], cy = MY[f1] - MY[f2], cz = MZ[f1] - MZ[f2];
    const double L = std::sqrt(cx * cx + cy * cy + cz * cz);
    if (L == 0) continue;  // no direction: u = 0
    const double F = (L - p.localTarget[e]) * k / L;
    const double ux = F * cx, uy = F * cy, uz = F * cz;
    GX[f1] -= ux, GY[f1] -= uy, GZ[f1] -= uz;
    GX[f2] += ux, GY[f2] += uy, GZ[f2] += uz;
  }
  const uint8_t* moves = p.faceMoves.data();
  for (int f = 1; f <= faces; ++f) {
    if (!moves[f]) continue;  // star faces are not moved by this force
    const double gx = GX[f], gy = GY[f], gz = GZ[f];
    for (int i = start[f]; i < start[f + 1]; ++i) {
      const int v = verts[i];
      FX[v] += gx, FY[v] += gy, FZ[v] += gz;
    }
  }
}

}  // namespace kelmor
