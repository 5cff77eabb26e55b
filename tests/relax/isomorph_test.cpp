#include <gtest/gtest.h>

#include <cmath>

#include "model/geometry.h"
#include "relax/engine.h"
#include "support/relax_fixture.h"

namespace kelmor::testing {
namespace {

// An irregular tetrahedron: no symmetry, so relabelling moves distances around.
const std::vector<std::array<double, 3>> Points = {
    {0.3, 0.1, -0.2}, {-0.7, 0.4, 0.1}, {0.2, -0.9, 0.5}, {0.1, 0.6, 1.1}};

std::vector<Face> Tetrahedron() {
  return {Face{{0, 1, 2}, 1, {}}, Face{{0, 3, 1}, 1, {}}, Face{{0, 2, 3}, 1, {}}, Face{{1, 3, 2}, 1, {}}};
}

void Place(kelmor::Run& run, const std::vector<std::array<double, 3>>& points, double mirror = 1) {
  for (size_t i = 0; i < points.size(); ++i) {
    run.model.PosX[i] = mirror * points[i][0];
    run.model.PosY[i] = points[i][1];
    run.model.PosZ[i] = points[i][2];
  }
}

double Signature(kelmor::Run& run) {
  PrepareSolution(run);
  return run.relax.IsomorphSignature[run.IsomorphIndex];
}

TEST(PrepareSolution, CentresOnLinkedVerticesAndSizesTheView) {
  RelaxRig rig(Tetrahedron());
  Place(rig.run, Points);
  PrepareSolution(rig.run);
  const Model& m = rig.run.model;
  double cx = 0, radius = 0;
  for (int v = 0; v < 4; ++v) {
    cx += m.PosX[v];
    radius = std::max(radius, VectorLength(m.PosX[v], m.PosY[v], m.PosZ[v]));
  }
  EXPECT_NEAR(cx, 0, 1e-15);
  EXPECT_DOUBLE_EQ(rig.run.relax.ViewRadius, 3.5 * radius);
  EXPECT_DOUBLE_EQ(rig.run.relax.ViewDistance, 5 * 3.5 * radius);
  EXPECT_EQ(rig.run.relax.SolutionValid, 1);
}

TEST(PrepareSolution, MirrorImagesHaveEqualSignaturesAndNumberingCountsOnlyWhenAsked) {
  RelaxRig rig(Tetrahedron());
  Place(rig.run, Points);
  const double plain = Signature(rig.run);
  Place(rig.run, Points, -1);
  EXPECT_NEAR(Signature(rig.run), plain, 1e-12);

  // The same shape with vertices 0 and 3 exchanged.
  std::vector<std::array<double, 3>> swapped = Points;
  std::swap(swapped[0], swapped[3]);
  Place(rig.run, swapped);
  EXPECT_NEAR(Signature(rig.run), plain, 1e-12);
  rig.run.IsomorphDetect = 1;
  const double numbered = Signature(rig.run);
  Place(rig.run, Points);
  EXPECT_GT(std::fabs(Signature(rig.run) - numbered), 0.005);
}

TEST(PrepareSolution, CoincidentVerticesInvalidateTheSolutionUnlessAllowed) {
  RelaxRig rig(Tetrahedron());
  std::vector<std::array<double, 3>> points = Points;
  points[2] = points[1];
  points[3] = points[1];
  Place(rig.run, points);
  PrepareSolution(rig.run);
  EXPECT_EQ(rig.run.relax.SolutionValid, 0);
  EXPECT_EQ(rig.host.statuses, std::vector<std::string>{"Co-incident vertices found"});  // once

  // Allowed: squared distances, silently.
  rig.run.AllowCoincident = 1;
  Place(rig.run, Points);
  double squares = 0;
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b)
      squares += std::pow(VectorLength(Points[a][0] - Points[b][0], Points[a][1] - Points[b][1],
                                       Points[a][2] - Points[b][2]), 2);
  EXPECT_NEAR(Signature(rig.run), squares, 1e-12);
  EXPECT_EQ(rig.run.relax.SolutionValid, 1);
}

TEST(IsDuplicate, SignaturesCloserThanFiveThousandthsAreTheSameIsomorph) {
  RelaxRig rig(Tetrahedron());
  std::vector<double>& slots = rig.run.relax.IsomorphSignature;
  slots[1] = 0.0;
  slots[2] = 0.25;
  rig.run.IsomorphIndex = 3;
  slots[3] = 0.005;  // exactly 0.005 from slot 1: distinct
  EXPECT_FALSE(IsDuplicate(rig.run));
  slots[3] = 0.2549;
  EXPECT_TRUE(IsDuplicate(rig.run));
  rig.run.IsomorphIndex = 1;
  EXPECT_FALSE(IsDuplicate(rig.run));
}

TEST(PrepareSolution, MoreThanOneHundredIsomorphsIsOutOfRange) {
  RelaxRig rig(Tetrahedron());
  rig.run.IsomorphIndex = 101;
  try {
    PrepareSolution(rig.run);
    FAIL() << "no error";
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrSubscript);
  }
}

