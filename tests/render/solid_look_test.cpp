// The look of frame and translucent faces, read from the solid file written with an OFF file.
#include "render/solid_look.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "render/picture.h"

namespace kelmor::render {
namespace {

std::string Golden(const std::string& name) {
  std::ifstream in(std::string(KELMOR_SOURCE_DIR) + "/tests/golden/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The writer's own files of a cube with a frame face ("f"), a blank one, a translucent one
// ("t"), a highlighted one, a whole frame face ("fs") and a translucent fan ("tn").
SolidMesh MixedCube() {
  SolidMesh mesh;
  std::istringstream off(Golden("mixed.off"));
  EXPECT_FALSE(ReadOff(off, mesh));
  return mesh;
}

std::optional<std::string> Look(const std::string& solidText, SolidMesh& mesh) {
  std::istringstream in(solidText);
  return ReadSolidLook(in, mesh);
}

TEST(SolidLook, FrameFacesOpenAndTranslucentFacesGetAPane) {
  SolidMesh mesh = MixedCube();
  ASSERT_EQ(mesh.faces.size(), 5u);
  ASSERT_FALSE(Look(Golden("mixed_solid.wrl"), mesh));
  const struct {
    size_t ring;
    uint8_t pane;
  } expected[] = {{4, 0}, {0, 128}, {0, 0}, {0, 0}, {0, 128}};
  for (size_t f = 0; f < 5; ++f) {
    EXPECT_EQ(mesh.faces[f].ring.size(), expected[f].ring) << "face " << f;
    EXPECT_EQ(mesh.faces[f].pane, expected[f].pane) << "face " << f;
  }
  // The ring runs from the face's corners (at the OFF file's positions) to inner points
  // 3 % of the way in.
  const auto& quad = mesh.faces[0].ring[0];
  EXPECT_EQ(quad[0].x, mesh.points[0].x);
  EXPECT_NEAR(quad[3].x, -0.47, 1e-9);
  EXPECT_NEAR(quad[3].y, -0.47, 1e-9);

  // Drawn: the frame face leaves its middle open, the panes are see-through.
  SolidPicture picture(mesh);
  Camera camera;
  camera.rotation = ViewRotation(*ParseView("z"));
  camera.bounds = SolidBounds(mesh);
  DrawList list = picture.Draw(camera, PictureStyle{}, 100, 100);
  EXPECT_FALSE(list.seeThrough.empty());
  for (const DrawVertex& v : list.seeThrough) EXPECT_EQ(v.a, 128);
}

TEST(SolidLook, AFileOfAnotherSolutionOrOddTextChangesNothing) {
  const std::string good = Golden("mixed_solid.wrl");
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  const struct {
    std::string text;
    const char* words;
  } cases[] = {
      {"", "no point list"},
      {Golden("mixed.off"), "no point list"},
      {replaced("          0.5 0.5 0.5,", "          0.5 0.5 0.6,"), "point 6 is not the OFF file's vertex 6"},
      {replaced("          0.5 0.5 0.5,", "          0.5 zero 0.5,"), "point list cannot be read"},
      {replaced("      2 , 3 , 7 , 6 ,-1,", ""), "face 3 is not the OFF file's face 3"},
      {replaced("      16 , 7 , 3 , -1,\r\n    ]", "      16 , 7 , 3 , -1,\r\n      0 , 1 , 2 ,-1,\r\n    ]"),
       "faces the OFF file does not list"},
      {replaced("      0 , 1 , 5 , 4 ,-1,\r\n      16 , 3", "      0 , 1 , 99 , 4 ,-1,\r\n      16 , 3"),
       "translucent faces cannot be read"},
      {replaced("      0 , 1 , 5 , 4 ,-1,\r\n      16 , 3", "      4 , 5 , 6 , 7 ,-1,\r\n      16 , 3"),
       "translucent faces are not among"},
      {replaced("        transparency 0.50", ""), "translucent faces cannot be read"},
  };
  for (const auto& c : cases) {
    SolidMesh mesh = MixedCube();
    const SolidMesh before = mesh;
    auto e = Look(c.text, mesh);
    ASSERT_TRUE(e) << c.words;
    EXPECT_NE(e->find(c.words), std::string::npos) << *e;
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
      EXPECT_TRUE(mesh.faces[f].ring.empty());
      EXPECT_EQ(mesh.faces[f].pane, 0);
    }
  }
  SolidMesh mesh = MixedCube();
  auto missing = ReadSolidLookFile("/nonexistent/cube_solid.wrl", mesh);
  ASSERT_TRUE(missing);
  EXPECT_NE(missing->find("cannot open"), std::string::npos);
}

TEST(SolidLook, TheSolidFileIsTheOneWrittenRightAfterTheOffFile) {
  const std::vector<std::string> files = {"/o/cube.off", "/o/cube_solid.wrl", "/o/cube_anim.wrl", "/o/tet.off"};
  const struct {
    size_t off;
    bool solidWritten;
    const char* expected;
  } cases[] = {
      {0, true, "/o/cube_solid.wrl"},
      {0, false, ""},  // without the solid file the next one is another kind
      {3, true, ""},   // nothing after it
  };
  for (const auto& c : cases) EXPECT_EQ(SolidFileWrittenWith(files, c.off, c.solidWritten), c.expected);
  EXPECT_EQ(SolidFileWrittenWith({"/o/a.off", "/o/b.off"}, 0, true), "");
}

// A pane's opacity is 1 - transparency (at 0.5 the right and the mirrored formula agree,
// so other levels are looked at too); a fully transparent pane still counts as one.
TEST(SolidLook, APanesOpacityIsOneLessItsTransparency) {
  const struct {
    const char* level;
    uint8_t pane;
  } cases[] = {{"0.25", 191}, {"0.90", 25}, {"0", 255}, {"1", 1}, {"0.50", 128}};
  for (const auto& c : cases) {
    std::string text = Golden("mixed_solid.wrl");
    const std::string from = "transparency 0.50";
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, from.size(), std::string("transparency ") + c.level);
    SolidMesh mesh = MixedCube();
    ASSERT_FALSE(Look(text, mesh)) << c.level;
    EXPECT_EQ(mesh.faces[1].pane, c.pane) << c.level;
    EXPECT_EQ(mesh.faces[4].pane, c.pane) << c.level;
    EXPECT_EQ(mesh.faces[0].pane, 0) << c.level;  // the frame face has none

    SolidPicture picture(mesh);
    Camera camera;
    camera.rotation = ViewRotation(*ParseView("z"));
    camera.bounds = SolidBounds(mesh);
    const DrawList list = picture.Draw(camera, PictureStyle{}, 100, 100);
    EXPECT_EQ(list.seeThrough.empty(), c.pane == 255) << c.level;  // an opaque pane is drawn as a face
    for (const DrawVertex& v : list.seeThrough) EXPECT_EQ(v.a, c.pane) << c.level;
  }
}

}  // namespace
}  // namespace kelmor::render
