#include <cmath>

#include "model/geometry.h"
#include "relax/engine.h"
#include "relax/pull_lists.h"
#include "relax/shape_pulls.h"
#include "run/run.h"

namespace kelmor {

namespace {

struct Vec {
  double x, y, z;
};

inline Vec At(const double* X, const double* Y, const double* Z, int v) { return {X[v], Y[v], Z[v]}; }
inline double Distance(const Vec& a, const Vec& b) {
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

void RhombusMeasures(Run& run, int set) {
  RelaxState& r = run.relax;
  const std::vector<int>& verts = r.plan.rhombusVerts[set];
  const size_t faces = verts.size() / 4;
  if (faces == 0) return;  // the family keeps its previous targets
  const VertexArrays va(run);
  const double *X = va.X, *Y = va.Y, *Z = va.Z;
  double shortSum = 0, longSum = 0;
  for (size_t f = 0; f < faces; ++f) {
    const int* v = &verts[f * 4];
    const double p = Distance(At(X, Y, Z, v[0]), At(X, Y, Z, v[2]));
    const double q = Distance(At(X, Y, Z, v[1]), At(X, Y, Z, v[3]));
    shortSum += std::fmin(p, q);
    longSum += std::fmax(p, q);
  }
  double shortDiag = shortSum / static_cast<double>(faces);
  double longDiag = longSum / static_cast<double>(faces);
  if (run.RhombusShort[set] > 0) {
    shortDiag = run.RhombusShort[set];
    longDiag = run.RhombusLong[set];
  }
  double* targets[4][2] = {{nullptr, nullptr},
                           {&r.DiagShort1, &r.DiagLong1},
                           {&r.DiagShort2, &r.DiagLong2},
                           {&r.DiagShort3, &r.DiagLong3}};
  *targets[set][0] = shortDiag;
  *targets[set][1] = longDiag;
}

void HexagonMeasures(Run& run, int family) {
  RelaxState& r = run.relax;
  if (r.RegularHexActive == 1) return;
  const std::vector<int>& verts = r.plan.hexVerts[family];
  const size_t faces = verts.size() / 6;
  if (faces == 0) return;
  const VertexArrays va(run);
  const double *X = va.X, *Y = va.Y, *Z = va.Z;
  double pairSum = 0;
  for (size_t f = 0; f < faces; ++f) {
    const int* v = &verts[f * 6];
    const double d1 = Distance(At(X, Y, Z, v[0]), At(X, Y, Z, v[3]));
    const double d2 = Distance(At(X, Y, Z, v[1]), At(X, Y, Z, v[4]));
    const double d3 = Distance(At(X, Y, Z, v[2]), At(X, Y, Z, v[5]));
    const double a = std::fabs(d2 - d1), b = std::fabs(d3 - d2), c = std::fabs(d1 - d3);
    // The closest pair of diagonals; ties go to b, then c.
    if (b <= c && b <= a)
      pairSum += (d2 + d3) / 2;
    else if (c <= a)
      pairSum += (d1 + d3) / 2;
    else
      pairSum += (d1 + d2) / 2;
  }
  const double pair = pairSum / static_cast<double>(faces);
  const double odd = std::sqrt(5.0) > pair ? 2 * std::sqrt(1 - (pair * pair - 1) / 4) + 1 : 1.0;
  if (family == 1) {
    r.HexPairD = pair;
    r.HexOddD = odd;
  } else {
    r.HexPaird = pair;
    r.HexOddd = odd;
  }
}

namespace {

// The faces of the rhombus sets and hexagon families: their targets depend on the family
// figures, one position at a time, into the same pull and length slots.
void FamilyPulls(Run& run, double kFull, double kWeak) {
  RelaxState& r = run.relax;
  RelaxPlan& p = r.plan;
  const VertexArrays va(run);
  const double *X = va.X, *Y = va.Y, *Z = va.Z;
  double* pulls = p.pulls.data();
  double* lengths = p.shapeLengths.data();
  const double rhShort[4] = {0, r.DiagShort1, r.DiagShort2, r.DiagShort3};
  const double rhLong[4] = {0, r.DiagLong1, r.DiagLong2, r.DiagLong3};
  const double hexPair[3] = {0, r.HexPairD, r.HexPaird};
  const double hexOdd[3] = {0, r.HexOddD, r.HexOddd};
  const bool hexShaped = r.RegularHexActive == 0;

  for (int face : p.shapeFamilyFaces) {
    const ShapeFace& s = p.shapeFaces[face];
    const double k = s.weak ? kWeak : kFull;
    const int* idx = &p.shapeIdx[static_cast<size_t>(s.first) * 8];
    const uint8_t* onV = &p.shapeOnV[s.first];
    const int hex = hexShaped ? s.hex : 0;
    Vec mean{0, 0, 0};
    if (hex != 0) {
      for (int i = 0; i < 6; ++i) mean.x += X[idx[i * 8]], mean.y += Y[idx[i * 8]], mean.z += Z[idx[i * 8]];
      mean.x /= 6, mean.y /= 6, mean.z /= 6;
    }
    for (int pos = 0; pos < s.n; ++pos, idx += 8) {
      const Vec P = At(X, Y, Z, idx[0]);
      Vec R = At(X, Y, Z, idx[1]);
      if (s.nr == 2) {
        R = {(R.x + X[idx[2]]) * 0.5, (R.y + Y[idx[2]]) * 0.5, (R.z + Z[idx[2]]) * 0.5};
      } else if (s.nr == 3) {
        R = {(R.x + X[idx[2]] + X[idx[3]]) / 3, (R.y + Y[idx[2]] + Y[idx[3]]) / 3,
             (R.z + Z[idx[2]] + Z[idx[3]]) / 3};
      }
      Vec M{(X[idx[4]] + X[idx[5]]) * 0.5, (Y[idx[4]] + Y[idx[5]]) * 0.5, (Z[idx[4]] + Z[idx[5]]) * 0.5};
      if (s.nm == 4) {
        M = {(M.x + (X[idx[6]] + X[idx[7]]) * 0.5) * 0.5, (M.y + (Y[idx[6]] + Y[idx[7]]) * 0.5) * 0.5,
             (M.z + (Z[idx[6]] + Z[idx[7]]) * 0.5) * 0.5};
      }
      const double G = Distance(M, R);
      // Near and far points together: the target is the far point itself.
      double ratio = G > 0 ? s.reach / G : 999;
      ratio *= s.reachStep;
      if (s.rhombus != 0 && G > 0) {
        const double dv = Distance(P, R);
        const double sh = rhShort[s.rhombus], lg = rhLong[s.rhombus];
        bool onShort;
        if (onV[pos])
          onShort = !(Pi / 2 > run.RhombusAngle[s.rhombus]);
        else
          onShort = (sh + lg) / 2 >= dv;
        ratio = (onShort ? sh : lg) / G;
      }
      if (hex != 0) {
        M = mean;
        const double dv = Distance(P, R);
        if (dv > 0) {
          const double pair = hexPair[hex], odd = hexOdd[hex];
          ratio = std::fabs(dv - odd) > std::fabs(dv - pair) ? 2 * pair / dv : 2 * odd / dv;
        }
      }
      const double ox = R.x + (M.x - R.x) * ratio - P.x;
      const double oy = R.y + (M.y - R.y) * ratio - P.y;
      const double oz = R.z + (M.z - R.z) * ratio - P.z;
      lengths[s.slot + pos] = std::sqrt(ox * ox + oy * oy + oz * oz);
      // F = L·k along o/L: the pull is k·o (nothing when the vertex is on target).
      double* pull = pulls + static_cast<size_t>(s.slot + pos) * 4;
      pull[0] = k * ox, pull[1] = k * oy, pull[2] = k * oz;
    }
  }
}

}  // namespace

void PolygonForces(Run& run) { PolygonForces(run, ShapePullsVectorAvailable()); }

void PolygonForces(Run& run, bool vector) {
  ShapePulls(run, PositionRows(run), vector);
  RelaxPlan& p = run.relax.plan;
  const VertexArrays va(run);
  AddPullRows(p.shapePullList, p.pulls.data(), va.FX, va.FY, va.FZ, vector);
}

void ShapePulls(Run& run, const double* rows, bool vector) {
  RelaxState& r = run.relax;
  RelaxPlan& p = r.plan;
  double* faceDeform = r.FaceDeform.data();

  const double wFull = run.Strength[4];
  double wWeak = wFull;
  if (p.anyWeakShape) {
    if (run.Strength[2] == 0) raiseError(ErrZeroDivide);
    wWeak = run.Strength[4] * run.Strength[1] / run.Strength[2];
  }
  const double kFull = r.Step * wFull * run.infl.D4Factor;
  const double kWeak = r.Step * wWeak * run.infl.D4Factor;

  ShapeGroupPulls(p, rows, kFull, kWeak, vector);
  FamilyPulls(run, kFull, kWeak);

  const double* lengths = p.shapeLengths.data();
  double total = 0;
  for (const ShapeFace& s : p.shapeFaces) {
    double deform = 0;
#pragma GCC unroll 2
    for (int slot = s.slot; slot < s.slot + s.n; ++slot) deform += lengths[slot];
    faceDeform[s.face] = deform;
    total += deform;
  }
  r.PolyDeform += total;
}

}  // namespace kelmor
