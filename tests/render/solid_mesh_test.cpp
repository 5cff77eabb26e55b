// Reading OFF files: what Kelmor writes, what other programs write, and what must be refused.
#include "render/solid_mesh.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kelmor::render {
namespace {

SolidMesh Read(const std::string& text, std::string* error = nullptr) {
  std::istringstream in(text);
  SolidMesh mesh;
  auto e = ReadOff(in, mesh);
  if (error) *error = e.value_or("");
  else EXPECT_FALSE(e) << *e;
  return mesh;
}

TEST(OffReading, ReadsKelmorsLayoutWithCommentsAndCrLf) {
  const std::string text =
      "OFF\r\n#\r\n# Vertices Faces Edges\r\n4 2 5\r\n#\r\n# Vertices\r\n"
      "0.0 0.0 0.0\r\n1.0 0.0 0.0\r\n1.0 1.0 0.0\r\n0.0 1.0 0.0\r\n#\r\n# Sides and colours\r\n"
      "3 0 1 2  255 0 0\r\n3 0 2 3  0 128 255\r\n#\r\n# END\r\n";
  SolidMesh m = Read(text);
  ASSERT_EQ(m.points.size(), 4u);
  ASSERT_EQ(m.faces.size(), 2u);
  EXPECT_EQ(m.points[2].y, 1.0);
  EXPECT_EQ(m.faces[1].corners, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(m.faces[0].colour, (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(m.faces[1].colour, (Rgba{0, 128, 255, 255}));
}

TEST(OffReading, ColourForms) {
  struct Case {
    const char* colour;
    Rgba want;
  } cases[] = {
      {"", kPlainFaceColour},                    // no colour
      {"7", kPlainFaceColour},                   // a colour-map index
      {"255 255 0", {255, 255, 0, 255}},         // whole numbers
      {"1.0 0.5 0", {255, 128, 0, 255}},         // fractions
      {"1 0 0 0.25", {255, 0, 0, 64}},           // fraction opacity
      {"0 0 255 128", {0, 0, 255, 128}},         // whole-number opacity
      {"300 -4 20", {255, 0, 20, 255}},          // out of range: clipped
  };
  for (const Case& c : cases) {
    SolidMesh m = Read(std::string("OFF 3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2 ") + c.colour + "\n");
    ASSERT_EQ(m.faces.size(), 1u) << c.colour;
    EXPECT_EQ(m.faces[0].colour, c.want) << c.colour;
  }
}

TEST(OffReading, RefusesBrokenFilesWithTheReason) {
  struct Case {
    const char* text;
    const char* reason;
  } cases[] = {
      {"", "the file is empty"},
      {"OFF\n", "counts of vertices and faces are missing"},
      {"OFF\nthree 1 0\n", "line 2: expected the counts"},
      {"OFF\n-1 1 0\n", "out of range"},
      {"OFF\n99999999 1 0\n", "out of range"},
      {"OFF\n3 1 0\n0 0 0\n1 0\n", "line 4: expected three coordinates of vertex 1"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 nan 0\n", "vertex 2"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n", "ends after 2 of 3 vertices"},
      {"OFF\n3 2 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "ends after 1 of 2 faces"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n", "lists vertex 3 but the file has 3 vertices"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 -1 2\n", "lists vertex -1"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n4 0 1 2\n", "fewer than its 4 corners"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n0\n", "number of corners"},
      {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2 red green blue\n", "the colour 'red' is not a number"},
      {"4OFF\n3 1 0 0\n", "'4OFF' files are not read"},
  };
  for (const Case& c : cases) {
    std::string error;
    Read(c.text, &error);
    EXPECT_NE(error.find(c.reason), std::string::npos) << "text: " << c.text << "\ngot: " << error;
  }
}

TEST(OffReading, OutlineEdgesOfAStarAreItsSidesOnce) {
  // Two pentagrams on the same five points, listed in drawing order: five edges in all.
  SolidMesh m = Read("OFF\n5 2 0\n0 0 0\n1 0 0\n2 0 0\n3 0 0\n4 0 0\n5 0 2 4 1 3\n5 3 1 4 2 0\n");
  auto edges = OutlineEdges(m);
  EXPECT_EQ(edges, (std::vector<std::array<int, 2>>{{0, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}}));
}

}  // namespace
}  // namespace kelmor::render
