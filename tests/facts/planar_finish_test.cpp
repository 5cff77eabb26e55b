#include "facts/planar_finish.h"

#include <gtest/gtest.h>

#include "facts/test_solids.h"

namespace kelmor {
namespace {

// A SolidView of a FactsSolid: vertices 0..n-1, its outline edges as unit springs.
struct View {
  explicit View(const FactsSolid& s) : solid(s) {
    faceStart = {0, 0};
    for (const FactsFace& f : s.faces) {
      faceVerts.insert(faceVerts.end(), f.corners.begin(), f.corners.end());
      faceStart.push_back(static_cast<int>(faceVerts.size()));
      faceStep.push_back(f.step);
    }
    for (auto [a, b] : OutlineEdges(s)) edgeA.push_back(a), edgeB.push_back(b), target.push_back(1.0);
    for (const Vec3& p : s.points) x.push_back(p.x), y.push_back(p.y), z.push_back(p.z);
  }
  SolidView view() const {
    SolidView v;
    v.vmin = 0, v.vmax = static_cast<int>(x.size()) - 1;
    v.faceCount = static_cast<int>(solid.faces.size());
    v.faceStart = faceStart, v.faceVerts = faceVerts, v.faceStep = faceStep;
    v.edgeA = edgeA, v.edgeB = edgeB, v.edgeTarget = target;
    return v;
  }
  StartPositions positions() { return {x, y, z}; }
  FactsSolid now() const {
    FactsSolid s = solid;
    for (size_t i = 0; i < x.size(); ++i) s.points[i] = {x[i], y[i], z[i]};
    return s;
  }
  FactsSolid solid;
  std::vector<int> faceStart, faceVerts, faceStep{0}, edgeA, edgeB;
  std::vector<double> target, x, y, z;
};

FactsSolid BentCube() {
  FactsSolid s = testing::Cube();
  s.points[7] = s.points[7] * 1.03;
  s.points[0] = s.points[0] * 0.99;
  return s;
}

TEST(PlanarFinishTest, FlattensBentFacesAndKeepsTheEdgesNearOne) {
  View v(BentCube());
  const double before = ComputeFacts(v.now()).offPlane;
  ASSERT_GT(before, 1e-3);
  const PlanarFinishReport r = PlanarFinish(v.view(), v.positions());
  ASSERT_TRUE(r.moved) << PlanarFinishLine(r);
  const SolidFacts after = ComputeFacts(v.now());
  EXPECT_LE(after.offPlane, 1e-9);
  EXPECT_NEAR(r.offPlaneBefore, before, 1e-12);
  EXPECT_NEAR(r.offPlaneAfter, after.offPlane, 1e-12);
  // A cube can be flat with every edge 1: the finish finds it.
  EXPECT_LT(after.edgeRatio, 1 + 1e-6);
  EXPECT_LT(r.edgeAfter, r.edgeBefore);
  EXPECT_TRUE(after.convex);
  EXPECT_NE(PlanarFinishLine(r).find("Planar finish: faces flat to "), std::string::npos);
}

TEST(PlanarFinishTest, FlatFacesAreLeftWhereTheyAre) {
  View v(testing::Cube());
  const std::vector<double> x = v.x;
  const PlanarFinishReport r = PlanarFinish(v.view(), v.positions());
  EXPECT_TRUE(r.alreadyFlat);
  EXPECT_FALSE(r.moved);
  EXPECT_EQ(v.x, x);
  EXPECT_NE(PlanarFinishLine(r).find("nothing moved"), std::string::npos);
}

TEST(PlanarFinishTest, WhatItCannotDoLeavesThePositionsAlone) {
  // Too few steps to converge: the bent faces are named, nothing moves.
  {
    View v(BentCube());
    const std::vector<double> x = v.x, z = v.z;
    PlanarFinishSettings settings;
    settings.maxSteps = 1;
    settings.flatness = 1e-15;
    const PlanarFinishReport r = PlanarFinish(v.view(), v.positions(), settings);
    EXPECT_FALSE(r.moved);
    EXPECT_FALSE(r.bentFaces.empty());
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.z, z);
    EXPECT_NE(PlanarFinishLine(r).find("cannot be flattened"), std::string::npos) << PlanarFinishLine(r);
  }
  // An icosahedron (unit edges) with a face through all twelve corners can only be pressed flat.
  {
    FactsSolid t = testing::Icosahedron();
    for (Vec3& p : t.points) p = p * 0.5;
    t.faces.push_back({{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 1});
    View v(t);
    const std::vector<double> y = v.y;
    const PlanarFinishReport r = PlanarFinish(v.view(), v.positions());
    EXPECT_FALSE(r.moved);
    EXPECT_TRUE(r.tooDistorted) << PlanarFinishLine(r);
    EXPECT_EQ(v.y, y);
    EXPECT_NE(PlanarFinishLine(r).find("the relaxed positions are kept"), std::string::npos);
  }
}

}  // namespace
}  // namespace kelmor
