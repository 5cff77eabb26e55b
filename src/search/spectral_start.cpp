#include "search/spectral_start.h"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <random>

namespace kelmor {

namespace {

using Eigen::MatrixXd;

// Edge adjacency, one co-membership matrix for each kind of face (sides, step) weighted
// by the distance around the face, and two-step adjacency: all symmetric, all unchanged
// by any renumbering that maps the faces onto themselves.
std::vector<MatrixXd> StructureMatrices(const SolidGraph& g) {
  const int n = g.vertexCount;
  std::vector<MatrixXd> mats;
  MatrixXd adjacency = MatrixXd::Zero(n, n);
  for (size_t e = 0; e < g.edges.size(); ++e) {
    const auto [a, b] = g.edges[e];
    if (a != b && g.target(e) > 0.999) adjacency(a, b) = adjacency(b, a) = 1;
  }
  mats.push_back(adjacency);
  std::map<std::pair<int, int>, MatrixXd> byKind;
  for (size_t f = 0; f < g.faces.size(); ++f) {
    const std::vector<int>& face = g.faces[f];
    const int sides = static_cast<int>(face.size());
    auto it = byKind.find({sides, g.steps[f]});
    if (it == byKind.end()) it = byKind.emplace(std::pair{sides, g.steps[f]}, MatrixXd::Zero(n, n)).first;
    MatrixXd& m = it->second;
    for (int i = 0; i < sides; ++i)
      for (int j = 0; j < sides; ++j) {
        if (i == j) continue;
        const int d = std::min((i - j + sides) % sides, (j - i + sides) % sides);
        m(face[i], face[j]) += 1 + 0.37 * d;
      }
  }
  for (auto& [kind, m] : byKind) mats.push_back(std::move(m));
  mats.push_back(adjacency * adjacency);
  return mats;
}

// The combination's weights are fixed pseudo-random numbers in [0.5, 1.5): generic enough
// that unrelated eigenspaces do not meet, and the same on every run.
MatrixXd Combined(const std::vector<MatrixXd>& mats) {
  std::mt19937_64 rng(1);
  MatrixXd m = MatrixXd::Zero(mats[0].rows(), mats[0].cols());
  for (const MatrixXd& part : mats) m += (0.5 + static_cast<double>(rng() >> 11) * 0x1.0p-53) * part;
  return m;
}

// Placement read from a V x 3 matrix.
std::vector<Point3> Placement(const MatrixXd& x) {
  std::vector<Point3> at(static_cast<size_t>(x.rows()));
  for (Eigen::Index v = 0; v < x.rows(); ++v) at[static_cast<size_t>(v)] = {x(v, 0), x(v, 1), x(v, 2)};
  return at;
}

// RMS of length / mean length - 1 over edge lengths summing to `sum`; infinite when the
// edges have collapsed to a point.
double RelativeSpread(const std::vector<double>& lengths, double sum) {
  const double mean = sum / static_cast<double>(lengths.size());
  if (!(mean > 1e-12)) return INFINITY;
  double sq = 0;
  for (double d : lengths) sq += (d / mean - 1) * (d / mean - 1);
  return std::sqrt(sq / static_cast<double>(lengths.size()));
}

// Edge spread of cos(t) U + sin(t) W, for the scan: the per-edge differences are taken
// once.
class MixScore {
 public:
  MixScore(const SolidGraph& g, const MatrixXd& u, const MatrixXd& w) {
    for (size_t e = 0; e < g.edges.size(); ++e) {
      const auto [a, b] = g.edges[e];
      du_.push_back((u.row(a) - u.row(b)) / g.target(e));
      dw_.push_back((w.row(a) - w.row(b)) / g.target(e));
    }
    lengths_.resize(du_.size());
  }
  double operator()(double t) {
    const double c = std::cos(t), s = std::sin(t);
    double sum = 0;
    for (size_t e = 0; e < du_.size(); ++e) sum += lengths_[e] = (c * du_[e] + s * dw_[e]).norm();
    return RelativeSpread(lengths_, sum);
  }

