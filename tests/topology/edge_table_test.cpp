#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <random>

#include "model/geometry.h"
#include "topology/topology.h"
#include "topology_rig.h"

namespace kelmor::testing {
namespace {

// Tidy-up, edge table and adjacency, as the run does them.
void Edges(TopologyRig& rig) {
  TidyFaces(rig.run);
  BuildEdgeTable(rig.run);
  BuildAdjacency(rig.run);
}

TEST(EdgeTable, CubeHasTwelveClassOneEdgesWithTwoFaces) {
  TopologyRig rig(CubeFaces());
  rig.DebugOn();
  Edges(rig);
  const EdgeTable& t = rig.run.edges;
  ASSERT_EQ(t.EdgeTotal, 12);
  for (int e = 1; e <= 12; ++e) {
    EXPECT_EQ(t.EdgeClass[e], 1);
    EXPECT_EQ(t.EdgeTarget[e], 1.0);
    EXPECT_NE(t.EdgeFaces(e, 1), 0);
    EXPECT_NE(t.EdgeFaces(e, 2), 0);
    EXPECT_NE(t.EdgeFaces(e, 1), t.EdgeFaces(e, 2));
    EXPECT_LT(t.EdgeEnds(e, 1), t.EdgeEnds(e, 2));
  }
  auto report = rig.DebugLinesStarting("edge:");
  ASSERT_EQ(report.size(), 12u);
  EXPECT_EQ(report[0], "edge: 1 vertices: 1  and  5 sides: 1  and  4 length: 1  strength: 1 ");
  for (int v = 0; v <= 7; ++v) EXPECT_EQ(t.VertexDegree[v], 3);
  auto adjacency = rig.DebugLinesStarting("vertex:");
  ASSERT_EQ(adjacency.size(), 8u);
  EXPECT_EQ(adjacency[0], "vertex: 0   linked to:  4  1  2 ( 3 )");
}

TEST(EdgeTable, PentagramRingEdgesAndChords) {
  TopologyRig rig({Face{{1, 2, 3, 4, 5}, 2, {}}});
  rig.DebugOn();
  Edges(rig);
  const EdgeTable& t = rig.run.edges;
  ASSERT_EQ(t.EdgeTotal, 10);
  const double ring = std::sin(36 * DegToRad) / std::sin(72 * DegToRad);
  for (int e = 1; e <= 5; ++e) {
    EXPECT_DOUBLE_EQ(t.EdgeTarget[e], ring);
    EXPECT_EQ(t.EdgeClass[e], 1);
  }
  for (int e = 6; e <= 10; ++e) {
    EXPECT_EQ(t.EdgeTarget[e], 1.0);
    EXPECT_EQ(t.EdgeClass[e], 2);
    // The chords are the star's own edges: neighbours in the outline 1..5.
    int a = t.EdgeEnds(e, 1), b = t.EdgeEnds(e, 2);
    EXPECT_TRUE(b - a == 1 || (a == 1 && b == 5)) << a << "-" << b;
  }
  auto report = rig.DebugLinesStarting("edge:");
  EXPECT_EQ(report[0], "edge: 1 vertices: 1  and  3 sides: 1  and  0 length:0.618 strength: 1 ");
  EXPECT_EQ(report[5], "edge: 6 vertices: 1  and  5 sides: 1  and  0 length: 1  strength: 2 ");
}

TEST(EdgeTable, FaceMarkedNRepeatsItsRingAsClassTwo) {
  TopologyRig rig({Face{{0, 1, 2, 3}, 1, "n"}, Face{{0, 3, 4}, 1, {}}});
  Edges(rig);
  const EdgeTable& t = rig.run.edges;
  ASSERT_EQ(t.EdgeTotal, 6);
  for (int e = 1; e <= 4; ++e) EXPECT_EQ(t.EdgeClass[e], 2);
  EXPECT_EQ(t.EdgeFaces(1, 2), 1);  // merged with its own chord
  EXPECT_EQ(t.EdgeFaces(4, 2), 2);  // 3-0, last merged from the triangle
  EXPECT_EQ(t.EdgeClass[5], 1);
}

TEST(EdgeTable, MarkedEdgeInEitherOrder) {
  TopologyRig rig(CubeFaces());
  Model& m = rig.run.model;
  m.EdgeList(1, 1) = 5, m.EdgeList(1, 2) = 1, m.EdgeList(1, 3) = 2;
  m.EdgeList(2, 1) = 3, m.EdgeList(2, 2) = 7, m.EdgeList(2, 3) = 1;
  m.EdgeList(3, 1) = 0, m.EdgeList(3, 2) = 7, m.EdgeList(3, 3) = 3;  // no such edge
  m.EdgeCount = 4;
  Edges(rig);
  const EdgeTable& t = rig.run.edges;
  int marked = 0;
  for (int e = 1; e <= t.EdgeTotal; ++e) {
    if (t.EdgeEnds(e, 1) == 1 && t.EdgeEnds(e, 2) == 5) EXPECT_EQ(t.EdgeEnds(e, 3), 2);
    if (t.EdgeEnds(e, 1) == 3 && t.EdgeEnds(e, 2) == 7) EXPECT_EQ(t.EdgeEnds(e, 3), 1);
    marked += t.EdgeEnds(e, 3) != 0;
  }
  EXPECT_EQ(marked, 2);
}

TEST(Weakening, LimitThreeOnTrianglesMeetingSquaresCannotWeaken) {
  TopologyRig rig(CuboctahedronFaces());
  rig.run.WeakenLimitValue = 3;
  Edges(rig);
  const EdgeTable& t = rig.run.edges;
  ASSERT_EQ(t.EdgeTotal, 24);
  for (int e = 1; e <= 24; ++e) EXPECT_EQ(t.EdgeClass[e], 2);
  EXPECT_FALSE(CheckWeakening(rig.run));
  EXPECT_EQ(
      rig.host.messages,
      std::vector<std::string>{
          "Error: Invalid value for Weaken Limit.  No sides can be weakened.  There must be at "
          "least one edge where both adjacent polygons have a number of sides less than or "
          "equal to the Weaken Limit"});
}

TEST(Weakening, LimitFourWeakensEverything) {
  TopologyRig rig(CuboctahedronFaces());
  rig.run.WeakenLimitValue = 4;
  Edges(rig);
  for (int e = 1; e <= 24; ++e) EXPECT_EQ(rig.run.edges.EdgeClass[e], 1);
  EXPECT_TRUE(CheckWeakening(rig.run));
  EXPECT_TRUE(rig.host.messages.empty());
}

TEST(Weakening, MissingSecondFaceCountsAsNoSides) {
  TopologyRig rig({Face{{0, 1, 2, 3}, 1, {}}});  // every edge has one face
  rig.run.WeakenLimitValue = 3;
  Edges(rig);
  EXPECT_FALSE(CheckWeakening(rig.run));
  rig.run.WeakenLimitValue = 4;
  EXPECT_TRUE(CheckWeakening(rig.run));
}

int ErrorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const KelmorError& e) {
    return e.code();
  }
  return 0;
}

TEST(EdgeTable, MoreThanFortyNeighboursIsOutOfRange) {
  TopologyRig rig(FanFaces(41));
  TidyFaces(rig.run);
  BuildEdgeTable(rig.run);
  EXPECT_EQ(ErrorOf([&] { BuildAdjacency(rig.run); }), ErrSubscript);
}

TEST(EdgeTable, MoreThanTenThousandEdgesIsOutOfRange) {
  // 300 faces of 40 distinct vertices each: about 12000 different edges.
  std::mt19937 rng(7);
  std::vector<Face> faces;
  std::vector<int> pool(3000);
  std::iota(pool.begin(), pool.end(), 0);
  for (int f = 0; f < 300; ++f) {
    std::shuffle(pool.begin(), pool.end(), rng);
    faces.push_back(Face{{pool.begin(), pool.begin() + 40}, 1, {}});
  }
  TopologyRig rig(faces);
  EXPECT_EQ(ErrorOf([&] { BuildEdgeTable(rig.run); }), ErrSubscript);
}

}  // namespace
}  // namespace kelmor::testing
