#include "facts/solid_facts.h"

#include <gtest/gtest.h>

#include "facts/test_solids.h"

namespace kelmor {
namespace {

using testing::Cube;
using testing::Icosahedron;
using testing::Prism;

// The cube with its top face replaced by four triangles to a centre pushed down into it.
FactsSolid DentedCube() {
  FactsSolid s = Cube();
  s.points.push_back({0, 0, 0.25});
  const int apex = static_cast<int>(s.points.size()) - 1;
  std::vector<FactsFace> faces;
  for (const FactsFace& f : s.faces) {
    bool top = true;
    for (int c : f.corners) top = top && s.points[static_cast<size_t>(c)].z > 0;
    if (!top) {
      faces.push_back(f);
      continue;
    }
    for (size_t i = 0; i < f.corners.size(); ++i)
      faces.push_back({{f.corners[i], f.corners[(i + 1) % f.corners.size()], apex}, 1});
  }
  s.faces = faces;
  return s;
}

// The small stellated dodecahedron: in the plane of each vertex's five neighbours on the
// icosahedron, a pentagram through them.
FactsSolid SmallStellatedDodecahedron() {
  FactsSolid ico = Icosahedron();
  const auto rings = testing::Rings(testing::FacesOf(ico));
  FactsSolid s{ico.points, {}};
  for (const auto& [v, ring] : rings) s.faces.push_back({ring, 2});
  return s;
}

TEST(SolidFactsTest, ConvexSolidsAndTheirFigures) {
  const struct {
    const char* label;
    FactsSolid solid;
    double lowest, highest;  // dihedral angles, degrees
  } cases[] = {
      {"cube", Cube(), 90, 90},
      {"icosahedron", Icosahedron(), 138.189685, 138.189685},
      {"hexagonal prism", Prism(6, 1, false), 90, 120},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const SolidFacts f = ComputeFacts(c.solid);
    EXPECT_TRUE(f.convex);
    EXPECT_EQ(f.nonSupportingFaces, 0);
    EXPECT_FALSE(f.selfIntersecting);
    EXPECT_NEAR(f.edgeRatio, 1, 1e-12);
    EXPECT_LT(f.offPlane, 1e-12);
    EXPECT_NEAR(f.dihedralMin, c.lowest, 1e-4);
    EXPECT_NEAR(f.dihedralMax, c.highest, 1e-4);
  }
}

TEST(SolidFactsTest, ADentIsNotConvexAndShowsAReflexAngle) {
  const SolidFacts f = ComputeFacts(DentedCube());
  EXPECT_FALSE(f.convex);
  EXPECT_EQ(f.nonSupportingFaces, 4);  // the four triangles of the dent
  EXPECT_FALSE(f.selfIntersecting);
  EXPECT_GT(f.dihedralMax, 180);
  EXPECT_EQ(GroupName(f.symmetry), "C4v");
}

TEST(SolidFactsTest, StarSolidsCrossThemselves) {
  const SolidFacts star = ComputeFacts(SmallStellatedDodecahedron());
  EXPECT_TRUE(star.selfIntersecting);
  EXPECT_GT(star.crossingPairs, 0);
  EXPECT_FALSE(star.convex);
  EXPECT_EQ(GroupName(star.symmetry), "Ih");
  // The pentagrammic prism's squares pass through each other; its pentagrams lie flat.
  const SolidFacts prism = ComputeFacts(Prism(5, 2, false));
  EXPECT_TRUE(prism.selfIntersecting);
  EXPECT_EQ(GroupName(prism.symmetry), "D5h");
  // Two faces meeting along an edge or at a corner do not cross.
  EXPECT_FALSE(ComputeFacts(DentedCube()).selfIntersecting);
}

TEST(SolidFactsTest, ABentFaceIsMeasuredAgainstItsEdge) {
  FactsSolid s = Cube();
  // One corner pulled out along the diagonal: its three faces bend by the same amount.
  s.points[7] = s.points[7] * 1.02;
  const SolidFacts f = ComputeFacts(s);
  EXPECT_GT(f.offPlane, 1e-3);
  EXPECT_LT(f.offPlane, 1e-2);
  EXPECT_GE(f.offPlaneFace, 0);
  EXPECT_GT(f.edgeRatio, 1.01);
  EXPECT_EQ(GroupName(f.symmetry), "C3v");
}

TEST(SolidFactsTest, BrokenInputGivesNoFactsRatherThanACrash) {
  FactsSolid s = Cube();
  s.faces.push_back({{0, 1, 99}, 1});
  const SolidFacts f = ComputeFacts(s);
  EXPECT_EQ(f.offPlaneFace, -1);
  EXPECT_EQ(ComputeFacts(FactsSolid{}).offPlaneFace, -1);
  // Coincident points: an edge of length 0 makes the ratio infinite, said as such.
  FactsSolid flat = Cube();
  flat.points[1] = flat.points[0];
  EXPECT_TRUE(std::isinf(ComputeFacts(flat).edgeRatio));
  EXPECT_NE(FactsFields(ComputeFacts(flat)).find("edge-ratio=inf"), std::string::npos);
}

TEST(SolidFactsTest, TextsNameTheFacts) {
  const SolidFacts f = ComputeFacts(Cube());
  const std::string fields = FactsFields(f);
  EXPECT_EQ(fields.rfind("convex=yes self-intersecting=no symmetry=Oh edge-ratio=1 ", 0), 0u) << fields;
  EXPECT_NE(fields.find("dihedral=90.0000..90.0000"), std::string::npos) << fields;
  const std::string text = FactsText("cube", f);
  EXPECT_NE(text.find("convex: yes\r\n"), std::string::npos);
  EXPECT_NE(text.find("symmetry: Oh (48 operations)\r\n"), std::string::npos);
  EXPECT_NE(FactsLine(ComputeFacts(DentedCube())).find("not convex"), std::string::npos);
}

}  // namespace
}  // namespace kelmor
