#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "relax/engine.h"
#include "relax/shape_pulls.h"
#include "support/relax_fixture.h"

namespace kelmor::testing {
namespace {


bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof(double)) == 0; }

// Everything the edge and polygon passes leave behind.
struct Figures {
  std::vector<double> force, dev, faceDeform;
  double edgeDeform = 0, polyDeform = 0;
};

// The vector path leaves each spring's force as a pull and adds every vertex's spring and
// shape pulls in one go. It must give what the plain passes give, bit for bit, signed
// zeros included: with springs in groups of four and a remainder, springs of coincident
// ends inside a group, faces of every kind, weakened faces, springs skipped between faces
// coded "n", and forces that hold values (and -0) before the passes, as local inflation
// leaves them.
TEST(EdgeAndPolygonForces, VectorAndPlainPathsGiveTheSameFiguresToTheLastBit) {
  if (!ShapePullsVectorAvailable()) GTEST_SKIP() << "no AVX2 and FMA on this processor";
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> spread(-2, 2);
  for (int extraTriangles = 0; extraTriangles < 4; ++extraTriangles) {  // spring counts mod 4
    std::vector<Face> faces;
    int next = 0;
    auto face = [&](int n, int step = 1, const std::string& code = "") {
      faces.push_back(Face{Consecutive(next, n), step, code});
      next += n;
    };
    for (int n = 3; n <= 12; ++n) face(n);
    face(5, 2), face(8, 3);
    face(4, 1, "D"), face(6, 1, "d");
    face(5, 1, "n");
    for (int t = 0; t < extraTriangles; ++t) face(3);
    face(4), face(3);  // their vertices coincide below
    RelaxRig rig(faces);
    Model& m = rig.run.model;
    for (int v = 0; v < next; ++v) m.PosX[v] = spread(random), m.PosY[v] = spread(random), m.PosZ[v] = spread(random);
    for (int v = next - 7; v < next; ++v) m.PosX[v] = m.PosY[v] = m.PosZ[v] = 0.5;
    rig.run.WeakenLimitValue = 5;
    rig.run.relax.Step = 0.001;

    auto pass = [&](bool vector) {
      BuildRelaxPlan(rig.run);
      RelaxState& r = rig.run.relax;
      for (int v = 0; v < next; ++v) {
        r.ForceX[v] = v % 3 == 0 ? -0.0 : spread(random);
        r.ForceY[v] = v % 5 == 0 ? 0.0 : spread(random);
        r.ForceZ[v] = spread(random);
      }
      r.EdgeDeform = 0.25;
      r.PolyDeform = 7;
      EdgeAndPolygonForces(rig.run, vector);
      Figures f;
      for (int v = 0; v < next; ++v) f.force.insert(f.force.end(), {r.ForceX[v], r.ForceY[v], r.ForceZ[v]});
      for (int e = 1; e <= rig.run.edges.EdgeTotal; ++e) f.dev.push_back(rig.run.edges.EdgeDev[e]);
      for (int i = 1; i <= m.PolygonCount; ++i) f.faceDeform.push_back(r.FaceDeform[i]);
      f.edgeDeform = r.EdgeDeform;
      f.polyDeform = r.PolyDeform;
      EXPECT_EQ(r.PolyDeformPrev, 7);
      return f;
    };
    std::mt19937_64 start = random;
    const Figures plain = pass(false);
    random = start;  // the same forces before both passes
    const Figures vector = pass(true);
    const std::string where = std::to_string(rig.run.relax.plan.springA.size()) + " springs";
    EXPECT_GT(plain.edgeDeform, 1) << where;
    EXPECT_TRUE(SameBits(plain.edgeDeform, vector.edgeDeform)) << where;
    EXPECT_TRUE(SameBits(plain.polyDeform, vector.polyDeform)) << where;
    for (size_t i = 0; i < plain.force.size(); ++i)
      EXPECT_TRUE(SameBits(plain.force[i], vector.force[i]))
          << where << ", vertex " << i / 3 << " axis " << i % 3 << ": " << plain.force[i] << " and "
          << vector.force[i];
    for (size_t i = 0; i < plain.dev.size(); ++i)
      EXPECT_TRUE(SameBits(plain.dev[i], vector.dev[i])) << where << ", edge " << i + 1;
    for (size_t i = 0; i < plain.faceDeform.size(); ++i)
      EXPECT_TRUE(SameBits(plain.faceDeform[i], vector.faceDeform[i])) << where << ", face " << i + 1;
  }
}

}  // namespace
}  // namespace kelmor::testing
