#include "facts/symmetry.h"

#include <gtest/gtest.h>

#include <random>

#include "facts/solid_facts.h"
#include "facts/test_solids.h"

namespace kelmor {
namespace {

using testing::Cube;
using testing::Icosahedron;
using testing::Octahedron;
using testing::Prism;
using testing::Tetrahedron;

std::string GroupOf(const FactsSolid& s, double tolerance = 1e-6) {
  return GroupName(FindSymmetry(s.points, OutlineEdges(s), tolerance).group);
}

struct Case {
  const char* label;
  FactsSolid solid;
  const char* group;
  int order;
};

std::vector<Case> Cases() {
  FactsSolid pyramid = Prism(5, 1, false);
  pyramid.points.push_back({0, 0, 3});
  pyramid.faces = {{{0, 1, 2, 3, 4}, 1}};
  for (int i = 0; i < 5; ++i) pyramid.faces.push_back({{i, (i + 1) % 5, 10}, 1});
  FactsSolid star = Prism(5, 2, false);
  star.faces[0].step = star.faces[1].step = 1;
  FactsSolid lopsided = Cube();
  lopsided.points[0] = {-0.6, -0.45, -0.52};
  lopsided.points[3] = {0.5, 0.55, -0.5};
  return {
      {"tetrahedron", Tetrahedron(), "Td", 24},
      {"cube", Cube(), "Oh", 48},
      {"octahedron", Octahedron(), "Oh", 48},
      {"icosahedron", Icosahedron(), "Ih", 120},
      {"triangular prism", Prism(3, 1, false), "D3h", 12},
      {"square prism (a cube)", Prism(4, 1, false), "Oh", 48},
      {"hexagonal prism", Prism(6, 1, false), "D6h", 24},
      {"heptagonal prism", Prism(7, 1, false), "D7h", 28},
      {"pentagrammic prism", star, "D5h", 20},
      {"square antiprism", Prism(4, 1, true), "D4d", 16},
      {"pentagonal antiprism", Prism(5, 1, true), "D5d", 20},
      {"octagonal antiprism", Prism(8, 1, true), "D8d", 32},
      {"pentagonal pyramid", pyramid, "C5v", 10},
      {"cube with two corners moved", lopsided, "C1", 1},
  };
}

TEST(SymmetryTest, KnownSolidsHaveTheirGroups) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.label);
    const SymmetryFound found = FindSymmetry(c.solid.points, OutlineEdges(c.solid), 1e-6);
    EXPECT_EQ(GroupName(found.group), c.group);
    EXPECT_EQ(static_cast<int>(found.operations.size()), c.order);
    const Operation& first = found.operations.front();
    EXPECT_NEAR(first[0] + first[4] + first[8], 3, 1e-12) << "the identity comes first";
  }
}

// A random rotation and shift, then every point moved by up to `jitter` in each coordinate.
FactsSolid Moved(FactsSolid s, unsigned seed, double jitter) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal;
  double q[4];
  double norm = 0;
  for (double& x : q) x = normal(random), norm += x * x;
  for (double& x : q) x /= std::sqrt(norm);
  const double w = q[0], x = q[1], y = q[2], z = q[3];
  std::uniform_real_distribution<double> wobble(-jitter, jitter);
  for (Vec3& p : s.points) {
    const Vec3 r{(1 - 2 * (y * y + z * z)) * p.x + 2 * (x * y - w * z) * p.y + 2 * (x * z + w * y) * p.z,
                 2 * (x * y + w * z) * p.x + (1 - 2 * (x * x + z * z)) * p.y + 2 * (y * z - w * x) * p.z,
                 2 * (x * z - w * y) * p.x + 2 * (y * z + w * x) * p.y + (1 - 2 * (x * x + y * y)) * p.z};
    p = r + Vec3{3.25, -1.5, 7} + Vec3{wobble(random), wobble(random), wobble(random)};
  }
  return s;
}