 private:
  std::vector<Eigen::RowVector3d> du_, dw_;
  std::vector<double> lengths_;
};

// The angles in [0, pi) where the spread has a local minimum, best first, at most `most`
// of them: a scan at tenth-degree steps, then a golden-section search around each step.
// Several are kept because the best may place two vertices at one point.
std::vector<double> BestAngles(MixScore& score, size_t most) {
  constexpr int kSteps = 1800;
  const double step = M_PI / kSteps;
  std::vector<double> scan(kSteps);
  for (int k = 0; k < kSteps; ++k) scan[k] = score(k * step);
  std::vector<std::pair<double, int>> minima;
  for (int k = 0; k < kSteps; ++k)
    if (scan[k] <= scan[(k + kSteps - 1) % kSteps] && scan[k] <= scan[(k + 1) % kSteps])
      minima.push_back({scan[k], k});
  std::sort(minima.begin(), minima.end());
  if (minima.size() > most) minima.resize(most);
  std::vector<double> angles;
  const double golden = (std::sqrt(5.0) - 1) / 2;
  for (const auto& [value, k] : minima) {
    double lo = (k - 1) * step, hi = (k + 1) * step;
    double x1 = hi - golden * (hi - lo), x2 = lo + golden * (hi - lo);
    double f1 = score(x1), f2 = score(x2);
    for (int i = 0; i < 80 && hi - lo > 1e-15; ++i) {
      if (f1 < f2) {
        hi = x2, x2 = x1, f2 = f1;
        x1 = hi - golden * (hi - lo), f1 = score(x1);
      } else {
        lo = x1, x1 = x2, f1 = f2;
        x2 = lo + golden * (hi - lo), f2 = score(x2);
      }
    }
    angles.push_back(std::min(f1, f2) < value ? (f1 < f2 ? x1 : x2) : k * step);
  }
  return angles;
}

// The map carrying eigenspace ui onto uj when both carry one irreducible representation:
// the orthogonal factor of a nonzero intertwiner Uj^T S Ui, whose singular values are then
// all equal. None when every structure matrix gives zero or unequal singular values.
std::optional<Eigen::Matrix3d> Intertwiner(const std::vector<MatrixXd>& mats, const MatrixXd& ui,
                                           const MatrixXd& uj) {
  for (const MatrixXd& s : mats) {
    const Eigen::Matrix3d c = uj.transpose() * s * ui;
    if (c.norm() < 1e-6 * std::max(1.0, s.norm() / std::sqrt(static_cast<double>(s.rows())))) continue;
    Eigen::JacobiSVD<Eigen::Matrix3d> svd(c, Eigen::ComputeFullU | Eigen::ComputeFullV);
    const Eigen::Vector3d sv = svd.singularValues();
    if (sv(2) < 1e-6 * sv(0) || sv(0) > sv(2) * (1 + 1e-6)) return std::nullopt;
    return Eigen::Matrix3d(svd.matrixU() * svd.matrixV().transpose());
  }
  return std::nullopt;
}

// Edge spread of cos(t) U + sin(t) V (+-R(r)), R the rotation by the vector r: the mix of
// two eigenspaces that carry different representations of the topology's symmetry but
// may carry the same one of the solid's smaller symmetry group, the map between them
// unknown.
class TurnedMixScore {
 public:
  TurnedMixScore(const SolidGraph& g, const MatrixXd& u, const MatrixXd& v) {
    for (size_t e = 0; e < g.edges.size(); ++e) {
      const auto [a, b] = g.edges[e];
      du_.push_back((u.row(a) - u.row(b)) / g.target(e));
      dv_.push_back((v.row(a) - v.row(b)) / g.target(e));
    }
    lengths_.resize(du_.size());
  }
  static Eigen::Matrix3d Turn(const Eigen::Vector4d& x, double mirror) {
    const Eigen::Vector3d r = x.tail<3>();
    const double angle = r.norm();
    const Eigen::Matrix3d turn =
        angle < 1e-12 ? Eigen::Matrix3d::Identity()
                      : Eigen::AngleAxisd(angle, r / angle).toRotationMatrix();
    return mirror * turn;
  }
  double operator()(const Eigen::Vector4d& x, double mirror) {
    const double c = std::cos(x(0)), s = std::sin(x(0));
    const Eigen::Matrix3d turn = s * Turn(x, mirror);
    double sum = 0;
    for (size_t e = 0; e < du_.size(); ++e) sum += lengths_[e] = (c * du_[e] + dv_[e] * turn).norm();
    return RelativeSpread(lengths_, sum);
  }

