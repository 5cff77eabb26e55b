#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "model/geometry.h"
#include "relax/engine.h"
#include "relax/shape_pulls.h"
#include "support/relax_fixture.h"

namespace kelmor::testing {
namespace {


// Places vertices first.. of a face on a regular polygon of the given side, in order.
void PlaceRegular(Run& run, int first, int n, double side, double turn = 0) {
  const double radius = side / (2 * std::sin(Pi / n));
  for (int i = 0; i < n; ++i) {
    const double a = turn + 2 * Pi * i / n;
    run.model.PosX[first + i] = radius * std::cos(a);
    run.model.PosY[first + i] = radius * std::sin(a);
    run.model.PosZ[first + i] = 0.25;
  }
}

double ShapePass(Run& run) {
  BuildRelaxPlan(run);
  ClearForces(run);
  run.relax.PolyDeform = 0;
  for (int set = 1; set <= 3; ++set) RhombusMeasures(run, set);
  HexagonMeasures(run, 1);
  HexagonMeasures(run, 2);
  PolygonForces(run);
  return run.relax.PolyDeform;
}

double ForceOn(const Run& run, int v) {
  return VectorLength(run.relax.ForceX[v], run.relax.ForceY[v], run.relax.ForceZ[v]);
}

TEST(PolygonForces, RegularPolygonsOfUnitEdgeAreFixedPoints) {
  for (int n = 4; n <= 12; ++n) {
    RelaxRig rig({Face{Consecutive(0, n), 1, {}}});
    PlaceRegular(rig.run, 0, n, 1.0, 0.3);
    EXPECT_LT(ShapePass(rig.run), 1e-12) << n << " sides";
    for (int v = 0; v < n; ++v) EXPECT_LT(ForceOn(rig.run, v), 1e-15) << n << " sides";
  }
}

TEST(PolygonForces, StarFacesAreScaledForUnitStarEdges) {
  // {5/2} and {7/2}, {7/3} in ring order: the star's own edges have length 1.
  for (auto [n, k] : {std::pair{5, 2}, {7, 2}, {7, 3}, {8, 3}}) {
    RelaxRig rig({Face{Consecutive(0, n), k, {}}});
    const double ring = rig.run.poly.ReachTable[n][k];
    PlaceRegular(rig.run, 0, n, ring);
    EXPECT_LT(ShapePass(rig.run), 1e-12) << n << "/" << k;
    PlaceRegular(rig.run, 0, n, 1.0);  // the ring at unit edge is too big
    EXPECT_GT(ShapePass(rig.run), 0.1) << n << "/" << k;
  }
}

TEST(PolygonForces, TrianglesAndFacesCodedNGetNoShapeForce) {
  RelaxRig rig({Face{{0, 1, 2}, 1, {}}, Face{{3, 4, 5, 6}, 1, "n"}, Face{{7, 8, 9, 10, 11}, 1, "N"}});
  for (int v = 0; v <= 11; ++v) rig.run.model.PosX[v] = v * 0.37, rig.run.model.PosY[v] = v * v * 0.1;
  EXPECT_EQ(ShapePass(rig.run), 0.0);
  for (int v = 0; v <= 11; ++v) EXPECT_EQ(ForceOn(rig.run, v), 0.0);
  for (int f = 1; f <= 3; ++f) EXPECT_EQ(rig.run.relax.FaceDeform[f], 0.0);
}

TEST(PolygonForces, SquarePullsEachVertexToDiagonalRootTwo) {
  RelaxRig rig({Face{{0, 1, 2, 3}, 1, {}}});
  // A rhombus with diagonals 2 and 1: every vertex is pulled to distance sqrt 2 from its
  // opposite vertex, along the line towards the midpoint of its neighbours.
  Model& m = rig.run.model;
  m.PosX[0] = 1, m.PosY[0] = 0;
  m.PosX[1] = 0, m.PosY[1] = 0.5;
  m.PosX[2] = -1, m.PosY[2] = 0;
  m.PosX[3] = 0, m.PosY[3] = -0.5;
  const double deform = ShapePass(rig.run);
  const double k = 0.001 * 10;  // Step · Strength(4)
  EXPECT_NEAR(rig.run.relax.ForceX[0], k * (std::sqrt(2.0) - 1 - 1), 1e-15);
  EXPECT_NEAR(rig.run.relax.ForceY[1], k * (std::sqrt(2.0) - 1), 1e-15);
  EXPECT_NEAR(deform, 2 * (2 - std::sqrt(2.0)) + 2 * (std::sqrt(2.0) - 1), 1e-12);
}

TEST(PolygonForces, WeakenedFacesUseTheStrengthRatio) {
  RelaxRig rig({Face{{0, 1, 2, 3}, 1, {}}, Face{{4, 5, 6, 7, 8, 9}, 1, {}}});
  rig.run.WeakenLimitValue = 4;
  Model& m = rig.run.model;
  PlaceRegular(rig.run, 4, 6, 1.3);
  for (int v = 0; v < 4; ++v) m.PosX[v] = v == 0 ? 1.2 : std::cos(v * Pi / 2), m.PosY[v] = std::sin(v * Pi / 2);
  ShapePass(rig.run);
  const double squareForce = ForceOn(rig.run, 0), hexForce = ForceOn(rig.run, 4);
  rig.run.Strength[1] = 20;  // ratio 1/5 for the square only
  ShapePass(rig.run);
  EXPECT_NEAR(ForceOn(rig.run, 0), squareForce / 5, 1e-15);
  EXPECT_EQ(ForceOn(rig.run, 4), hexForce);
}

TEST(PolygonForces, RhombusFamiliesShareTheirMeanDiagonals) {
  RelaxRig rig({Face{{0, 1, 2, 3}, 1, "D"}, Face{{4, 5, 6, 7}, 1, "D"}});
  Model& m = rig.run.model;
  auto rhombus = [&](int first, double p, double q, double x0) {
    m.PosX[first] = x0 + p / 2, m.PosY[first] = 0;
    m.PosX[first + 1] = x0, m.PosY[first + 1] = q / 2;
    m.PosX[first + 2] = x0 - p / 2, m.PosY[first + 2] = 0;
    m.PosX[first + 3] = x0, m.PosY[first + 3] = -q / 2;
  };
  rhombus(0, 1.0, 1.6, 0);
  rhombus(4, 2.0, 1.2, 5);
  ShapePass(rig.run);
  EXPECT_DOUBLE_EQ(rig.run.relax.DiagShort1, (1.0 + 1.2) / 2);
  EXPECT_DOUBLE_EQ(rig.run.relax.DiagLong1, (1.6 + 2.0) / 2);
  // A forced angle replaces the measured diagonals entirely.
  rig.run.RhombusShort[1] = 0.9;
  rig.run.RhombusLong[1] = 1.7;
  ShapePass(rig.run);
  EXPECT_EQ(rig.run.relax.DiagShort1, 0.9);
  EXPECT_EQ(rig.run.relax.DiagLong1, 1.7);
  // Sets without faces keep what they had.
  EXPECT_EQ(rig.run.relax.DiagShort2, 0.0);
}

TEST(PolygonForces, RhombusAtItsFamilyShapeIsAFixedPoint) {
  RelaxRig rig({Face{{0, 1, 2, 3}, 1, "q"}});
  Model& m = rig.run.model;
  const double a = std::atan(2.0);  // forced: short 2 sin(a/2), long 2 cos(a/2)
  rig.run.RhombusAngle[3] = a;
  rig.run.RhombusShort[3] = 2 * std::sin(a / 2);
  rig.run.RhombusLong[3] = 2 * std::cos(a / 2);
  const double p = rig.run.RhombusLong[3], q = rig.run.RhombusShort[3];
  m.PosX[0] = p / 2, m.PosY[1] = q / 2, m.PosX[2] = -p / 2, m.PosY[3] = -q / 2;
  EXPECT_LT(ShapePass(rig.run), 1e-12);
  // Flagged "v": the vertex lies on the long diagonal since the angle is below 90 degrees.
  rig.run.model.VertexFlags[1] = "v";
  EXPECT_GT(ShapePass(rig.run), 0.1);
}

TEST(PolygonForces, HexagonMeasuresPickTheClosestPairOfDiagonals) {
  RelaxRig rig({Face{{0, 1, 2, 3, 4, 5}, 1, "D"}, Face{{6, 7, 8, 9, 10, 11}, 1, "d"}});
  PlaceRegular(rig.run, 0, 6, 1.0);
  PlaceRegular(rig.run, 6, 6, 1.0);
  rig.run.model.PosX[6] += 0.5;  // stretches the first diagonal of the "d" hexagon only
  ShapePass(rig.run);
  const RelaxState& r = rig.run.relax;
  EXPECT_NEAR(r.HexPairD, 2.0, 1e-12);
  EXPECT_NEAR(r.HexOddD, 2 * std::sqrt(1 - (4.0 - 1) / 4) + 1, 1e-12);
  EXPECT_NEAR(r.HexPaird, 2.0, 1e-12);  // d2 and d3 still agree
  // While hexagons are kept regular the measures are not taken.
  rig.run.relax.RegularHexActive = 1;
  rig.run.relax.HexPairD = -1;
  HexagonMeasures(rig.run, 1);
  EXPECT_EQ(rig.run.relax.HexPairD, -1);
}

// Ties between pairs of diagonals go to the second and third diagonals, then to the
// first and third.
TEST(PolygonForces, HexagonDiagonalTiesGoToTheSecondPairThenTheThird) {
  struct Case {
    double d1, d2, d3, pair;
  };
  for (const Case c : {Case{1, 2, 3, 2.5}, {3, 1, 2, 1.5}, {2, 1, 3, 2.5}, {2, 2, 2, 2.0}}) {
    RelaxRig rig({Face{{0, 1, 2, 3, 4, 5}, 1, "D"}});
    // Each diagonal laid along x at its own height: v0-v3, v1-v4, v2-v5.
    const double d[3] = {c.d1, c.d2, c.d3};
    for (int i = 0; i < 3; ++i) {
      rig.run.model.PosX[i] = 0, rig.run.model.PosY[i] = i, rig.run.model.PosZ[i] = 0;
      rig.run.model.PosX[i + 3] = d[i], rig.run.model.PosY[i + 3] = i, rig.run.model.PosZ[i + 3] = 0;
    }
    BuildRelaxPlan(rig.run);
    HexagonMeasures(rig.run, 1);
    EXPECT_DOUBLE_EQ(rig.run.relax.HexPairD, c.pair) << c.d1 << " " << c.d2 << " " << c.d3;
  }
}

// The vector path of the offsets works four positions at a time across the faces of one
// kind; it must give the plain path's forces and deformations to the last bit, for every
// kind of face, with padding slots, degenerate faces (near and far points together) and
// the faces of the families, which it leaves to the plain code.
TEST(PolygonForces, VectorAndPlainPathsGiveTheSameFiguresToTheLastBit) {
  if (!ShapePullsVectorAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
  std::vector<Face> faces;
  int next = 0;
  auto face = [&](int n, int step = 1, const std::string& code = "") {
    faces.push_back(Face{Consecutive(next, n), step, code});
    next += n;
  };
  for (int n = 4; n <= 12; ++n) face(n);  // squares, pentagons, ..., dodecagons: all kinds
  face(5, 2), face(7, 3), face(8, 3);      // stars
  face(4, 1, "D"), face(4, 1, "q"), face(6, 1, "D"), face(6, 1, "d");  // families
  face(3), face(5, 1, "n");                 // no shape force
  face(4), face(6);                         // to be made degenerate below
  RelaxRig rig(faces);
  Model& m = rig.run.model;
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> spread(-2, 2);
  for (int v = 0; v < next; ++v) m.PosX[v] = spread(random), m.PosY[v] = spread(random), m.PosZ[v] = spread(random);
  for (int v = next - 10; v < next; ++v) m.PosX[v] = m.PosY[v] = m.PosZ[v] = 0.5;
  rig.run.WeakenLimitValue = 5;  // squares and pentagons weakened

  struct Figures {
    std::vector<double> fx, fy, fz, faceDeform;
    double total = 0;
  };
  auto pass = [&](bool vector, bool regularHex) {
    BuildRelaxPlan(rig.run);
    ClearForces(rig.run);
    rig.run.relax.PolyDeform = 0;
    for (int set = 1; set <= 3; ++set) RhombusMeasures(rig.run, set);
    HexagonMeasures(rig.run, 1);
    HexagonMeasures(rig.run, 2);
    rig.run.relax.RegularHexActive = regularHex ? 1 : 0;
    PolygonForces(rig.run, vector);
    Figures f;
    for (int v = 0; v < next; ++v) {
      f.fx.push_back(rig.run.relax.ForceX[v]);
      f.fy.push_back(rig.run.relax.ForceY[v]);
      f.fz.push_back(rig.run.relax.ForceZ[v]);
    }
    for (int i = 1; i <= m.PolygonCount; ++i) f.faceDeform.push_back(rig.run.relax.FaceDeform[i]);
    f.total = rig.run.relax.PolyDeform;
    return f;
  };
  for (bool regularHex : {false, true}) {
    const Figures plain = pass(false, regularHex), vector = pass(true, regularHex);
    EXPECT_GT(plain.total, 1) << "the random faces are far from regular";
    EXPECT_EQ(std::memcmp(&plain.total, &vector.total, sizeof(double)), 0);
    for (int v = 0; v < next; ++v) {
      EXPECT_EQ(plain.fx[v], vector.fx[v]) << "vertex " << v;
      EXPECT_EQ(plain.fy[v], vector.fy[v]) << "vertex " << v;
      EXPECT_EQ(plain.fz[v], vector.fz[v]) << "vertex " << v;
    }
    for (size_t i = 0; i < plain.faceDeform.size(); ++i)
      EXPECT_EQ(plain.faceDeform[i], vector.faceDeform[i]) << "face " << i + 1;
    // The degenerate square and hexagon: every vertex is pulled nowhere, the deformation
    // is 0, not a NaN.
    EXPECT_EQ(vector.faceDeform[faces.size() - 2], 0.0);
    EXPECT_EQ(vector.faceDeform[faces.size() - 1], 0.0);
  }
}

}  // namespace
}  // namespace kelmor::testing
