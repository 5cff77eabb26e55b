#include <gtest/gtest.h>

#include <cmath>

#include "output/orientation.h"
#include "output/vrml_file.h"
#include "output_rig.h"

// Where the written model ends up: orientation by flagged vertices and the placement of
// each segment.
namespace kelmor::testing {
namespace {

Point3 At(const OutputRig& rig, int v) {
  return {rig.run.model.PosX[v], rig.run.model.PosY[v], rig.run.model.PosZ[v]};
}

// Three "F" vertices: the plane through them is turned until its point nearest the origin
// lies on the positive z axis, so the whole plane ends at z = its distance.
TEST(OrientationPlane, ThreeFVerticesTurnTheirPlaneOntoHeightOfItsDistance) {
  struct Case {
    const char* what;
    Point3 normal;  // unit
    double offset;  // the plane: p · normal = offset
  } cases[] = {{"level plane", {0, 0, 1}, 2},
               {"below the origin", {0, 0, 1}, -1.5},
               {"upright plane", {1, 0, 0}, -3},
               {"slanted plane", {1 / std::sqrt(3.0), 1 / std::sqrt(3.0), 1 / std::sqrt(3.0)}, 1.5},
               {"any plane", {0.3, -0.8, std::sqrt(1 - 0.73)}, 0.7}};
  for (const Case& c : cases) {
    OutputRig rig({Face{{0, 1, 2}, 1, {}}, Face{{1, 2, 3}, 1, {}}});
    const Point3 n = c.normal;
    // Two directions within the plane.
    Point3 u = std::fabs(n.z) < 0.9 ? Point3{n.y, -n.x, 0} : Point3{0, n.z, -n.y};
    const double lu = VectorLength(u.x, u.y, u.z);
    u = {u.x / lu, u.y / lu, u.z / lu};
    const Point3 w{n.y * u.z - n.z * u.y, n.z * u.x - n.x * u.z, n.x * u.y - n.y * u.x};
    const double in[3][2] = {{0.4, 0.1}, {-0.7, 0.5}, {0.2, -0.9}};
    for (int v = 0; v < 3; ++v) {
      rig.Place(v, c.offset * n.x + in[v][0] * u.x + in[v][1] * w.x, c.offset * n.y + in[v][0] * u.y + in[v][1] * w.y,
                c.offset * n.z + in[v][0] * u.z + in[v][1] * w.z);
      rig.run.model.VertexFlags[v] = "F";
    }
    rig.Place(3, c.offset * n.x, c.offset * n.y, c.offset * n.z);  // the nearest point itself
    OrientModel(rig.run);
    for (int v = 0; v < 3; ++v) EXPECT_NEAR(At(rig, v).z, std::fabs(c.offset), 1e-12) << c.what << ", vertex " << v;
    EXPECT_NEAR(At(rig, 3).x, 0, 1e-12) << c.what;
    EXPECT_NEAR(At(rig, 3).y, 0, 1e-12) << c.what;
    EXPECT_NEAR(At(rig, 3).z, std::fabs(c.offset), 1e-12) << c.what;
  }
}

// Face 1 coded "Y": one turn in (x, z) by the angle of (x, z) plus π/2, y untouched.
TEST(OrientationPlane, FaceCodedYTurnsInXZOnly) {
  OutputRig rig({Face{{0, 1, 2}, 1, "Y"}});
  rig.Place(0, 1, 0.5, 1);
  rig.Place(1, -1, 0.25, 0);
  rig.run.model.VertexFlags[0] = "F";
  OrientModel(rig.run);
  EXPECT_NEAR(At(rig, 0).x, 0, 1e-12);
  EXPECT_NEAR(At(rig, 0).y, 0.5, 1e-12);
  EXPECT_NEAR(At(rig, 0).z, -std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(At(rig, 1).y, 0.25, 1e-12);
  EXPECT_NEAR(VectorLength(At(rig, 1).x, 0, At(rig, 1).z), 1, 1e-12);
}

// Three "T" vertices: the nearest point of their plane goes onto the positive y axis by a
// turn in (x, y) only.
TEST(OrientationPlane, ThreeTVerticesTurnTheirPlaneOntoPositiveY) {
  OutputRig rig({Face{{0, 1, 2}, 1, {}}, Face{{1, 2, 3}, 1, {}}});
  rig.Place(0, -2, 1, 0);  // the plane x = -2
  rig.Place(1, -2, -1, 0.5);
  rig.Place(2, -2, 0.3, -1);
  for (int v = 0; v < 3; ++v) rig.run.model.VertexFlags[v] = "T";
  OrientModel(rig.run);
  for (int v = 0; v < 3; ++v) EXPECT_NEAR(At(rig, v).y, 2, 1e-12) << v;
  EXPECT_NEAR(At(rig, 0).z, 0, 1e-12);
  EXPECT_NEAR(At(rig, 1).z, 0.5, 1e-12);
}

// Every written position of segment s: position × edge length, negated on each flipped
// axis, plus the segment's offset.
TEST(SegmentPlacement, EachFlipNegatesItsOwnAxisOnly) {
  struct Case {
    int x, y, z;  // flip boxes (2 is a greyed box: not ticked)
  } cases[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {2, 2, 2}};
  for (const Case& c : cases) {
    OutputRig rig(Cube());
    kelmor::Run& run = rig.run;
    run.SegmentEdgeLength[3] = 2;
    run.SegmentOffset[1][3] = 10, run.SegmentOffset[2][3] = 20, run.SegmentOffset[3][3] = 30;
    rig.session.options.FlipX[3] = c.x, rig.session.options.FlipY[3] = c.y, rig.session.options.FlipZ[3] = c.z;
    const Point3 p = Placed(run, 3, {1, 2, 3});
    EXPECT_EQ(p.x, 10 + (c.x == 1 ? -2 : 2)) << c.x << c.y << c.z;
    EXPECT_EQ(p.y, 20 + (c.y == 1 ? -4 : 4)) << c.x << c.y << c.z;
    EXPECT_EQ(p.z, 30 + (c.z == 1 ? -6 : 6)) << c.x << c.y << c.z;
    // Another segment keeps its own (default) placement.
    run.SegmentEdgeLength[2] = 1;
    const Point3 q = Placed(run, 2, {1, 2, 3});
    EXPECT_EQ(q.x, 1);
    EXPECT_EQ(q.y, 2);
    EXPECT_EQ(q.z, 3);
  }
}

}  // namespace
}  // namespace kelmor::testing