 private:
  std::vector<Eigen::RowVector3d> du_, dv_;
  std::vector<double> lengths_;
};

// Nelder-Mead downhill simplex from x with initial steps `step`; returns the best point.
template <class F>
Eigen::Vector4d Downhill(F&& f, Eigen::Vector4d x, double step, int iterations) {
  std::array<Eigen::Vector4d, 5> p;
  std::array<double, 5> v;
  for (int i = 0; i < 5; ++i) {
    p[i] = x;
    if (i > 0) p[i](i - 1) += step;
    v[i] = f(p[i]);
  }
  for (int it = 0; it < iterations; ++it) {
    std::array<int, 5> order{0, 1, 2, 3, 4};
    std::sort(order.begin(), order.end(), [&](int a, int b) { return v[a] < v[b]; });
    const int best = order[0], worst = order[4], second = order[3];
    Eigen::Vector4d centre = Eigen::Vector4d::Zero();
    for (int i = 0; i < 4; ++i) centre += p[order[i]] / 4;
    const Eigen::Vector4d reflected = centre + (centre - p[worst]);
    const double fr = f(reflected);
    if (fr < v[best]) {
      const Eigen::Vector4d expanded = centre + 2 * (centre - p[worst]);
      const double fe = f(expanded);
      if (fe < fr) p[worst] = expanded, v[worst] = fe;
      else p[worst] = reflected, v[worst] = fr;
    } else if (fr < v[second]) {
      p[worst] = reflected, v[worst] = fr;
    } else {
      const Eigen::Vector4d contracted = centre + 0.5 * (p[worst] - centre);
      const double fc = f(contracted);
      if (fc < v[worst]) {
        p[worst] = contracted, v[worst] = fc;
      } else {
        for (int i = 0; i < 5; ++i)
          if (i != best) p[i] = p[best] + 0.5 * (p[i] - p[best]), v[i] = f(p[i]);
      }
    }
  }
  int best = 0;
  for (int i = 1; i < 5; ++i)
    if (v[i] < v[best]) best = i;
  return p[best];
}

std::string PairLabel(size_t i, size_t j, double angle) {
  char text[80];
  std::snprintf(text, sizeof text, "pair %zu+%zu at %.2f degrees", i + 1, j + 1, angle * 180 / M_PI);
  return text;
}

}  // namespace

std::vector<StartCandidate> SpectralCandidates(const SolidGraph& g, size_t most, int largest) {
  std::vector<StartCandidate> found;
  const int n = g.vertexCount;
  if (n < 4 || n > largest || g.edges.empty() || most == 0) return found;
  const std::vector<MatrixXd> mats = StructureMatrices(g);
  Eigen::SelfAdjointEigenSolver<MatrixXd> solver(Combined(mats));
  if (solver.info() != Eigen::Success) return found;
  const Eigen::VectorXd& values = solver.eigenvalues();
  const MatrixXd& vectors = solver.eigenvectors();

  // Eigenspaces: runs of equal eigenvalues (ascending order).
  const double tolerance = 1e-7 * std::max(1.0, values.cwiseAbs().maxCoeff());
  std::vector<MatrixXd> spaces;  // the three-dimensional ones
  for (int i = 0; i < n;) {
    int j = i;
    while (j + 1 < n && values(j + 1) - values(i) < tolerance) ++j;
    if (j - i + 1 == 3) spaces.push_back(vectors.middleCols(i, 3));
    i = j + 1;
  }

  auto keep = [&](std::vector<Point3> at, std::string label) {
    ScaleToUnitEdge(g, at);
    const double spread = EdgeSpread(g, at);
    const bool coincident = ClosestApproach(g, at) < 0.01;
    if (std::isfinite(spread)) found.push_back({std::move(at), spread, coincident, std::move(label)});
  };
  for (size_t i = 0; i < spaces.size(); ++i)
    keep(Placement(spaces[i]), "cluster " + std::to_string(i + 1));
  for (size_t i = 0; i < spaces.size(); ++i)
    for (size_t j = i + 1; j < spaces.size(); ++j) {
      auto t = Intertwiner(mats, spaces[i], spaces[j]);
      if (!t) continue;
      const MatrixXd w = spaces[j] * *t;
      MixScore score(g, spaces[i], w);
      for (double angle : BestAngles(score, 4))
        keep(Placement(std::cos(angle) * spaces[i] + std::sin(angle) * w), PairLabel(i, j, angle));
    }
  // Placements whose vertices fall together have more symmetry than the solid may have;
  // two of them mixed through an unknown turn (or turn and mirror) can have the solid's,
  // as the great dirhombicosidodecahedron's does. Downhill searches over the mixing angle
  // and the turn, from fixed pseudo-random starts, find it.
  std::vector<size_t> fallen;
  for (size_t i = 0; i < spaces.size() && fallen.size() < 8; ++i)
    if (ClosestApproach(g, Placement(spaces[i])) < 0.01) fallen.push_back(i);
  std::mt19937_64 rng(2);
  auto uniform = [&](double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(rng() >> 11) * 0x1.0p-53;
  };
  for (size_t a = 0; a < fallen.size(); ++a)
    for (size_t b = a + 1; b < fallen.size(); ++b) {
      TurnedMixScore score(g, spaces[fallen[a]], spaces[fallen[b]]);
      bool placed = false;  // one placement a pair: the others are the same turned
      for (double mirror : {1.0, -1.0})
        for (int trial = 0; trial < 4 && !placed; ++trial) {
          Eigen::Vector4d x(uniform(0, M_PI), uniform(-M_PI, M_PI), uniform(-M_PI, M_PI),
                            uniform(-M_PI, M_PI));
          x = Downhill([&](const Eigen::Vector4d& y) { return score(y, mirror); }, x, 0.3, 400);
          if (score(x, mirror) > 1e-6) continue;
          const MatrixXd mixed = std::cos(x(0)) * spaces[fallen[a]] +
                                 std::sin(x(0)) * spaces[fallen[b]] * TurnedMixScore::Turn(x, mirror);
          std::vector<Point3> at = Placement(mixed);
          ScaleToUnitEdge(g, at);
          if (ClosestApproach(g, at) < 0.01) continue;
          placed = true;
          keep(std::move(at), "turned pair " + std::to_string(fallen[a] + 1) + "+" +
                                  std::to_string(fallen[b] + 1));
        }
    }
  std::stable_sort(found.begin(), found.end(), [](const StartCandidate& a, const StartCandidate& b) {
    return a.coincident != b.coincident ? b.coincident : a.spread < b.spread;
  });
  if (found.size() > most) found.resize(most);
  return found;
}

}  // namespace kelmor
