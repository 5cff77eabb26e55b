// Filling faces: ordinary faces exactly (convex or not), star faces as the solid file fills them.
#include "render/triangulate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kelmor::render {
namespace {

double Area(const std::vector<Triangle>& ts) {
  double a = 0;
  for (const Triangle& t : ts) {
    Vec3 c = Cross(t[1] - t[0], t[2] - t[0]);
    a += 0.5 * std::sqrt(Dot(c, c));
  }
  return a;
}

// Whether a point of the z = 0 plane lies inside any of the triangles.
bool Covered(const std::vector<Triangle>& ts, double x, double y) {
  for (const Triangle& t : ts) {
    auto side = [&](Vec3 a, Vec3 b) { return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x); };
    double s1 = side(t[0], t[1]), s2 = side(t[1], t[2]), s3 = side(t[2], t[0]);
    if ((s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0)) return true;
  }
  return false;
}

std::vector<Vec3> Star(int n, int step, double radius = 1) {
  std::vector<Vec3> outline;
  for (int j = 0; j < n; ++j) {
    double a = 2 * std::numbers::pi * j * step / n + std::numbers::pi / 2;
    outline.push_back({radius * std::cos(a), radius * std::sin(a), 0});
  }
  return outline;
}

TEST(FaceFilling, SimpleOutlinesAreCutExactly) {
  struct Case {
    const char* name;
    std::vector<Vec3> outline;
    double area;
  } cases[] = {
      {"triangle", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, 2},
      {"square, clockwise", {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, 1},
      {"L shape", {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}}, 3},
      {"arrow head", {{0, 0, 0}, {4, 2, 0}, {0, 4, 0}, {1, 2, 0}}, 6},
      {"tilted square", {{0, 0, 0}, {1, 0, 1}, {1, 1, 1}, {0, 1, 0}}, std::sqrt(2.0)},
      {"regular heptagon", Star(7, 1), 7 * 0.5 * std::sin(2 * std::numbers::pi / 7)},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(CrossesItself(c.outline)) << c.name;
    auto ts = FaceTriangles(c.outline);
    EXPECT_EQ(ts.size(), c.outline.size() - 2) << c.name;
    EXPECT_NEAR(Area(ts), c.area, 1e-9) << c.name;
    // Every triangle turns as the outline does: exported shells rely on it to face outwards.
    const Vec3 normal = NewellNormal(c.outline);
    for (const Triangle& t : ts) EXPECT_GT(Dot(Cross(t[1] - t[0], t[2] - t[0]), normal), 0) << c.name;
  }
  // The notch of the L shape and of the arrow head stays empty.
  EXPECT_FALSE(Covered(FaceTriangles(cases[2].outline), 1.5, 1.5));
  EXPECT_FALSE(Covered(FaceTriangles(cases[3].outline), 0.5, 2.0));
}

TEST(FaceFilling, StarFacesShowAsStars) {
  for (auto [n, step] : {std::pair{5, 2}, {7, 2}, {7, 3}, {8, 3}}) {
    std::vector<Vec3> outline = Star(n, step);
    EXPECT_TRUE(CrossesItself(outline)) << n << "/" << step;
    auto ts = FaceTriangles(outline);
    EXPECT_EQ(ts.size(), static_cast<size_t>(n)) << n << "/" << step;
    // The centre and every point are filled; between two points, on the circle, is not.
    EXPECT_TRUE(Covered(ts, 0, 0));
    for (int j = 0; j < n; ++j) {
      double a = 2 * std::numbers::pi * j / n + std::numbers::pi / 2;
      EXPECT_TRUE(Covered(ts, 0.97 * std::cos(a), 0.97 * std::sin(a))) << n << "/" << step << " point " << j;
      double b = a + std::numbers::pi / n;
      EXPECT_FALSE(Covered(ts, 0.97 * std::cos(b), 0.97 * std::sin(b))) << n << "/" << step << " gap " << j;
    }
  }
  // A pentagram's normal still points along its plane's normal.
  Vec3 normal = NewellNormal(Star(5, 2));
  EXPECT_GT(normal.z, 0);
  EXPECT_NEAR(normal.x, 0, 1e-12);
}

TEST(FaceFilling, BowTiesAndDegenerateFacesNeverFail) {
  std::vector<Vec3> bowTie = {{0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}};
  EXPECT_TRUE(CrossesItself(bowTie));
  EXPECT_EQ(FaceTriangles(bowTie).size(), 4u);
  std::vector<Vec3> collinear = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
  EXPECT_NEAR(Area(FaceTriangles(collinear)), 0, 1e-12);
  std::vector<Vec3> folded = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 0, 0}};
  EXPECT_FALSE(FaceTriangles(folded).empty());
  EXPECT_TRUE(FaceTriangles({{0, 0, 0}, {1, 0, 0}}).empty());
}

}  // namespace
}  // namespace kelmor::render
