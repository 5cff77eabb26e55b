#include "facts/planar_finish.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace kelmor {

namespace {

using Triplets = std::vector<Eigen::Triplet<double>>;

// The unknowns: three coordinates a vertex, then (n, d) of each face being flattened.
struct Layout {
  int vmin = 0, vertices = 0;
  std::vector<int> faceNumber;             // input numbering of each face flattened
  std::vector<std::vector<int>> corners;   // distinct corners, by vertex number
  int size() const { return 3 * vertices + 4 * static_cast<int>(corners.size()); }
  int x(int v) const { return 3 * (v - vmin); }
  int plane(size_t i) const { return 3 * vertices + 4 * static_cast<int>(i); }
  int constraints() const {
    int m = 0;
    for (const auto& c : corners) m += static_cast<int>(c.size()) + 1;
    return m;
  }
};

Layout LayoutOf(const SolidView& solid) {
  Layout l;
  l.vmin = solid.vmin;
  l.vertices = solid.vmax - solid.vmin + 1;
  for (int f = 1; f <= solid.faceCount; ++f) {
    std::vector<int> corners;
    for (int k = solid.faceStart[f]; k < solid.faceStart[f + 1]; ++k) {
      const int v = solid.faceVerts[k];
      if (v >= solid.vmin && v <= solid.vmax && std::find(corners.begin(), corners.end(), v) == corners.end())
        corners.push_back(v);
    }
    if (corners.size() < 4) continue;
    l.faceNumber.push_back(f);
    l.corners.push_back(std::move(corners));
  }
  return l;
}

Eigen::Vector3d At(const Eigen::VectorXd& u, int index) { return u.segment<3>(index); }

// The least-squares plane of some points: unit normal, offset, and the largest distance.
struct Fit {
  Eigen::Vector3d normal;
  double offset = 0, spread = 0;
};

Fit FitPlane(const Eigen::VectorXd& u, const Layout& l, const std::vector<int>& corners) {
  Eigen::Vector3d centre = Eigen::Vector3d::Zero();
  for (int v : corners) centre += At(u, l.x(v));
  centre /= static_cast<double>(corners.size());
  Eigen::Matrix3d spread = Eigen::Matrix3d::Zero();
  for (int v : corners) spread += (At(u, l.x(v)) - centre) * (At(u, l.x(v)) - centre).transpose();
  Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(spread);
  Fit fit;
  fit.normal = solver.eigenvectors().col(0);
  fit.offset = fit.normal.dot(centre);
  for (int v : corners) fit.spread = std::max(fit.spread, std::fabs(fit.normal.dot(At(u, l.x(v))) - fit.offset));
  return fit;
}

struct Figures {
  double offPlane = 0;  // largest, in mean edges
  int worstFace = -1;   // index into the layout's faces
  double ratio = 1, edge = 0, meanEdge = 1;
};

Figures Measure(const Eigen::VectorXd& u, const Layout& l, const SolidView& solid) {
  Figures f;
  double shortest = 0, longest = 0, sum = 0;
  int units = 0;
  for (size_t e = 0; e < solid.edgeA.size(); ++e) {
    const double length = (At(u, l.x(solid.edgeA[e])) - At(u, l.x(solid.edgeB[e]))).norm();
    f.edge += std::fabs(length - solid.edgeTarget[e]);
    if (solid.edgeTarget[e] != 1.0) continue;
    shortest = units ? std::min(shortest, length) : length;
    longest = units ? std::max(longest, length) : length;
    sum += length;
    ++units;
  }
  if (units) f.meanEdge = sum / units;
  f.ratio = shortest > 0 ? longest / shortest : 1;
  for (size_t i = 0; i < l.corners.size(); ++i) {
    const double off = FitPlane(u, l, l.corners[i]).spread / f.meanEdge;
    if (off > f.offPlane) f.offPlane = off, f.worstFace = static_cast<int>(i);
  }
  return f;
}

// The KKT system of one step: [J'J + mu I, A'; A, 0] [dx; lambda] = [-J'r; -c].
void Assemble(const Eigen::VectorXd& u, const Layout& l, const SolidView& solid, Eigen::SparseMatrix<double>& kkt,
              Eigen::VectorXd& rhs) {
  const int n = l.size();
  constexpr double mu = 1e-9;
  Triplets t;
  rhs.setZero(n + l.constraints());
  for (int i = 0; i < n; ++i) t.emplace_back(i, i, mu);
  for (size_t e = 0; e < solid.edgeA.size(); ++e) {
    const int a = l.x(solid.edgeA[e]), b = l.x(solid.edgeB[e]);
    const Eigen::Vector3d diff = At(u, a) - At(u, b);
    const double length = diff.norm();
    if (length == 0 || a == b) continue;
    const Eigen::Vector3d g = diff / length;
    const double r = length - solid.edgeTarget[e];
    const Eigen::Matrix3d block = g * g.transpose();
    for (int i = 0; i < 3; ++i) {
      rhs(a + i) -= g(i) * r;
      rhs(b + i) += g(i) * r;
      for (int j = 0; j < 3; ++j) {
        t.emplace_back(a + i, a + j, block(i, j));
        t.emplace_back(b + i, b + j, block(i, j));
        t.emplace_back(a + i, b + j, -block(i, j));
        t.emplace_back(b + i, a + j, -block(i, j));
      }
    }
  }
  int row = n;
  auto both = [&t](int r, int c, double v) {
    t.emplace_back(r, c, v);
    t.emplace_back(c, r, v);
  };
  for (size_t f = 0; f < l.corners.size(); ++f) {
    const int p = l.plane(f);
    const Eigen::Vector3d normal = At(u, p);
    for (int v : l.corners[f]) {
      const Eigen::Vector3d x = At(u, l.x(v));
      for (int i = 0; i < 3; ++i) both(row, l.x(v) + i, normal(i)), both(row, p + i, x(i));
      both(row, p + 3, -1);
      rhs(row++) = -(normal.dot(x) - u(p + 3));
    }
    for (int i = 0; i < 3; ++i) both(row, p + i, 2 * normal(i));
    rhs(row++) = -(normal.squaredNorm() - 1);
  }
  kkt.resize(row, row);
  kkt.setFromTriplets(t.begin(), t.end());
}

std::string Figure(const char* format, double value) {
  char text[40];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

PlanarFinishReport PlanarFinish(const SolidView& solid, StartPositions positions, const PlanarFinishSettings& settings) {
  PlanarFinishReport report;
  if (solid.vmax < solid.vmin) return report;
  const Layout l = LayoutOf(solid);
  Eigen::VectorXd u(l.size());
  for (int v = solid.vmin; v <= solid.vmax; ++v) {
    const size_t s = static_cast<size_t>(v);
    u.segment<3>(l.x(v)) << positions.x[s], positions.y[s], positions.z[s];
  }
  const Figures before = Measure(u, l, solid);
  report.offPlaneBefore = report.offPlaneAfter = before.offPlane;
  report.ratioBefore = report.ratioAfter = before.ratio;
  report.edgeBefore = report.edgeAfter = before.edge;
  if (before.offPlane <= settings.flatness) {
    report.alreadyFlat = true;
    return report;
  }
  for (size_t f = 0; f < l.corners.size(); ++f) {
    const Fit fit = FitPlane(u, l, l.corners[f]);
    u.segment<3>(l.plane(f)) = fit.normal;
    u(l.plane(f) + 3) = fit.offset;
  }
  Eigen::SparseMatrix<double> kkt;
  Eigen::VectorXd rhs;
  Eigen::SparseLU<Eigen::SparseMatrix<double>> lu;
  bool analysed = false;
  Figures now = before;
  for (report.steps = 1; report.steps <= settings.maxSteps; ++report.steps) {
    Assemble(u, l, solid, kkt, rhs);
    if (!analysed) lu.analyzePattern(kkt), analysed = true;
    lu.factorize(kkt);
    if (lu.info() != Eigen::Success) break;
    const Eigen::VectorXd step = lu.solve(rhs);
    if (lu.info() != Eigen::Success || !step.allFinite()) break;
    u += step.head(l.size());
    now = Measure(u, l, solid);
    // Flat, and the lengths no longer moving at the scale of the rounding.
    if (now.offPlane <= settings.flatness * 0.1 && step.head(l.size()).lpNorm<Eigen::Infinity>() < 1e-12) break;
  }
  report.steps = std::min(report.steps, settings.maxSteps);
  if (!u.allFinite() || now.offPlane > settings.flatness) {
    for (size_t f = 0; f < l.corners.size(); ++f)
      if (!u.allFinite() || FitPlane(u, l, l.corners[f]).spread / now.meanEdge > settings.flatness)
        report.bentFaces.push_back(l.faceNumber[f]);
    return report;
  }
  report.offPlaneAfter = now.offPlane;
  report.ratioAfter = now.ratio;
  report.edgeAfter = now.edge;
  if (now.ratio > settings.maxRatio) {
    report.tooDistorted = true;
    return report;
  }
  for (int v = solid.vmin; v <= solid.vmax; ++v) {
    const size_t s = static_cast<size_t>(v);
    positions.x[s] = u(l.x(v)), positions.y[s] = u(l.x(v) + 1), positions.z[s] = u(l.x(v) + 2);
  }
  report.moved = true;
  return report;
}

std::string PlanarFinishLine(const PlanarFinishReport& r) {
  if (r.alreadyFlat)
    return "Planar finish: every face is flat already (" + Figure("%.2g", r.offPlaneBefore) +
           " of an edge off its plane at most); nothing moved";
  if (!r.bentFaces.empty()) {
    std::string faces;
    for (size_t i = 0; i < r.bentFaces.size() && i < 10; ++i)
      faces += (i ? ", " : "") + std::to_string(r.bentFaces[i]);
    if (r.bentFaces.size() > 10) faces += " and " + std::to_string(r.bentFaces.size() - 10) + " more";
    return std::string("Planar finish: ") + (r.bentFaces.size() == 1 ? "face " : "faces ") + faces +
           " cannot be flattened while the edges keep their lengths; the relaxed positions are kept";
  }
  if (r.tooDistorted)
    return "Planar finish: the faces come flat only with the longest edge " + Figure("%.4f", r.ratioAfter) +
           " times the shortest; the relaxed positions are kept";
  return "Planar finish: faces flat to " + Figure("%.2g", r.offPlaneAfter) + " of an edge (were " +
         Figure("%.2g", r.offPlaneBefore) + "), edge ratio " + Figure("%.6f", r.ratioAfter) + " (was " +
         Figure("%.6f", r.ratioBefore) + "), edge deformation " + Figure("%.6g", r.edgeAfter) + " (was " +
         Figure("%.6g", r.edgeBefore) + "), " + std::to_string(r.steps) + " steps";
}

}  // namespace kelmor