TEST(SymmetryTest, RotatedAndJitteredCopiesKeepTheirGroupWithinTheTolerance) {
  for (const Case& c : Cases()) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(std::string(c.label) + " seed " + std::to_string(seed));
      // Jitter of 1e-7 against a tolerance of 1e-5: the same group.
      EXPECT_EQ(GroupOf(Moved(c.solid, seed, 1e-7), 1e-5), c.group);
    }
  }
}

TEST(SymmetryTest, JitterAboveTheToleranceBreaksTheSymmetry) {
  // Moved by up to 1e-3 and judged to 1e-6: nothing but the identity is left.
  EXPECT_EQ(GroupOf(Moved(Icosahedron(), 7, 1e-3), 1e-6), "C1");
  EXPECT_EQ(GroupOf(Moved(Cube(), 7, 1e-3), 1e-6), "C1");
  // The same copy judged to 1e-2 is whole again.
  EXPECT_EQ(GroupOf(Moved(Icosahedron(), 7, 1e-3), 1e-2), "Ih");
}

TEST(SymmetryTest, EdgesMustMapOntoEdges) {
  // The cube's corners with the faces of a cube, and the same corners joined as two
  // tetrahedra's worth of diagonals: the points alone have Oh, the edges only Td.
  FactsSolid cube = Cube();
  EXPECT_EQ(GroupOf(cube), "Oh");
  const std::vector<std::array<int, 2>> diagonals = {{0, 3}, {0, 5}, {0, 6}, {3, 5}, {3, 6}, {5, 6}};
  EXPECT_EQ(GroupName(FindSymmetry(cube.points, diagonals, 1e-6).group), "Td");
}

TEST(SymmetryTest, DegenerateSetsDoNotBreak) {
  EXPECT_EQ(GroupName(FindSymmetry({}, {}, 1e-6).group), "C1");
  EXPECT_EQ(GroupName(FindSymmetry({{1, 2, 3}}, {}, 1e-6).group), "C1");
  EXPECT_EQ(GroupName(FindSymmetry({{-1, 0, 0}, {1, 0, 0}}, {{0, 1}}, 1e-6).group), "Dinfh");
  EXPECT_EQ(GroupName(FindSymmetry({{-1, 0, 0}, {1, 0, 0}, {4, 0, 0}}, {}, 1e-6).group), "Cinfv");
}

// The closure of some generators under multiplication.
std::vector<Operation> Closure(std::vector<Operation> ops) {
  auto same = [](const Operation& a, const Operation& b) {
    for (int i = 0; i < 9; ++i)
      if (std::fabs(a[i] - b[i]) > 1e-9) return false;
    return true;
  };
  ops.push_back({1, 0, 0, 0, 1, 0, 0, 0, 1});
  for (size_t i = 0; i < ops.size() && ops.size() < 500; ++i)
    for (size_t j = 0; j <= i; ++j)
      for (const auto& [a, b] : {std::pair{ops[i], ops[j]}, std::pair{ops[j], ops[i]}}) {
        Operation m{};
        for (int r = 0; r < 3; ++r)
          for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) m[r * 3 + c] += a[r * 3 + k] * b[k * 3 + c];
        if (std::none_of(ops.begin(), ops.end(), [&](const Operation& o) { return same(o, m); })) ops.push_back(m);
      }
  return ops;
}

Operation Rz(int n, bool improper = false) {
  const double a = 2 * std::numbers::pi / n, c = std::cos(a), s = std::sin(a);
  return {c, -s, 0, s, c, 0, 0, 0, improper ? -1.0 : 1.0};
}

