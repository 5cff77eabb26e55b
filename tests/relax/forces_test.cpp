#include <gtest/gtest.h>

#include <cmath>

#include "model/geometry.h"
#include "relax/engine.h"
#include "support/relax_fixture.h"

namespace kelmor::testing {
namespace {

struct Vec3 {
  double x, y, z;
};

// The regular tetrahedron of unit edge on vertices 0..3.
const std::vector<std::array<double, 3>> Tetrahedron = {
    {0.5, 0, -0.5 / std::sqrt(2.0)}, {-0.5, 0, -0.5 / std::sqrt(2.0)},
    {0, 0.5, 0.5 / std::sqrt(2.0)},  {0, -0.5, 0.5 / std::sqrt(2.0)}};

std::vector<Face> TetrahedronFaces(const std::string& code = {}) {
  return {Face{{0, 1, 2}, 1, code}, Face{{0, 3, 1}, 1, code}, Face{{0, 2, 3}, 1, code},
          Face{{1, 3, 2}, 1, code}};
}

void Place(Run& run, const std::vector<std::array<double, 3>>& points) {
  for (size_t i = 0; i < points.size(); ++i) {
    run.model.PosX[i] = points[i][0];
    run.model.PosY[i] = points[i][1];
    run.model.PosZ[i] = points[i][2];
  }
}

Vec3 Force(const Run& run, int v) { return {run.relax.ForceX[v], run.relax.ForceY[v], run.relax.ForceZ[v]}; }

TEST(EdgeForces, SpringPullsAlongTheEdgeWithItsClassStrength) {
  RelaxRig rig({Face{{0, 1, 2}, 1, {}}});
  kelmor::Run& run = rig.run;
  Place(run, {{0, 0, 0}, {3, 0, 0}, {0, 1, 0}});
  run.Strength[1] = 40;
  BuildRelaxPlan(run);
  ClearForces(run);
  run.relax.EdgeDeform = 0;
  EdgeForces(run);
  // Edge 0-1 has length 3, target 1: F = 2 · Step · Strength(1), towards each other.
  EXPECT_NEAR(run.relax.ForceX[1], -2 * 0.001 * 40 - 0.001 * 40 * (std::sqrt(10.0) - 1) * 3 / std::sqrt(10.0), 1e-15);
  EXPECT_EQ(run.edges.EdgeDev[1], 2.0);
  EXPECT_NEAR(run.relax.EdgeDeform, 2 + 0 + (std::sqrt(10.0) - 1), 1e-12);
  // Action and reaction: no net force.
  double sx = 0;
  for (int v = 0; v < 3; ++v) sx += run.relax.ForceX[v];
  EXPECT_NEAR(sx, 0, 1e-15);
}

TEST(EdgeForces, EdgesBetweenTwoFacesCodedNAreSkipped) {
  // A tetrahedron whose faces all carry "n" or "N": no spring acts, no deviation counts.
  std::vector<Face> faces = TetrahedronFaces("n");
  faces[1].code = "N";
  RelaxRig rig(faces);
  Place(rig.run, {{0, 0, 0}, {3, 0, 0}, {0, 3, 0}, {0, 0, 3}});
  BuildRelaxPlan(rig.run);
  ClearForces(rig.run);
  rig.run.relax.EdgeDeform = 0;
  EdgeForces(rig.run);
  EXPECT_EQ(rig.run.relax.EdgeDeform, 0.0);
  for (int v = 0; v < 4; ++v) EXPECT_EQ(VectorLength(Force(rig.run, v).x, Force(rig.run, v).y, Force(rig.run, v).z), 0.0);
  // One face without the letter brings its three edges back.
  faces[0].code = "";
  RelaxRig partly(faces);
  BuildRelaxPlan(partly.run);
  EXPECT_EQ(partly.run.relax.plan.springA.size(), 3u);
}

struct HopCase {
  float hop;
  double distance;
  double target;
  int strength;  // row of Strength used
};

TEST(HopForces, PairsArePulledToTheirHopTargets) {
  RelaxRig rig({Face{{0, 1, 2}, 1, {}}});
  kelmor::Run& run = rig.run;
  run.infl.SizeHopTable(0, 2);
  run.infl.GlobalLimit = 3;
  run.Strength[3] = 10, run.Strength[6] = 70;
  for (HopCase c : {HopCase{1, 2.0, 0.5, 3}, {2, 1.0, 1.7, 3}, {3, 3.0, 2.4, 3}, {0, 0.25, 0.0, 6},
                    {0.5f, 1.0, 0.25, 6}}) {
    Place(run, {{0, 0, 0}, {c.distance, 0, 0}, {0, 0, 50}});
    run.infl.Hop(0, 1) = run.infl.Hop(1, 0) = c.hop;
    // Beyond the limit: no force at all, but their deformation against the target of 99
    // hops (69.6) counts.
    run.infl.Hop(0, 2) = run.infl.Hop(1, 2) = 99;
    BuildRelaxPlan(run);
    ClearForces(run);
    run.relax.EdgeDeform = 0;
    HopForces(run);
    const double F = (c.distance - c.target) * 0.001 * run.Strength[c.strength];
    EXPECT_NEAR(run.relax.ForceX[0], F, 1e-15) << "hop " << c.hop;
    EXPECT_NEAR(run.relax.ForceX[1], -F, 1e-15) << "hop " << c.hop;
    const double far = std::fabs(50 - 69.6) + std::fabs(std::hypot(c.distance, 50.0) - 69.6);
    EXPECT_NEAR(run.relax.EdgeDeform, std::fabs(c.distance - c.target) + far, 1e-9) << "hop " << c.hop;
    EXPECT_EQ(run.relax.ForceZ[2], 0.0);
  }
}

TEST(HopForces, LimitIsComparedInSinglePrecision) {
  RelaxRig rig({Face{{0, 1, 2}, 1, {}}});
  kelmor::Run& run = rig.run;
  run.infl.SizeHopTable(0, 2);
  run.infl.GlobalLimit = 2;
  Place(run, {{0, 0, 0}, {1, 0, 0}, {0, 0, 50}});
  run.infl.Hop(0, 1) = 2.1f;  // equal to 2 + 0.1 in single precision: at the limit
  run.infl.Hop(0, 2) = run.infl.Hop(1, 2) = 99;
  BuildRelaxPlan(run);
  ClearForces(run);
  run.relax.EdgeDeform = 0;
  HopForces(run);
  EXPECT_EQ(run.relax.ForceX[0], 0.0);
  const double atLimit = run.relax.EdgeDeform;
  EXPECT_GT(atLimit, 0.0);  // measured all the same
  run.infl.Hop(0, 1) = 2.09f;
  ClearForces(run);
  run.relax.EdgeDeform = 0;
  HopForces(run);
  EXPECT_NE(run.relax.ForceX[0], 0.0);
}

// Rows of every length the pass splits into groups of four, two and one, with hop
// distances on both sides of 1 and of the limit, and two vertices on the same spot:
// each force and the deformation equal the pair-by-pair sums.
TEST(HopForces, WideRowsMatchThePairByPairSums) {
  for (int n : {4, 5, 6, 7, 8, 9, 12, 13}) {
    std::vector<int> ring(static_cast<size_t>(n));
    for (int v = 0; v < n; ++v) ring[static_cast<size_t>(v)] = v;
    RelaxRig rig({Face{ring, 1, {}}});
    kelmor::Run& run = rig.run;
    run.infl.SizeHopTable(0, n - 1);
    run.infl.GlobalLimit = 3;
    run.Strength[3] = 10, run.Strength[6] = 70;
    std::vector<std::array<double, 3>> at;
    for (int v = 0; v < n; ++v) at.push_back({std::cos(v * 1.7) * (1 + v % 3), std::sin(v * 0.9) * 2, 0.3 * v});
    at[static_cast<size_t>(n - 1)] = at[1];  // L = 0: measured, never divided by
    Place(run, at);
    for (int a = 0; a < n; ++a)
      for (int b = a + 1; b < n; ++b) run.infl.Hop(a, b) = run.infl.Hop(b, a) = static_cast<float>((a * 7 + b * 3) % 9) * 0.5f;
    BuildRelaxPlan(run);
    ClearForces(run);
    run.relax.EdgeDeform = 0;
    HopForces(run);

    std::vector<std::array<double, 3>> want(static_cast<size_t>(n), {0, 0, 0});
    double deform = 0;
    for (int a = 0; a < n; ++a)
      for (int b = a + 1; b < n; ++b) {
        const double h = run.infl.Hop(a, b);
        const double t = h > 1 ? (h - 1) * 0.7 + 1 : 0.5 * h;
        const double k = 0.001 * (h >= 1 ? run.Strength[3] : run.Strength[6]);
        double d[3], L2 = 0;
        for (int c = 0; c < 3; ++c) d[c] = at[a][c] - at[b][c], L2 += d[c] * d[c];
        const double L = std::sqrt(L2);
        deform += std::fabs(L - t);
        if (h >= 3.1 || L == 0) continue;
        for (int c = 0; c < 3; ++c) {
          want[a][c] -= (L - t) * k / L * d[c];
          want[b][c] += (L - t) * k / L * d[c];
        }
      }
    EXPECT_NEAR(run.relax.EdgeDeform, deform, 1e-12) << n << " vertices";
    for (int v = 0; v < n; ++v) {
      const Vec3 f = Force(run, v);
      EXPECT_NEAR(f.x, want[v][0], 1e-14) << n << " vertices, vertex " << v;
      EXPECT_NEAR(f.y, want[v][1], 1e-14) << n << " vertices, vertex " << v;
      EXPECT_NEAR(f.z, want[v][2], 1e-14) << n << " vertices, vertex " << v;
    }
  }
}

TEST(LocalInflation, FacesArePushedApartWithoutNetForce) {
  RelaxRig rig(TetrahedronFaces());
  kelmor::Run& run = rig.run;
  Place(run, Tetrahedron);
  run.infl.InflateMode = 3;
  BuildRelaxPlan(run);
  ClearForces(run);
  LocalInflationForces(run);
  EXPECT_EQ(run.relax.InflateShown, 3);
  // Face centres of the unit tetrahedron are 1/3 apart, below the target 1: outwards.
  Vec3 total{0, 0, 0};
  for (int v = 0; v < 4; ++v) {
    Vec3 f = Force(run, v);
    total = {total.x + f.x, total.y + f.y, total.z + f.z};
    const double outward = f.x * Tetrahedron[v][0] + f.y * Tetrahedron[v][1] + f.z * Tetrahedron[v][2];
    EXPECT_GT(outward, 0) << v;
  }
  EXPECT_NEAR(VectorLength(total.x, total.y, total.z), 0, 1e-15);
  // Its strength is Strength(5), whatever the edge strength.
  const Vec3 before = Force(run, 0);
  run.Strength[5] *= 2;
  run.Strength[1] *= 3;
  ClearForces(run);
  LocalInflationForces(run);
  EXPECT_NEAR(Force(run, 0).x, 2 * before.x, 1e-15);
  EXPECT_NEAR(Force(run, 0).z, 2 * before.z, 1e-15);
}

TEST(LocalInflation, DiagonalTargetsFollowInradiiAndTheDifferentialChoice) {
  // A triangle and a pentagon sharing an edge; a pentagram {5/2} sharing a ring edge
  // with another triangle.
  std::vector<Face> faces = {Face{{0, 1, 2}, 1, {}}, Face{{0, 1, 3, 4, 5}, 1, {}},
                             Face{{6, 7, 8, 9, 10}, 2, {}}, Face{{6, 7, 11}, 1, {}}};
  RelaxRig rig(faces);
  kelmor::Run& run = rig.run;
  InflationState& in = run.infl;
  in.InflateMode = 4;
  in.LocalOption = 0;
  in.LocalTarget = 1.5;
  BuildRelaxPlan(run);
  const RelaxPlan& p = run.relax.plan;
  auto inr = [&](int n, int k) { return run.poly.InradiusTable[n][k]; };
  auto targetOf = [&](int f1, int f2) {
    for (size_t e = 0; e < p.edgeFace1.size(); ++e)
      if (p.edgeFace1[e] == f1 && p.edgeFace2[e] == f2) return p.localTarget[e];
    return -1.0;
  };
  EXPECT_DOUBLE_EQ(targetOf(1, 2), (inr(3, 1) + inr(5, 1)) * 1.5);
  in.LocalOption = 2;
  in.StarTarget = 0.7;
  in.SelectedTarget = 0.2;
  in.SelectedN = 5, in.SelectedD = 1;
  BuildRelaxPlan(run);
  EXPECT_DOUBLE_EQ(targetOf(1, 2), (inr(3, 1) + inr(5, 1)) * 0.2);  // selected face wins
  in.SelectedN = 9;
  BuildRelaxPlan(run);
  EXPECT_DOUBLE_EQ(targetOf(1, 2), (inr(3, 1) + inr(5, 1)) * 1.5);
  // Next to a star the steps add up to more than 2.
  EXPECT_DOUBLE_EQ(targetOf(3, 4), (inr(5, 2) + inr(3, 1)) * 0.7);
}

}  // namespace
}  // namespace kelmor::testing
