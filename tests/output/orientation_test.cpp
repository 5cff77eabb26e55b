#include "output/orientation.h"

#include <gtest/gtest.h>

#include "output/faces.h"
#include "output_rig.h"

namespace kelmor::testing {
namespace {

struct OrientRig : OutputRig {
  OrientRig() : OutputRig({Face{{0, 1, 2}, 1, {}}, Face{{1, 2, 3}, 1, {}}}) {
    Place(0, 0, 0, -2);
    Place(1, 1, 0, 0);
    Place(2, 0, 1, 0.5);
    Place(3, -0.3, 0.2, 0.1);
  }
  Point3 At(int v) const { return {run.model.PosX[v], run.model.PosY[v], run.model.PosZ[v]}; }
};

void ExpectAt(const Point3& p, double x, double y, double z) {
  EXPECT_NEAR(p.x, x, 1e-12);
  EXPECT_NEAR(p.y, y, 1e-12);
  EXPECT_NEAR(p.z, z, 1e-12);
}

double Distance(const Point3& a, const Point3& b) {
  return VectorLength(a.x - b.x, a.y - b.y, a.z - b.z);
}

TEST(Orientation, OneFVertexEndsOnThePositiveZAxisAndShapeIsKept) {
  OrientRig rig;
  rig.run.model.VertexFlags[0] = "F";
  double before = Distance(rig.At(1), rig.At(2));
  OrientModel(rig.run);
  ExpectAt(rig.At(0), 0, 0, 2);
  EXPECT_NEAR(Distance(rig.At(1), rig.At(2)), before, 1e-12);
}

TEST(Orientation, FVertexAnywhereTurnsOntoPositiveZ) {
  OrientRig rig;
  rig.run.model.VertexFlags[2] = "F";
  OrientModel(rig.run);
  ExpectAt(rig.At(2), 0, 0, VectorLength(0, 1, 0.5));
}

TEST(Orientation, TwoFVerticesUseTheNearestPointOfTheirLine) {
  OrientRig rig;
  rig.Place(0, -1, 1, 1);
  rig.Place(1, 1, 1, 1);  // line y = 1, z = 1: nearest point (0, 1, 1)
  rig.run.model.VertexFlags[0] = "F";
  rig.run.model.VertexFlags[1] = "F";
  OrientModel(rig.run);
  EXPECT_NEAR(rig.At(0).z, std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(rig.At(1).z, std::sqrt(2.0), 1e-12);
}

TEST(Orientation, TVerticesTurnOntoPositiveY) {
  OrientRig rig;
  rig.run.model.VertexFlags[1] = "T";
  OrientModel(rig.run);
  ExpectAt(rig.At(1), 0, 1, 0);
}

TEST(Orientation, RVertexAtNegativeXMirrorsTheModel) {
  OrientRig rig;
  rig.run.model.VertexFlags[3] = "R";
  OrientModel(rig.run);
  ExpectAt(rig.At(3), 0.3, 0.2, 0.1);
  ExpectAt(rig.At(1), -1, 0, 0);

  OrientRig onAxis;
  onAxis.Place(3, 0, 0.2, 0.1);
  onAxis.run.model.VertexFlags[3] = "R";
  OrientModel(onAxis.run);
  ExpectAt(onAxis.At(1), 1, 0, 0);
}

TEST(Orientation, WithoutFlagsNothingMoves) {
  OrientRig rig;
  OrientModel(rig.run);
  ExpectAt(rig.At(0), 0, 0, -2);
  ExpectAt(rig.At(2), 0, 1, 0.5);
}

}  // namespace
}  // namespace kelmor::testing
