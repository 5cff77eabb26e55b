#include <gtest/gtest.h>

#include <map>
#include <set>

#include "conway/corners.h"
#include "conway/notation.h"
#include "conway/operators.h"

namespace kelmor::conway {
namespace {

struct Known {
  const char* expression;
  int v, e, f;
};

// Counts from the literature for the named solids, and from the operators' counting
// rules for the rest.
const Known kKnown[] = {
    {"T", 4, 6, 4}, {"C", 8, 12, 6}, {"O", 6, 12, 8}, {"D", 20, 30, 12}, {"I", 12, 30, 20},
    {"P3", 6, 9, 5}, {"P5", 10, 15, 7}, {"A3", 6, 12, 8}, {"A7", 14, 28, 16}, {"Y4", 5, 8, 5},
    {"Y5", 6, 10, 6}, {"dI", 20, 30, 12}, {"dC", 6, 12, 8}, {"tI", 60, 90, 32}, {"tT", 12, 18, 8},
    {"tO", 24, 36, 14}, {"tD", 60, 90, 32}, {"cC", 32, 48, 18}, {"cD", 80, 120, 42}, {"cT", 16, 24, 10},
    {"atI", 90, 180, 92}, {"ttI", 180, 270, 92}, {"etI", 180, 360, 182}, {"stI", 180, 450, 272},
    {"kC", 14, 36, 24}, {"kT", 8, 18, 12}, {"kI", 32, 90, 60}, {"jC", 14, 24, 12}, {"eC", 24, 48, 26},
    {"oC", 26, 48, 24}, {"sC", 24, 60, 38}, {"gC", 38, 60, 24}, {"mC", 26, 72, 48}, {"bC", 48, 72, 26},
    {"nC", 14, 36, 24}, {"zC", 24, 36, 14}, {"pC", 32, 60, 30}, {"wC", 56, 84, 30}, {"wT", 28, 42, 16},
    {"aD", 30, 60, 32}, {"sD", 60, 150, 92}, {"gD", 92, 150, 60}, {"dP5", 7, 15, 10}, {"dA4", 10, 16, 8},
    {"eP6", 36, 72, 38}, {"cP5", 40, 60, 22}, {"aA5", 20, 40, 22}, {"kY5", 12, 30, 20}, {"tY3", 12, 18, 8},
    {"ccC", 128, 192, 66}, {"caD", 150, 240, 92}, {"pT", 16, 30, 16}, {"dtI", 32, 90, 60}, {"cO", 30, 48, 20},
    // The numbered forms touch only faces or vertices of that degree.
    {"k5A5", 12, 30, 20}, {"k4P5", 15, 35, 22}, {"k3C", 8, 12, 6}, {"t3C", 24, 36, 14}, {"t4C", 8, 12, 6},
    {"t4O", 24, 36, 14}, {"t5kD", 80, 150, 72}, {"t6kT", 28, 42, 16},
};

// Every edge in exactly two faces, once each way; every vertex used, its faces one ring.
void ExpectClosedOrientedManifold(const SolidFaces& s, const std::string& what) {
  std::map<std::pair<int, int>, int> directed;
  std::vector<int> corners(static_cast<size_t>(s.vertexCount), 0);
  for (const auto& face : s.faces) {
    ASSERT_GE(face.size(), 3u) << what;
    EXPECT_EQ(std::set<int>(face.begin(), face.end()).size(), face.size()) << what << ": a face repeats a vertex";
    for (size_t i = 0; i < face.size(); ++i) {
      ASSERT_GE(face[i], 0) << what;
      ASSERT_LT(face[i], s.vertexCount) << what;
      ++directed[{face[i], face[(i + 1) % face.size()]}];
      ++corners[static_cast<size_t>(face[i])];
    }
  }
  for (const auto& [edge, count] : directed) {
    EXPECT_EQ(count, 1) << what << ": edge " << edge.first << "-" << edge.second << " runs the same way twice";
    EXPECT_EQ(directed.count({edge.second, edge.first}), 1u)
        << what << ": edge " << edge.first << "-" << edge.second << " has no face on its other side";
  }
  const Corners c(s);
  for (int v = 0; v < s.vertexCount; ++v) {
    EXPECT_GT(corners[static_cast<size_t>(v)], 0) << what << ": vertex " << v << " is in no face";
    EXPECT_EQ(static_cast<int>(c.around(v).size()), corners[static_cast<size_t>(v)])
        << what << ": the faces at vertex " << v << " are not one ring";
  }
  EXPECT_EQ(s.vertexCount - s.edgeCount() + s.faceCount(), 2) << what;
}

TEST(ConwayNotation, KnownSolidsHaveTheirCountsAndAreClosedOrientedManifolds) {
  ASSERT_GE(std::size(kKnown), 40u);
  for (const Known& k : kKnown) {
    NotationError error;
    std::optional<SolidFaces> s = BuildNotation(k.expression, error);
    ASSERT_TRUE(s) << k.expression << ": " << error.message;
    EXPECT_EQ(s->vertexCount, k.v) << k.expression;
    EXPECT_EQ(s->edgeCount(), k.e) << k.expression;
    EXPECT_EQ(s->faceCount(), k.f) << k.expression;
    ExpectClosedOrientedManifold(*s, k.expression);
  }
}

// Counts alone do not tell a cube from a hexagonal pyramid-like impostor: the faces'
// sizes and the vertices' degrees do.
TEST(ConwayNotation, FacesAndVertexDegreesAreThoseOfTheNamedSolids) {
  struct Census {
    const char* expression;
    std::map<int, int> faceSizes;    // sides -> faces
    std::map<int, int> degrees;      // degree -> vertices
  };
  const Census table[] = {
      {"tI", {{5, 12}, {6, 20}}, {{3, 60}}},
      {"cC", {{4, 6}, {6, 12}}, {{3, 32}}},
      {"sC", {{3, 32}, {4, 6}}, {{5, 24}}},
      {"gC", {{5, 24}}, {{3, 32}, {4, 6}}},
      {"aC", {{3, 8}, {4, 6}}, {{4, 12}}},
      {"jC", {{4, 12}}, {{3, 8}, {4, 6}}},
      {"pC", {{4, 30}}, {{3, 8}, {4, 24}}},
      {"wT", {{3, 4}, {6, 12}}, {{3, 28}}},
      {"bC", {{4, 12}, {6, 8}, {8, 6}}, {{3, 48}}},
      {"mC", {{3, 48}}, {{4, 12}, {6, 8}, {8, 6}}},
      {"I", {{3, 20}}, {{5, 12}}},
      {"D", {{5, 12}}, {{3, 20}}},
      {"Y6", {{3, 6}, {6, 1}}, {{3, 6}, {6, 1}}},
      {"A5", {{3, 10}, {5, 2}}, {{4, 10}}},
  };
  for (const Census& c : table) {
    NotationError error;
    std::optional<SolidFaces> s = BuildNotation(c.expression, error);
    ASSERT_TRUE(s) << c.expression;
    std::map<int, int> sizes, degrees;
    std::vector<int> degree(static_cast<size_t>(s->vertexCount), 0);
    for (const auto& f : s->faces) {
      ++sizes[static_cast<int>(f.size())];
      for (int v : f) ++degree[static_cast<size_t>(v)];
    }
    for (int d : degree) ++degrees[d];
    EXPECT_EQ(sizes, c.faceSizes) << c.expression;
    EXPECT_EQ(degrees, c.degrees) << c.expression;
  }
}

TEST(ConwayNotation, DualTwiceGivesTheSameFacesBack) {
  const SolidFaces cube = Prism(4);
  const SolidFaces back = Dual(Dual(cube));
  ASSERT_EQ(back.faceCount(), cube.faceCount());
  // Same faces up to rotation of each ring: compare rings started at their smallest vertex.
  auto normal = [](const SolidFaces& s) {
    std::set<std::vector<int>> rings;
    for (auto f : s.faces) {
      std::rotate(f.begin(), std::min_element(f.begin(), f.end()), f.end());
      rings.insert(f);
    }
    return rings;
  };
  EXPECT_EQ(normal(back), normal(cube));
}

TEST(ConwayNotation, BadNotationNamesThePositionOfTheBadCharacter) {
  struct Bad {
    const char* expression;
    int position;
    const char* says;
  };
  const Bad table[] = {
      {"", 1, "ends without a seed"},
      {"tx", 2, "'x' is not an operator"},
      {"t I", 2, "' ' is not an operator"},
      {"tk", 3, "ends without a seed"},
      {"TtI", 2, "nothing may follow the seed T"},
      {"P", 2, "needs its number of sides"},
      {"P2", 2, "needs 3 sides or more"},
      {"a3C", 2, "'a' takes no number"},
      {"k2C", 2, "needs a number of sides of 3 or more"},
      {"A5t", 3, "nothing may follow the seed A5"},
      {"tI\n", 3, "nothing may follow"},
      {"t\x01I", 2, "character 1 is not"},
  };
  for (const Bad& b : table) {
    NotationError error;
    EXPECT_FALSE(ParseNotation(b.expression, error)) << b.expression;
    EXPECT_EQ(error.position, b.position) << b.expression << ": " << error.message;
    EXPECT_NE(error.message.find(b.says), std::string::npos) << b.expression << ": " << error.message;
    EXPECT_FALSE(error.tooLarge);
  }
}

TEST(ConwayNotation, SolidsFarBeyondTheLimitsStopInsteadOfFillingTheMemory) {
  NotationError error;
  EXPECT_FALSE(BuildNotation("wwwwwwwwwwwwwwwwwwwwwwwwwI", error));
  EXPECT_TRUE(error.tooLarge);
  EXPECT_NE(error.message.find("before the operator at position"), std::string::npos) << error.message;
  EXPECT_FALSE(BuildNotation("P99999999999999999", error));
  EXPECT_TRUE(error.tooLarge);
}

}  // namespace
}  // namespace kelmor::conway
