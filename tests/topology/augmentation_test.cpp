#include <gtest/gtest.h>

#include <algorithm>

#include "topology/topology.h"
#include "topology_rig.h"

namespace kelmor::testing {
namespace {

enum Keep { KeepSides = 1, RemoveSides = 2, KeepBands = 3 };
enum Colour { Original = 0, HighlightColour = 1, TriangleColour = 2 };

// A cube whose squares are augmented by side type "4" with the given choices.
struct CubeAugment {
  TopologyRig rig{CubeFaces()};
  CubeAugment(int keep, int colour, bool ticked = true) {
    RunOptions& o = rig.session.options;
    o.Augment = ticked ? 1 : 0;
    o.AugmentVal = "4";
    o.AugmentOption = keep;
    o.AugmentColour = colour;
    rig.run.AugmentMode = ticked ? 1 : 0;
    rig.DebugOn();
  }
  void Run() {
    AugmentFaces(rig.run);
    TidyFaces(rig.run);
  }
  int Count(int size) const {
    int n = 0;
    for (int f = 1; f <= rig.run.model.PolygonCount; ++f) n += rig.run.model.FaceSize[f] == size;
    return n;
  }
};

TEST(Augmentation, LeaveSidesInPlace) {
  CubeAugment a(KeepSides, Original);
  a.Run();
  const Model& m = a.rig.run.model;
  EXPECT_EQ(m.PolygonCount, 30);
  EXPECT_EQ(a.Count(4), 6);
  EXPECT_EQ(a.Count(3), 24);
  EXPECT_EQ(m.MaxVertex, 13);
  // Face 1 (1,5,4,0) gets apex 8; its first triangle is face 7.
  EXPECT_EQ(a.rig.FaceOf(7), (std::vector<int>{1, 5, 8}));
  EXPECT_EQ(a.rig.FaceOf(10), (std::vector<int>{0, 1, 8}));
  EXPECT_EQ(a.rig.FaceOf(30), (std::vector<int>{6, 7, 13}));
  for (int f = 7; f <= 30; ++f) EXPECT_EQ(m.FaceCode[f], "Q4") << f;
  auto added = a.rig.DebugLinesStarting("Augmented triangle added");
  ASSERT_EQ(added.size(), 24u);
  EXPECT_EQ(added[0], "Augmented triangle added, side:  7 vertices:  1  5  8  ");
  EXPECT_TRUE(a.rig.DebugLinesStarting("Side :").empty());
}

TEST(Augmentation, RemoveSides) {
  CubeAugment a(RemoveSides, Original);
  a.Run();
  EXPECT_EQ(a.rig.run.model.PolygonCount, 24);
  EXPECT_EQ(a.Count(4), 0);
  EXPECT_EQ(a.rig.run.model.MaxVertex, 13);
  auto removed = a.rig.DebugLinesStarting("Side :");
  ASSERT_EQ(removed.size(), 6u);
  EXPECT_EQ(removed[0], "Side : 1 removed during augmentation");
  EXPECT_EQ(removed[5], "Side : 6 removed during augmentation");
  // The triangles moved down into the rows the squares left.
  EXPECT_EQ(a.rig.FaceOf(1), (std::vector<int>{1, 5, 8}));
}

TEST(Augmentation, LeaveBandsInPlaceMarksTheSquares) {
  CubeAugment a(KeepBands, Original);
  a.Run();
  EXPECT_EQ(a.rig.run.model.PolygonCount, 30);
  for (int f = 1; f <= 6; ++f) EXPECT_EQ(a.rig.run.model.FaceCode[f], "B") << f;
}

TEST(Augmentation, TriangleColourCodes) {
  for (auto [colour, code] :
       {std::pair{Original, "Q4"}, {HighlightColour, "Q2"}, {TriangleColour, "Q3"}}) {
    CubeAugment a(KeepSides, colour);
    a.rig.run.model.FaceCode[2] = "Qr";  // a colour by letter passes to its triangles
    a.Run();
    const Model& m = a.rig.run.model;
    EXPECT_EQ(m.FaceCode[7], code);
    for (int f = 11; f <= 14; ++f) EXPECT_EQ(m.FaceCode[f], "Qr") << code;
  }
}

TEST(Augmentation, NoOptionsChosenLeavesCodesAndFaces) {
  CubeAugment a(-1, -1);
  a.Run();
  const Model& m = a.rig.run.model;
  EXPECT_EQ(m.PolygonCount, 30);
  for (int f = 1; f <= 30; ++f) EXPECT_EQ(m.FaceCode[f], "") << f;
}

TEST(Augmentation, LetterAWithoutAugmentTicked) {
  CubeAugment a(RemoveSides, TriangleColour, /*ticked=*/false);
  a.rig.run.model.FaceCode[3] = "A";
  a.rig.run.model.FaceASeen = 1;
  a.Run();
  const Model& m = a.rig.run.model;
  EXPECT_EQ(m.PolygonCount, 10);
  EXPECT_EQ(a.Count(4), 6);  // chosen by its letter only: never removed
  EXPECT_EQ(a.rig.FaceOf(7), (std::vector<int>{3, 1, 8}));
  EXPECT_EQ(m.FaceCode[7], "Q3");
  EXPECT_EQ(m.MaxVertex, 8);
}

TEST(Augmentation, LetterAOnAFaceOfTheTypeIsRemovedByType) {
  CubeAugment a(RemoveSides, Original);
  a.rig.run.model.FaceCode[3] = "A";
  a.Run();
  EXPECT_EQ(a.Count(4), 0);
  EXPECT_EQ(a.Count(3), 24);  // augmented once, not twice
}

TEST(Augmentation, BandsFollowTheNewTriangles) {
  auto faces = CubeFaces();
  faces.push_back(Face{{0, 7}, 1, {}});
  TopologyRig rig(faces);
  rig.session.options.Augment = 1;
  rig.session.options.AugmentVal = "4";
  rig.session.options.AugmentOption = RemoveSides;
  rig.run.AugmentMode = 1;
  AugmentFaces(rig.run);
  EXPECT_EQ(rig.run.model.PolygonCount, 30);
  EXPECT_EQ(rig.FaceOf(31), (std::vector<int>{0, 7}));
  TidyFaces(rig.run);
  EXPECT_EQ(rig.run.model.PolygonCount, 24);
  EXPECT_EQ(rig.run.model.DigonCount, 1);
  EXPECT_EQ(rig.FaceOf(25), (std::vector<int>{0, 7}));
  EXPECT_EQ(rig.run.model.FaceSize[26], 0);
  EXPECT_EQ(rig.run.model.FaceSize[31], 0);
}

TEST(FaceTidyUp, SidesReportWithNothingAugmented) {
  TopologyRig rig(CubeFaces());
  rig.DebugOn();
  TidyFaces(rig.run);
  auto lines = rig.DebugLines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "sides  6 ");
  EXPECT_EQ(lines[1], "vertices  0  to  7 ");
  EXPECT_EQ(lines[2], "side 1  vertices 4  cycles 1 ");
}

TEST(FaceTidyUp, StarRingOrder) {
  TopologyRig rig({Face{{1, 2, 3, 4, 5}, 2, {}}, Face{{1, 2, 3, 4, 5, 6, 7, 8}, 3, {}},
                   Face{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 3, {}}, Face{{1, 2, 3, 4, 5, 6}, 2, {}}});
  TidyFaces(rig.run);
  EXPECT_EQ(rig.FaceOf(1), (std::vector<int>{1, 3, 5, 2, 4}));
  EXPECT_EQ(rig.FaceOf(2), (std::vector<int>{4, 1, 6, 3, 8, 5, 2, 7}));
  EXPECT_EQ(rig.FaceOf(3), (std::vector<int>{2, 5, 8, 1, 4, 7, 10, 3, 6, 9}));
  // A compound {6/2} has no single outline: left as given.
  EXPECT_EQ(rig.FaceOf(4), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace kelmor::testing
