#include <gtest/gtest.h>

#include "topology/topology.h"
#include "topology_rig.h"

namespace kelmor::testing {
namespace {

const char* const kQuestion = "Collapse possible star polygon found in input?";

// Collapse, clean-up and tidy-up, as the run does them.
void Collapse(TopologyRig& rig) {
  CollapseStarPolygons(rig.run);
  RemoveUnusedVertices(rig.run);
  TidyFaces(rig.run);
}

struct FanCase {
  int length;
  int step;  // step of the collapsed face
};

class FanCollapse : public ::testing::TestWithParam<FanCase> {};

TEST_P(FanCollapse, YesMakesOneStarFaceOnTheRim) {
  const FanCase c = GetParam();
  auto faces = FanFaces(c.length);
  faces.push_back(Face{{1, 2, 3}, 1, {}});  // a face after the fan closes its run
  TopologyRig rig(faces);
  rig.host.defaultYesNo = true;
  rig.DebugOn();
  CollapseStarPolygons(rig.run);
  ListLine found;
  found << "star polygon found :" << c.length << "Vertices :";
  for (int j = 1; j <= c.length; ++j) found << j;
  EXPECT_EQ(rig.DebugLines().at(0), found.str());
  EXPECT_EQ(rig.DebugLines().at(1), "  Centered on vertex:  0 ");
  EXPECT_EQ(rig.run.model.FaceSize[1], c.length);
  EXPECT_EQ(rig.run.model.FaceStep[1], c.step);
  for (int k = 2; k <= c.length; ++k) EXPECT_EQ(rig.run.model.FaceSize[k], -1);

  RemoveUnusedVertices(rig.run);
  TidyFaces(rig.run);
  const Model& m = rig.run.model;
  EXPECT_EQ(rig.host.yesNoQuestions, std::vector<std::string>{kQuestion});
  ASSERT_EQ(m.PolygonCount, 2);
  EXPECT_EQ(m.FaceSize[1], c.length);
  EXPECT_EQ(m.FaceSize[2], 3);
  // The centre 0 is gone and the rim 1..n is now 0..n-1.
  EXPECT_EQ(rig.DebugLinesStarting("Vertex removed :"),
            std::vector<std::string>{"Vertex removed : 0 "});
  EXPECT_EQ(m.MinVertex, 0);
  EXPECT_EQ(m.MaxVertex, c.length - 1);
  EXPECT_EQ(rig.FaceOf(2), (std::vector<int>{0, 1, 2}));
}

TEST_P(FanCollapse, NoKeepsTheTriangles) {
  const FanCase c = GetParam();
  TopologyRig rig(FanFaces(c.length));
  rig.host.defaultYesNo = false;
  Collapse(rig);
  EXPECT_EQ(rig.host.yesNoQuestions.size(), 1u);
  EXPECT_EQ(rig.run.model.PolygonCount, c.length);
  EXPECT_EQ(rig.run.model.MinVertex, 0);
  EXPECT_EQ(rig.run.model.MaxVertex, c.length);
  for (int f = 1; f <= c.length; ++f) EXPECT_EQ(rig.FaceOf(f), FanFaces(c.length)[f - 1].vertices);
}

INSTANTIATE_TEST_SUITE_P(Lengths, FanCollapse,
                         ::testing::Values(FanCase{5, 2}, FanCase{6, 1}, FanCase{7, 1},
                                           FanCase{8, 3}, FanCase{9, 1}, FanCase{10, 3}),
                         [](const auto& info) {
                           return "fan" + std::to_string(info.param.length) + "_step" +
                                  std::to_string(info.param.step);
                         });

TEST(StarCollapse, PentagramRingOrderAfterCollapse) {
  TopologyRig rig(FanFaces(5));
  rig.host.defaultYesNo = true;
  Collapse(rig);
  // The rim 1..5 (now 0..4) is the star's outline; the tidy-up puts it into ring order.
  EXPECT_EQ(rig.FaceOf(1), (std::vector<int>{0, 2, 4, 1, 3}));
}

TEST(StarCollapse, FourTrianglesAreNeverOffered) {
  TopologyRig rig(FanFaces(4));
  Collapse(rig);
  EXPECT_TRUE(rig.host.yesNoQuestions.empty());
  EXPECT_EQ(rig.run.model.PolygonCount, 4);
}

TEST(StarCollapse, AskedOnceForSeveralFans) {
  auto faces = FanFaces(5, 0, 1);
  auto second = FanFaces(8, 10, 11);
  faces.insert(faces.end(), second.begin(), second.end());
  TopologyRig rig(faces);
  rig.host.defaultYesNo = true;
  Collapse(rig);
  EXPECT_EQ(rig.host.yesNoQuestions.size(), 1u);
  ASSERT_EQ(rig.run.model.PolygonCount, 2);
  EXPECT_EQ(rig.run.model.FaceStep[1], 2);
  EXPECT_EQ(rig.run.model.FaceStep[2], 3);
  // Centres 10 and 0 removed, vertices 6..9 were never used: 0..18 -> 0..12.
  EXPECT_EQ(rig.run.model.MaxVertex, 12);
}

TEST(StarCollapse, FanAtTheStartOfASecondRunIsCounted) {
  // A triangle with another centre ends the first run and starts the next one.
  std::vector<Face> faces = {Face{{7, 8, 9}, 1, {}}};
  auto fan = FanFaces(5);
  faces.insert(faces.end(), fan.begin(), fan.end());
  TopologyRig rig(faces);
  rig.host.defaultYesNo = true;
  CollapseStarPolygons(rig.run);
  EXPECT_EQ(rig.run.model.FaceSize[2], 5);
  EXPECT_EQ(rig.FaceOf(2), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(StarCollapse, SquareIsNoPartOfTheFanAfterIt) {
  // Four triangles around 0 after a square whose first vertex is 0: only four triangles.
  std::vector<Face> faces = {Face{{0, 1, 9, 8}, 1, {}}};
  auto fan = FanFaces(4);
  faces.insert(faces.end(), fan.begin(), fan.end());
  TopologyRig rig(faces);
  rig.host.defaultYesNo = true;
  Collapse(rig);
  EXPECT_TRUE(rig.host.yesNoQuestions.empty());
  EXPECT_EQ(rig.run.model.PolygonCount, 5);
}

TEST(StarCollapse, CentreStillUsedByAnotherFaceStays) {
  auto faces = FanFaces(5);
  faces.push_back(Face{{2, 0, 6}, 1, {}});
  TopologyRig rig(faces);
  rig.host.defaultYesNo = true;
  Collapse(rig);
  EXPECT_EQ(rig.run.model.PolygonCount, 2);
  EXPECT_EQ(rig.run.model.MaxVertex, 6);
  EXPECT_EQ(rig.FaceOf(2), (std::vector<int>{2, 0, 6}));
}

TEST(VertexCleanUp, GapsAreClosedAndEverythingFollowsItsVertex) {
  TopologyRig rig(Plain({{1, 2, 5}, {2, 6, 5}, {1, 5, 6}, {1, 6, 2}}));
  Model& m = rig.run.model;
  rig.DebugOn();
  m.VertexFlags[5] = "F";
  m.VertexFlags[6] = "*";
  // Starting coordinates stand in input order from MinVertex 1: vertex 5 at row 4.
  m.VertexX[4] = 0.5;
  m.VertexY[4] = -1.5;
  m.VertexZ[5] = 2.5;
  m.VertexX[1] = 7;  // vertex 2 keeps its row
  m.EdgeList(1, 1) = 5, m.EdgeList(1, 2) = 6, m.EdgeList(1, 3) = 2;
  m.EdgeList(2, 1) = 1, m.EdgeList(2, 2) = 2, m.EdgeList(2, 3) = 1;
  m.EdgeCount = 3;
  m.SegmentIndex = 1;
  for (int v : {1, 2, 5, 6}) {
    m.RealmMark[m.RealmCount] = v;
    m.RealmSegment[m.RealmCount++] = 1;
  }
  m.RealmMark[m.RealmCount] = 6;  // another segment's row keeps its number
  m.RealmSegment[m.RealmCount++] = 2;

  RemoveUnusedVertices(rig.run);

  EXPECT_EQ(rig.DebugLines(),
            (std::vector<std::string>{"Vertex removed : 4 ", "Vertex removed : 3 "}));
  EXPECT_EQ(m.MinVertex, 1);
  EXPECT_EQ(m.MaxVertex, 4);
  EXPECT_EQ(rig.FaceOf(1), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(rig.FaceOf(2), (std::vector<int>{2, 4, 3}));
  EXPECT_EQ(m.VertexFlags[3], "F");
  EXPECT_EQ(m.VertexFlags[4], "*");
  EXPECT_EQ(m.VertexFlags[5], "");
  // Vertex 5 became 3 (row 2), vertex 6 became 4 (row 3), and the attempt start reads
  // them there.
  EXPECT_EQ(m.VertexX[2], 0.5);
  EXPECT_EQ(m.VertexY[2], -1.5);
  EXPECT_EQ(m.VertexZ[3], 2.5);
  EXPECT_EQ(m.VertexX[1], 7.0);
  EXPECT_EQ(m.VertexX[4], 0.0);
  EXPECT_EQ(m.VertexZ[5], 0.0);
  EXPECT_EQ(m.EdgeList(1, 1), 3);
  EXPECT_EQ(m.EdgeList(1, 2), 4);
  EXPECT_EQ(m.EdgeList(2, 1), 1);
  EXPECT_EQ(m.EdgeList(2, 2), 2);
  EXPECT_EQ(m.RealmMark[3], 3);
  EXPECT_EQ(m.RealmMark[4], 4);
  EXPECT_EQ(m.RealmMark[5], 6);
}

TEST(VertexCleanUp, NothingRemovedWritesNothing) {
  TopologyRig rig(CubeFaces());
  rig.DebugOn();
  RemoveUnusedVertices(rig.run);
  EXPECT_TRUE(rig.DebugLines().empty());
  EXPECT_EQ(rig.run.model.MaxVertex, 7);
}

TEST(VertexCleanUp, BandVerticesAreInUse) {
  auto faces = CubeFaces();
  faces.push_back(Face{{0, 9}, 1, {}});
  TopologyRig rig(faces);
  RemoveUnusedVertices(rig.run);
  EXPECT_EQ(rig.run.model.MaxVertex, 8);
  EXPECT_EQ(rig.FaceOf(7), (std::vector<int>{0, 8}));
}

}  // namespace
}  // namespace kelmor::testing