TEST(CentroidVertices, FourPlaceTheCentreOfTheirSphereAtTheOrigin) {
  RelaxRig rig({Face{{0, 1, 2}, 1, {}}, Face{{0, 3, 1}, 1, {}}, Face{{0, 2, 3}, 1, {}},
                Face{{1, 3, 2}, 1, {}}, Face{{4, 0, 1}, 1, {}}});
  Place(rig.run, {{1.0, 0.2, 0.3}, {-0.5, 0.9, 0.1}, {0.2, -0.8, 0.7}, {0.4, 0.1, -1.2}, {2, 2, 2}});
  for (int v = 0; v < 4; ++v) rig.run.model.VertexFlags[v] = "C";
  PrepareSolution(rig.run);
  const Model& m = rig.run.model;
  const double r0 = VectorLength(m.PosX[0], m.PosY[0], m.PosZ[0]);
  for (int v = 1; v < 4; ++v) EXPECT_NEAR(VectorLength(m.PosX[v], m.PosY[v], m.PosZ[v]), r0, 1e-12) << v;
  EXPECT_TRUE(rig.host.messages.empty());
}

TEST(CentroidVertices, CoplanarOrParallelSetsAndWrongCountsEndTheRun) {
  struct Case {
    std::vector<std::array<double, 3>> points;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{{0, 0, 0.3}, {1, 0, 0.3}, {0, 1, 0.3}, {1.3, 0.7, 0.3}}, "Error 4 3"},
      {{{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {0.5, -1, 0}}, "Error 4 2"},
  };
  for (const Case& c : cases) {
    RelaxRig rig(Tetrahedron());
    Place(rig.run, c.points);
    for (int v = 0; v < 4; ++v) rig.run.model.VertexFlags[v] = "vC";
    EXPECT_THROW(PrepareSolution(rig.run), RunAbandoned);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{c.message});
  }
  for (int count : {1, 3}) {
    RelaxRig rig(Tetrahedron());
    Place(rig.run, Points);
    for (int v = 0; v < count; ++v) rig.run.model.VertexFlags[v] = "C";
    try {
      PrepareSolution(rig.run);
      FAIL() << count;
    } catch (const RunAbandoned& a) {
      EXPECT_FALSE(a.byError);
    }
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{"Error: Exactly 4 centroid vertices must be defined"});
  }
}

TEST(Convergence, ADuplicateSolutionIsReplacedByANewAttempt) {
  // The first solution's signature sits in slot 1; the same shape again is a duplicate.
  RelaxRig rig(Tetrahedron());
  rig.run.relax.IsomorphSignature[1] = 6.0;  // six unit edges
  rig.run.IsomorphIndex = 2;
  EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::NewAttempt);
  EXPECT_EQ(rig.host.statuses.back(), "Duplicate Isomorph");
  EXPECT_LT(rig.run.relax.EdgeDeform, 0.001);
}

}  // namespace
}  // namespace kelmor::testing
