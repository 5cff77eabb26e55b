// Views, framing and picture options: the camera must show the whole solid from where asked.
#include "render/picture.h"
#include "render/view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelmor::render {
namespace {

Vec3 Unit(Vec3 v) { return v * (1 / std::sqrt(Dot(v, v))); }

TEST(Views, EachNamedViewPutsItsEyeOnTheScreenNormal) {
  struct Case {
    const char* text;
    Vec3 eye;  // direction from the centre to the eye
    Vec3 up;   // what shows upwards
  } cases[] = {
      {"z", {0, 0, 1}, {0, 1, 0}},       {"-z", {0, 0, -1}, {0, 1, 0}},
      {"x", {1, 0, 0}, {0, 1, 0}},       {"-x", {-1, 0, 0}, {0, 1, 0}},
      {"y", {0, 1, 0}, {0, 0, -1}},      {"-y", {0, -1, 0}, {0, 0, 1}},
      {"iso", Unit({1, 1, 1}), Unit({-1, 2, -1})},
      {"90/0", {1, 0, 0}, {0, 1, 0}},    {"180,45", Unit({0, 1, -1}), Unit({0, 1, 1})},
  };
  for (const Case& c : cases) {
    auto view = ParseView(c.text);
    ASSERT_TRUE(view) << c.text;
    Matrix3 r = ViewRotation(*view);
    Vec3 toEye = Apply(r, c.eye), up = Apply(r, c.up);
    EXPECT_NEAR(toEye.z, 1, 1e-12) << c.text;
    EXPECT_NEAR(up.y, 1, 1e-12) << c.text;
  }
  for (const char* bad : {"", "top", "45", "45/", "/10", "10/91", "a/b", "10/-90.5"})
    EXPECT_FALSE(ParseView(bad)) << bad;
}

TEST(Views, FramingKeepsEveryVertexInsideAndTheSolidCentred) {
  SolidMesh m;
  m.points = {{10, 10, 10}, {14, 10, 10}, {10, 11, 10}, {10, 10, 30}};
  Camera camera;
  camera.bounds = SolidBounds(m);
  EXPECT_NEAR(camera.bounds.centre.z, 20, 1e-12);
  for (const char* v : {"iso", "x", "y", "z", "33/-71"}) {
    camera.rotation = ViewRotation(*ParseView(v));
    for (auto [w, h] : {std::pair{800, 800}, {300, 900}, {1000, 200}}) {
      for (const Vec3& p : m.points) {
        auto px = camera.Pixel(p, w, h);
        EXPECT_GT(px[0], 0.03 * std::min(w, h)) << v;
        EXPECT_LT(px[0], w - 0.03 * std::min(w, h)) << v;
        EXPECT_GT(px[1], 0.03 * std::min(w, h)) << v;
        EXPECT_LT(px[1], h - 0.03 * std::min(w, h)) << v;
      }
      auto centre = camera.Pixel(camera.bounds.centre, w, h);
      EXPECT_NEAR(centre[0], w / 2.0, 1e-9);
      EXPECT_NEAR(centre[1], h / 2.0, 1e-9);
    }
  }
  // Fitted to what is seen: the solid spans the fill share of the tighter side, centred.
  for (auto [w, h] : {std::pair{800, 800}, {300, 900}, {1000, 200}}) {
    camera.rotation = ViewRotation(*ParseView("iso"));
    camera.FitSeen(m, w, h);
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const Vec3& p : m.points) {
      auto px = camera.Pixel(p, w, h);
      left = std::min(left, px[0]), right = std::max(right, px[0]);
      top = std::min(top, px[1]), bottom = std::max(bottom, px[1]);
    }
    EXPECT_NEAR(std::max((right - left) / w, (bottom - top) / h), kFrameFill, 1e-9);
    EXPECT_NEAR(left + right, w, 1e-6);
    EXPECT_NEAR(top + bottom, h, 1e-6);
  }
  SolidMesh point;
  point.points = {{1, 2, 3}};
  EXPECT_EQ(SolidBounds(point).radius, 1);  // no extent: still a usable frame
}

TEST(PictureOptions, ColoursAndSizes) {
  EXPECT_EQ(ParseColour("#ff8000"), (Rgba{255, 128, 0, 255}));
  EXPECT_EQ(ParseColour("0a0B0c"), (Rgba{10, 11, 12, 255}));
  EXPECT_EQ(ParseColour("#00000080"), (Rgba{0, 0, 0, 128}));
  EXPECT_EQ(ParseColour("black"), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(ParseColour("transparent")->a, 0);
  for (const char* bad : {"", "#12345", "#gg0000", "pink", "#1234567"}) EXPECT_FALSE(ParseColour(bad)) << bad;

  EXPECT_EQ(ParsePictureSize("800"), (std::array<int, 2>{800, 800}));
  EXPECT_EQ(ParsePictureSize("640x480"), (std::array<int, 2>{640, 480}));
  for (const char* bad : {"", "0", "15", "8193", "x", "640x", "x480", "-5", "64x64x64", "1e3", "99999999999"})
    EXPECT_FALSE(ParsePictureSize(bad)) << bad;
}

TEST(DrawLists, SeeThroughFacesComeLastFromTheBackAndEdgesOnlyWhenAsked) {
  // Three parallel squares at z = 0 (opaque), 1 and -1 (see-through), seen from +z.
  SolidMesh m;
  for (double z : {0.0, 1.0, -1.0})
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) m.points.push_back({double(x), double(y), z});
  m.faces = {{{0, 1, 2, 3}, {200, 0, 0, 255}}, {{4, 5, 6, 7}, {0, 200, 0, 100}}, {{8, 9, 10, 11}, {0, 0, 200, 50}}};
  SolidPicture picture(m);
  Camera camera;
  camera.bounds = SolidBounds(m);
  PictureStyle style;
  DrawList list = picture.Draw(camera, style, 400, 300);
  ASSERT_EQ(list.opaque.size(), 6u);
  ASSERT_EQ(list.seeThrough.size(), 12u);
  EXPECT_LT(list.seeThrough[0].z, list.seeThrough[6].z);  // the far square first
  EXPECT_EQ(list.seeThrough[0].a, 50);
  EXPECT_EQ(list.seeThrough[6].a, 100);
  EXPECT_TRUE(list.lines.empty());
  // Lighting keeps a colour's hue, between the ambient share and the full colour.
  EXPECT_EQ(list.opaque[0].g, 0);
  EXPECT_GT(list.opaque[0].r, 0.38 * 200);
  EXPECT_LE(list.opaque[0].r, 200);
  EXPECT_NEAR(list.halfWidth / list.halfHeight, 400.0 / 300.0, 1e-12);

  style.edges = true;
  list = picture.Draw(camera, style, 400, 300);
  EXPECT_EQ(list.lines.size(), 2u * 12u);  // four sides of three squares, two ends each
}

}  // namespace
}  // namespace kelmor::render
