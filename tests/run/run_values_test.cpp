#include "run/run_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelmor {
namespace {

TEST(RunValues, ForcedRhombusDiagonals) {
  RhombusValue none = ComputeRhombus("0");
  EXPECT_EQ(none.shortDiag, 0.0);  // no forced rhombus

  RhombusValue square = ComputeRhombus("90");
  EXPECT_NEAR(square.longDiag, std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(square.shortDiag, std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(ComputeRhombus("P4").angle, square.angle, 1e-12);
  EXPECT_NEAR(ComputeRhombus("p4").angle, square.angle, 1e-12);

  // The golden rhombus of the triacontahedron, the rhombic dodecahedron's face and its
  // flatter cousin: diagonal ratios phi, sqrt 2 and phi squared.
  const double phi = (1 + std::sqrt(5.0)) / 2;
  for (const char* t : {"r30", "R30"}) {
    RhombusValue r = ComputeRhombus(t);
    EXPECT_NEAR(r.longDiag / r.shortDiag, phi, 1e-12) << t;
  }
  RhombusValue r12 = ComputeRhombus("r12");
  EXPECT_NEAR(r12.longDiag / r12.shortDiag, std::sqrt(2.0), 1e-12);
  RhombusValue mr30 = ComputeRhombus("MR30");
  EXPECT_NEAR(mr30.longDiag / mr30.shortDiag, phi * phi, 1e-12);
  // Unit edge: the diagonals are the legs of a right triangle with hypotenuse 2.
  EXPECT_NEAR(mr30.longDiag * mr30.longDiag + mr30.shortDiag * mr30.shortDiag, 4.0, 1e-12);
}

}  // namespace
}  // namespace kelmor