TEST(SymmetryTest, GroupsFromGeneratorsAreNamed) {
  const Operation mirrorZ{1, 0, 0, 0, 1, 0, 0, 0, -1}, mirrorX{-1, 0, 0, 0, 1, 0, 0, 0, 1};
  const Operation inversion{-1, 0, 0, 0, -1, 0, 0, 0, -1}, c2x{1, 0, 0, 0, -1, 0, 0, 0, -1};
  const Operation c3diagonal{0, 0, 1, 1, 0, 0, 0, 1, 0};
  const struct {
    std::vector<Operation> generators;
    const char* group;
  } cases[] = {
      {{}, "C1"},
      {{mirrorZ}, "Cs"},
      {{inversion}, "Ci"},
      {{Rz(3)}, "C3"},
      {{Rz(2), mirrorZ}, "C2h"},
      {{Rz(3), mirrorZ}, "C3h"},
      {{Rz(4), mirrorX}, "C4v"},
      {{Rz(4, true)}, "S4"},
      {{Rz(6, true)}, "S6"},
      {{Rz(5), c2x}, "D5"},
      {{Rz(2), c2x, inversion}, "D2h"},
      {{Rz(4, true), c2x}, "D2d"},
      {{Rz(3), c2x, inversion}, "D3d"},
      {{Rz(6), c2x, mirrorZ}, "D6h"},
      {{Rz(2), c2x, c3diagonal}, "T"},
      {{Rz(2), c2x, c3diagonal, inversion}, "Th"},
      {{Rz(4), c3diagonal}, "O"},
      {{Rz(4), c3diagonal, inversion}, "Oh"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.group);
    EXPECT_EQ(GroupName(ClassifyOperations(Closure(c.generators))), c.group);
  }
}

TEST(SymmetryTest, NamesReadBackAndNonsenseIsRefused) {
  for (const char* name : {"C1", "Cs", "Ci", "C7", "C2v", "C3h", "S4", "S10", "D2", "D5h", "D4d", "T", "Td", "Th",
                           "O", "Oh", "I", "Ih", "Cinfv", "Dinfh"}) {
    std::optional<PointGroup> g = ParseGroup(name);
    ASSERT_TRUE(g) << name;
    EXPECT_EQ(GroupName(*g), name);
  }
  // Other names of the same groups.
  EXPECT_EQ(GroupName(*ParseGroup("C1v")), "Cs");
  EXPECT_EQ(GroupName(*ParseGroup("C1h")), "Cs");
  EXPECT_EQ(GroupName(*ParseGroup("S2")), "Ci");
  EXPECT_EQ(GroupName(*ParseGroup("D1")), "C2");
  for (const char* bad : {"", "C", "C0", "S3", "X", "C2x", "D3v", "Ihh", "c2", "C-2", "C99999999999"})
    EXPECT_FALSE(ParseGroup(bad)) << bad;
}

TEST(SymmetryTest, SubgroupsFollowTheGeometry) {
  const struct {
    const char *whole, *part;
    bool has;
  } cases[] = {
      {"Oh", "Td", true},   {"Oh", "D4h", true},  {"Oh", "D3d", true}, {"Oh", "C4v", true},
      {"Oh", "Ih", false},  {"Oh", "D3h", false}, {"Ih", "Th", true},  {"Ih", "D5d", true},
      {"Ih", "D5h", false}, {"Ih", "Oh", false},  {"Ih", "C1", true},  {"I", "D5", true},
      {"I", "Cs", false},   {"Td", "S4", true},   {"Td", "D2d", true}, {"Td", "Ci", false},
      {"Th", "D2h", true},  {"T", "D2", true},    {"D6h", "D3d", true}, {"D6h", "D3h", true},
      {"D4d", "D2d", false}, {"D4d", "S8", true}, {"D3d", "S6", true}, {"D3d", "C2h", true},
      {"D5h", "Ci", false}, {"C2h", "Ci", true},  {"C4h", "S4", true}, {"S6", "C3", true},
      {"S4", "Ci", false},  {"Cs", "C1", true},   {"C1", "Cs", false}, {"Dinfh", "D7h", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HasSubgroup(ParseGroup(c.whole).value(), ParseGroup(c.part).value()), c.has) << c.whole << " > " << c.part;
  const PointGroup line{PointGroup::Family::LinearH, 1};
  EXPECT_TRUE(HasSubgroup(line, *ParseGroup("D7h")));
  EXPECT_FALSE(HasSubgroup(line, *ParseGroup("T")));
}

}  // namespace
}  // namespace kelmor
