#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "relax/vertex_steps.h"

namespace kelmor::testing {
namespace {

// Columns of n vertices from a seed; a few values set by hand after.
struct Columns {
  std::array<std::vector<double>, 12> c;
  explicit Columns(int n, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> spread(-3, 3);
    for (auto& column : c) {
      column.resize(static_cast<size_t>(n));
      for (double& v : column) v = spread(random);
    }
  }
  StepColumns view() {
    return {c[0].data(), c[1].data(), c[2].data(), c[3].data(), c[4].data(), c[5].data(),
            c[6].data(), c[7].data(), c[8].data(), c[9].data(), c[10].data(), c[11].data()};
  }
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Four vertices at a time must give the plain loop's positions, velocities, sums and z
// range to the last bit, and then the same centred positions: for counts that leave a tail, a first vertex other than 0, and a
// vertex that ran away (its NaN reaches the sums, never the z range).
TEST(StepVertices, VectorAndPlainPathsAgreeToTheLastBit) {
  if (!StepVerticesVectorAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
  struct Case {
    int lo, hi;
    bool runaway;
  };
  for (const Case k : {Case{0, 0, false}, {0, 3, false}, {1, 6, false}, {0, 119, false},
                       {3, 40, true}, {0, 8, true}}) {
    Columns plain(k.hi + 1, 11), vector(k.hi + 1, 11);
    if (k.runaway)
      for (Columns* c : {&plain, &vector}) c->c[11][k.lo + 1] = std::numeric_limits<double>::quiet_NaN();
    const StepSums a = StepVertices(plain.view(), k.lo, k.hi, 0.5, false);
    const StepSums b = StepVertices(vector.view(), k.lo, k.hi, 0.5, true);
    const std::string at = std::to_string(k.lo) + ".." + std::to_string(k.hi);
    EXPECT_TRUE(SameBits(a.x, b.x) && SameBits(a.y, b.y)) << at;
    EXPECT_EQ(std::isnan(a.z), k.runaway) << at;
    EXPECT_TRUE(SameBits(a.z, b.z) || (std::isnan(a.z) && std::isnan(b.z))) << at;
    EXPECT_TRUE(SameBits(a.zmax, b.zmax) && SameBits(a.zmin, b.zmin)) << at;
    EXPECT_LE(a.zmin, a.zmax) << at;
    CentreVertices(plain.view(), k.lo, k.hi, 0.1, -2.5, 1e-17, false);
    CentreVertices(vector.view(), k.lo, k.hi, 0.1, -2.5, 1e-17, true);
    for (size_t col = 0; col < 9; ++col)
      for (int i = 0; i <= k.hi; ++i) {
        const double p = plain.c[col][i], v = vector.c[col][i];
        EXPECT_TRUE(SameBits(p, v) || (std::isnan(p) && std::isnan(v))) << at << " column " << col << " row " << i;
      }
  }
}

// The step itself: the old position kept, velocity damped and pushed, position moved.
TEST(StepVertices, OneStepMovesByTheDampedVelocityPlusTheForce) {
  for (bool vector : {false, true}) {
    if (vector && !StepVerticesVectorAvailable()) continue;
    Columns c(5, 3);
    const Columns before = c;
    const StepSums s = StepVertices(c.view(), 0, 4, 0.5, vector);
    double sum = 0;
    for (int i = 0; i < 5; ++i) {
      const double v = 0.5 * before.c[6][i] + before.c[9][i];
      EXPECT_EQ(c.c[3][i], before.c[0][i]);
      EXPECT_EQ(c.c[6][i], v);
      EXPECT_EQ(c.c[0][i], before.c[0][i] + v);
      sum += c.c[0][i];
    }
    EXPECT_EQ(s.x, sum);
  }
}

}  // namespace
}  // namespace kelmor::testing
