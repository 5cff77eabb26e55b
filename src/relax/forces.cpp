#include <algorithm>
#include <cmath>

#include "relax/engine.h"
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

void EdgeForces(Run& run) {
  RelaxState& r = run.relax;
  const RelaxPlan& p = r.plan;
  const VertexArrays va(run);
  const double *X = va.X, *Y = va.Y, *Z = va.Z;
  double *FX = va.FX, *FY = va.FY, *FZ = va.FZ;
  double* dev = run.edges.EdgeDev.data();
  double k[7];
  for (int c = 0; c <= 6; ++c) k[c] = r.Step * run.Strength[c];

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

// Pairs at or beyond the hop limit have no target separation: they get no force and add
// nothing to the deformation, so the limit really limits the reach of inflation.
void HopForces(Run& run) {
  RelaxState& r = run.relax;
  const RelaxPlan& p = r.plan;
  const InflationState& infl = run.infl;
  if (p.vmax < p.vmin) return;
  if (p.vmax > MaxHopVertex ||
      infl.HopDistance.size() < static_cast<size_t>(InflationState::HopRows) * InflationState::HopRows)
    raiseError(ErrSubscript);
  const VertexArrays va(run);
  const double *X = va.X, *Y = va.Y, *Z = va.Z;
  double *FX = va.FX, *FY = va.FY, *FZ = va.FZ;
  const float limit = static_cast<float>(infl.GlobalLimit + 0.1);
  const double kFar = r.Step * run.Strength[3], kNear = r.Step * run.Strength[6];
  double sum = 0;
  for (int i = p.vmin; i <= p.vmax; ++i) {
    const float* hop = infl.HopDistance.data() + static_cast<size_t>(i) * InflationState::HopRows;
    const double xi = X[i], yi = Y[i], zi = Z[i];
    double fx = 0, fy = 0, fz = 0;
    for (int j = i + 1; j <= p.vmax; ++j) {
      const float hf = hop[j];
      if (!(limit > hf)) continue;
      const double h = hf;
      const double t = h > 1 ? (h - 1) * 0.7 + 1 : 0.5 * h;
      const double k = h >= 1 ? kFar : kNear;
      const double dx = xi - X[j], dy = yi - Y[j], dz = zi - Z[j];
      const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
      const double d = L - t;
      sum += std::fabs(d);
      if (L > 0) {
        const double f = d * k / L;
        fx -= f * dx, fy -= f * dy, fz -= f * dz;
        FX[j] += f * dx, FY[j] += f * dy, FZ[j] += f * dz;
      }
    }
    FX[i] += fx, FY[i] += fy, FZ[i] += fz;
  }
  r.EdgeDeform += sum;
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
