#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "model/limits.h"
#include "relax/relaxation.h"
#include "run/run.h"

namespace kelmor {

namespace {

// A detected failure: the message is shown and the run ends (not as an error).
[[noreturn]] void EndRunWith(Run& run, const std::string& text) {
  run.host.message(text);
  throw RunAbandoned{false};
}

double& SignatureSlot(Run& run) {
  std::vector<double>& slots = run.relax.IsomorphSignature;
  if (slots.size() < static_cast<size_t>(MaxIsomorphs) + 1) slots.resize(MaxIsomorphs + 1, 0.0);
  if (run.IsomorphIndex < 0 || run.IsomorphIndex > MaxIsomorphs) raiseError(ErrSubscript);
  return slots[run.IsomorphIndex];
}

// Moves the centre of the sphere through the four "C" vertices to the origin. The centre
// c satisfies 2 e_k.(c - C1) = e_k.e_k for the edge vectors e_k = C(k+1) - C1; writing
// c - C1 = (x1 e1 + x2 e2 + x3 e3) / 2 turns this into the Gram system G x = r solved here.
void PlaceByCentroids(Run& run, const int (&c)[4]) {
  Model& m = run.model;
  double e[3][3];
  for (int k = 0; k < 3; ++k) {
    e[k][0] = m.PosX[c[k + 1]] - m.PosX[c[0]];
    e[k][1] = m.PosY[c[k + 1]] - m.PosY[c[0]];
    e[k][2] = m.PosZ[c[k + 1]] - m.PosZ[c[0]];
  }
  auto dot = [&](int a, int b) { return e[a][0] * e[b][0] + e[a][1] * e[b][1] + e[a][2] * e[b][2]; };
  double g[3][4];
  double scale = 0;
  for (int k = 0; k < 3; ++k) {
    for (int j = 0; j < 3; ++j) {
      g[k][j] = dot(k, j);
      scale = std::fmax(scale, std::fabs(g[k][j]));
    }
    g[k][3] = dot(k, k);
  }
  // Coplanar points leave a pivot at rounding level rather than exactly 0.
  const double tiny = scale * 1e-12;
  for (int col = 0; col < 3; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 3; ++row)
      if (std::fabs(g[row][col]) > std::fabs(g[pivot][col])) pivot = row;
    if (pivot != col) std::swap(g[pivot], g[col]);
    if (!(std::fabs(g[col][col]) > tiny)) EndRunWith(run, "Error 4 " + std::to_string(col + 1));
    for (int row = col + 1; row < 3; ++row) {
      const double f = g[row][col] / g[col][col];
      for (int j = col; j < 4; ++j) g[row][j] -= f * g[col][j];
    }
  }
  double x[3];
  for (int k = 2; k >= 0; --k) {
    double s = g[k][3];
    for (int j = k + 1; j < 3; ++j) s -= g[k][j] * x[j];
    x[k] = s / g[k][k];
  }
  double centre[3];
  const double base[3] = {m.PosX[c[0]], m.PosY[c[0]], m.PosZ[c[0]]};
  for (int a = 0; a < 3; ++a) centre[a] = base[a] + (x[0] * e[0][a] + x[1] * e[1][a] + x[2] * e[2][a]) / 2;
  for (int i = m.MinVertex; i <= m.MaxVertex; ++i) {
    m.PosX[i] -= centre[0];
    m.PosY[i] -= centre[1];
    m.PosZ[i] -= centre[2];
  }
}

}  // namespace

void PrepareSolution(Run& run) {
  Model& m = run.model;
  RelaxState& r = run.relax;
  const int lo = m.MinVertex, hi = m.MaxVertex;
  double& signature = SignatureSlot(run);
  r.ViewRadius = 0;
  signature = 0;

  // Centre on the vertices that belong to an edge (the origin for input coordinates).
  double cx = 0, cy = 0, cz = 0;
  if (!Ticked(run.session.options.incord)) {
    int count = 0;
    for (int i = lo; i <= hi; ++i) {
      if (run.edges.VertexDegree[i] > 0) {
        cx += m.PosX[i], cy += m.PosY[i], cz += m.PosZ[i];
        ++count;
      }
    }
    if (count > 0) cx /= count, cy /= count, cz /= count;
  }
  double radius = 0;
  for (int i = lo; i <= hi; ++i) {
    m.PosX[i] -= cx, m.PosY[i] -= cy, m.PosZ[i] -= cz;
    radius = std::fmax(radius, std::sqrt(m.PosX[i] * m.PosX[i] + m.PosY[i] * m.PosY[i] +
                                         m.PosZ[i] * m.PosZ[i]));
  }
  r.ViewRadius = 3.5 * radius;
  r.ViewDistance = 5 * r.ViewRadius;

  // Signature: weighted pairwise distances (squared distances when coincident vertices
  // are allowed), invariant under rotation, translation and mirroring.
  r.SolutionValid = 1;
  r.CoincidenceReported = 0;
  const bool allowCoincident = run.AllowCoincident == 1;
  const double* X = m.PosX.data();
  const double* Y = m.PosY.data();
  const double* Z = m.PosZ.data();
  double w = 1;
  for (int i = lo; i <= hi; ++i) {
    if (run.IsomorphDetect == 1) w = i + 1;
    for (int j = i + 1; j <= hi; ++j) {
      const double dx = X[j] - X[i], dy = Y[j] - Y[i], dz = Z[j] - Z[i];
      double s = w * (dx * dx + dy * dy + dz * dz);
      if (!allowCoincident) {
        if (s > 1e-7) {
          s = std::sqrt(s);
        } else {
          if (r.CoincidenceReported == 0) run.host.setStatus("Co-incident vertices found");
          r.CoincidenceReported = 1;
          r.SolutionValid = 0;
        }
      }
      signature += s;
    }
  }

  int centroids[4];
  int found = 0;
  for (int i = lo; i <= hi; ++i) {
    if (m.VertexFlags[i].find('C') == std::string::npos) continue;
    if (found < 4) centroids[found] = i;
    ++found;
  }
  if (found == 0) return;
  if (found != 4) EndRunWith(run, "Error: Exactly 4 centroid vertices must be defined");
  PlaceByCentroids(run, centroids);
}

bool IsDuplicate(const Run& run) {
  const std::vector<double>& slots = run.relax.IsomorphSignature;
  const int current = run.IsomorphIndex;
  if (current < 0 || static_cast<size_t>(current) >= slots.size()) return false;
  for (int n = 1; n < current; ++n)
    if (std::fabs(slots[current] - slots[n]) < 0.005) return true;
  return false;
}

}  // namespace kelmor
