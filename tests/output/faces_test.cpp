#include "output/faces.h"

#include <gtest/gtest.h>

#include <cmath>

#include "output_rig.h"

namespace kelmor::testing {
namespace {

Point3 Mid(const Point3& a, const Point3& b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2}; }
double Norm(const Point3& p) { return VectorLength(p.x, p.y, p.z); }

// A regular {5/k} with unit edges (k = 1 pentagon, k = 2 pentagram) around the origin.
void PlaceStar(OutputRig& rig, int k) {
  double r = 1 / (2 * std::sin(k * Pi / 5));
  for (int i = 0; i < 5; ++i) rig.Place(i, r * std::cos(2 * Pi * i / 5), r * std::sin(2 * Pi * i / 5), 0);
}

TEST(FramePoints, BarsAreTheFrameWidthWideOnUnitEdges) {
  for (int k : {1, 2}) {
    OutputRig rig({Face{{0, 1, 2, 3, 4}, k, {}}});
    PlaceStar(rig, k);
    const kelmor::Run& run = rig.run;
    // Edge p -> p + k: its distance from the centre less that of the inner edge.
    Point3 outer = Mid(VertexPosition(run, 0), VertexPosition(run, k));
    Point3 inner = Mid(FrameInnerPoint(run, 1, 1), FrameInnerPoint(run, 1, 1 + k));
    EXPECT_NEAR(Norm(outer) - Norm(inner), 0.03, 1e-12) << k;
    rig.run.FrameFraction = 0.1;
    inner = Mid(FrameInnerPoint(run, 1, 1), FrameInnerPoint(run, 1, 1 + k));
    EXPECT_NEAR(Norm(outer) - Norm(inner), 0.1, 1e-12) << k;
  }
}

TEST(FramePoints, DegenerateFaceKeepsItsPointsFinite) {
  OutputRig rig({Face{{0, 1, 2, 3}, 1, {}}});  // every vertex at the origin
  Point3 p = FrameInnerPoint(rig.run, 1, 2);
  EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
  OutputRig half({Face{{0, 1, 2, 3}, 2, {}}});  // {4/2}: the edges pass through the centre
  half.Place(0, 1, 0, 0), half.Place(1, 0, 1, 0), half.Place(2, -1, 0, 0), half.Place(3, 0, -1, 0);
  EXPECT_TRUE(std::isfinite(FrameInnerPoint(half.run, 1, 1).x));
}

TEST(PointLayout, FramePointsThenOneCentreForEachFanFaceAShapeUses) {
  // Face 1 a frame, face 2 a pentagram, face 3 a transparent fan square, face 4 blank star.
  OutputRig rig({Face{{0, 1, 2, 3}, 1, "f"}, Face{{4, 5, 6, 7, 8}, 2, ""}, Face{{0, 1, 5, 4}, 1, "nt"},
                 Face{{4, 5, 6, 7, 8}, 2, "B"}});
  kelmor::Run& run = rig.run;
  PointLayout solid = MakePointLayout(run, FaceMode::Solid, {FaceMode::Solid});
  EXPECT_EQ(solid.innerStart[1], 9);
  EXPECT_EQ(solid.innerStart[2], -1);
  EXPECT_EQ(solid.centre[2], 13);
  EXPECT_EQ(solid.centre[3], 14);
  EXPECT_EQ(solid.centre[4], -1);
  EXPECT_EQ(run.model.FaceCentre[2], 13);
  EXPECT_EQ(solid.pointCount, 15);

  run.model.FaceTSeen = 1;
  PointLayout frame = MakePointLayout(run, FaceMode::Frame, {FaceMode::Frame});
  EXPECT_EQ(frame.innerStart[2], 13);
  EXPECT_EQ(frame.innerStart[4], 22);  // blank faces keep their place in the count
  EXPECT_EQ(frame.centre[2], -1);      // a frame here, and not transparent
  EXPECT_EQ(frame.centre[3], 27);      // drawn as a fan by the transparent shape
  EXPECT_EQ(frame.pointCount, 28);
  EXPECT_EQ(run.model.FaceCentre[2], -1);
}

TEST(FaceColourRule, HighlightPairAndItsRanges) {
  OutputRig rig({Face{{0, 1, 2, 3}, 1, ""}, Face{{0, 1, 2, 3}, 1, "Qr"}, Face{{0, 1, 2, 3}, 1, "Qh"},
                 Face{{0, 1, 2}, 1, ""}, Face{{0, 1, 2, 3, 4}, 2, "Qz"}});
  kelmor::Run& run = rig.run;
  auto colours = [&](HighlightRange range) {
    std::vector<int> out;
    int colour = 7;
    for (int f = 1; f <= 5; ++f) out.push_back(FaceColour(run, f, colour, range));
    return out;
  };
  EXPECT_EQ(colours(HighlightRange::BelowFixed), (std::vector<int>{4, 21, 29, 3, 3}));
  run.HighlightMode = 1;
  run.HighlightN = 4;
  run.HighlightD = 1;
  EXPECT_EQ(colours(HighlightRange::BelowFixed), (std::vector<int>{2, 21, 29, 3, 3}));
  EXPECT_EQ(colours(HighlightRange::OutsideFixed), (std::vector<int>{2, 21, 2, 3, 3}));
  run.HighlightN = 5;
  run.HighlightD = 2;  // the unknown code keeps the triangle's index, then is highlighted
  EXPECT_EQ(colours(HighlightRange::BelowFixed), (std::vector<int>{4, 21, 29, 3, 2}));
  run.HighlightN = 0;
  EXPECT_EQ(colours(HighlightRange::BelowFixed), (std::vector<int>{2, 21, 29, 2, 2}));
}

}  // namespace
}  // namespace kelmor::testing
