#include "topology/polygon_tables.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/geometry.h"

namespace kelmor {
namespace {

class PolygonTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { FillPolygonTables(tables); }
  PolygonTables tables;
};

TEST_F(PolygonTablesTest, ReachOfPlainPolygonsAndStars) {
  const double d36 = 36 * DegToRad, d72 = 72 * DegToRad;
  EXPECT_DOUBLE_EQ(tables.ReachTable[5][1], 0.5 / std::tan(d36) + 0.5 / std::sin(d36));
  EXPECT_DOUBLE_EQ(tables.ReachTable[6][1], 2 - 1.0 / 3);
  EXPECT_DOUBLE_EQ(tables.ReachTable[4][1], std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(tables.ReachTable[3][1], 1);
  EXPECT_DOUBLE_EQ(tables.ReachTable[2][1], 1);
  EXPECT_DOUBLE_EQ(tables.ReachTable[5][2], std::sin(d36) / std::sin(d72));
  EXPECT_NEAR(tables.ReachTable[5][2], 0.618034, 1e-6);
}

TEST_F(PolygonTablesTest, StepInverse) {
  EXPECT_EQ(tables.StepInverseTable[5][2], 2);
  EXPECT_EQ(tables.StepInverseTable[8][3], 5);
  EXPECT_EQ(tables.StepInverseTable[10][3], 3);
  for (int n = 3; n <= MaxSides; ++n) EXPECT_EQ(tables.StepInverseTable[n][1], n - 1) << n;
  // A compound has no inverse step: (6s - 1) is never even.
  EXPECT_EQ(tables.StepInverseTable[6][2], 0);
}

TEST_F(PolygonTablesTest, FilledRangeStopsAtKEqualsN) {
  for (int n = 3; n <= MaxSides; ++n)
    for (int k = 1; k <= MaxStep; ++k) {
      bool filled = k < n;
      EXPECT_EQ(tables.InradiusTable[n][k] != 0, filled) << n << "/" << k;
      if (filled) EXPECT_DOUBLE_EQ(tables.InradiusTable[n][k], 1 / (2 * std::tan(k * (Pi / n))));
      if (k > 1) EXPECT_EQ(tables.ReachTable[n][k] != 0, filled) << n << "/" << k;
    }
  EXPECT_EQ(tables.ReachTable[0][0], 0);
  EXPECT_EQ(tables.ReachTable[12][12], 0);
  EXPECT_NE(tables.ReachTable[13][12], 0);
}

}  // namespace
}  // namespace kelmor
