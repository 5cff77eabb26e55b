// `kelmor render` and `kelmor run --png` as a user runs them, on a machine with no display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "pictures/png_read.h"
#include "render/solid_mesh.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using render::Image;
using render::Rgba;
using testing::ReadPng;

// Drawing in software on a loaded machine can take a while; a hang still ends the test.
constexpr std::chrono::seconds kPictureGuard{100};

class Pictures : public ::testing::Test {
 protected:
  // Runs the built kelmor in a private home (no display, only the system's PATH, its own
  // kelmor.ini); env adds entries. Status as a shell gives it.
  testing::ChildResult Kelmor(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
    env.insert(env.begin(), "KELMOR_INI=" + (dir_ / "home" / "kelmor.ini").string());
    testing::ChildResult r = testing::RunChild(std::string(KELMOR_BINARY_DIR) + "/kelmor", args,
                                               testing::CleanEnvironment(dir_ / "home", env), dir_, kPictureGuard);
    r.status = testing::ExitCode(r);
    return r;
  }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

Rgba Pixel(const Image& im, int x, int y) {
  const uint8_t* p = &im.pixels[static_cast<size_t>(y * im.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// The share of pixels that differ from the top-left corner (the background).
double Silhouette(const Image& im) {
  const Rgba bg = Pixel(im, 0, 0);
  long count = 0;
  for (int y = 0; y < im.height; ++y)
    for (int x = 0; x < im.width; ++x) count += !(Pixel(im, x, y) == bg);
  return static_cast<double>(count) / (im.width * im.height);
}

// Whether some pixel shows the colour lit at some strength (same hue, within rounding).
bool ShowsColour(const Image& im, Rgba c) {
  for (size_t i = 0; i < im.pixels.size(); i += 4) {
    const uint8_t* p = &im.pixels[i];
    const int brightest = std::max({c.r, c.g, c.b});
    if (brightest == 0) {
      if (p[0] + p[1] + p[2] == 0) return true;
      continue;
    }
    const double s = static_cast<double>(std::max({p[0], p[1], p[2]})) / brightest;
    if (s < 0.3 || s > 1.01) continue;
    if (std::abs(p[0] - c.r * s) <= 2 && std::abs(p[1] - c.g * s) <= 2 && std::abs(p[2] - c.b * s) <= 2) return true;
  }
  return false;
}

// Every example solid and the two star solids, from the gallery's OFF files: silhouette,
// colours and a second render that is the same picture byte for byte.
TEST_F(Pictures, GallerySolidsAreFramedInTheirColoursAndRepeatable) {
  std::vector<std::string> args = {"render"};
  std::vector<fs::path> offs;
  for (const auto& entry : fs::directory_iterator(fs::path(KELMOR_SOURCE_DIR) / "docs" / "gallery"))
    if (entry.path().extension() == ".off") offs.push_back(entry.path());
  std::sort(offs.begin(), offs.end());
  ASSERT_GE(offs.size(), 20u);
  for (const fs::path& off : offs) args.push_back(off.string());
  fs::create_directories(dir_ / "first");
  fs::create_directories(dir_ / "second");
  for (const char* into : {"first", "second"}) {
    std::vector<std::string> run = args;
    for (const char* extra : {"-o", into, "--size", "240", "--edges"}) run.push_back(extra);
    run[run.size() - 4] = (dir_ / into).string();
    auto r = Kelmor(run);
    ASSERT_EQ(r.status, 0) << r.err;
  }
  for (const fs::path& off : offs) {
    const std::string name = off.stem().string() + ".png";
    SCOPED_TRACE(name);
    Image image;
    ASSERT_TRUE(ReadPng((dir_ / "first" / name).string(), image));
    EXPECT_EQ(image.width, 240);
    const double share = Silhouette(image);
    EXPECT_GE(share, 0.20);
    EXPECT_LE(share, 0.80);
    render::SolidMesh mesh;
    ASSERT_FALSE(render::ReadOffFile(off.string(), mesh));
    std::set<std::array<uint8_t, 3>> faceColours, shown;
    for (const auto& f : mesh.faces) faceColours.insert({f.colour.r, f.colour.g, f.colour.b});
    for (size_t i = 0; i < image.pixels.size(); i += 4)
      shown.insert({image.pixels[i], image.pixels[i + 1], image.pixels[i + 2]});
    EXPECT_GE(shown.size(), faceColours.size());
    for (const auto& c : faceColours) EXPECT_TRUE(ShowsColour(image, {c[0], c[1], c[2], 255}));
    EXPECT_EQ(ReadAll(dir_ / "first" / name), ReadAll(dir_ / "second" / name));
  }
}

TEST_F(Pictures, OptionsShapeThePicture) {
  // A 1 x 2 x 4 box: seen along z it is tall, along x it is wide.
  const std::string box = Write(
      "box.off",
      "OFF\n8 6 12\n0 0 0\n1 0 0\n1 2 0\n0 2 0\n0 0 4\n1 0 4\n1 2 4\n0 2 4\n"
      "4 0 3 2 1 255 0 0\n4 4 5 6 7 255 0 0\n4 0 1 5 4 0 255 0\n4 2 3 7 6 0 255 0\n4 1 2 6 5 0 0 255\n"
      "4 0 4 7 3 0 0 255\n");
  struct Case {
    std::vector<std::string> options;
    int width, height;
    bool wide;
    Rgba corner;
  } cases[] = {
      {{"--view", "z"}, 800, 800, false, {255, 255, 255, 255}},
      {{"--view", "x", "--size", "300x200"}, 300, 200, true, {255, 255, 255, 255}},
      {{"--view", "-90/0", "--background", "black"}, 800, 800, true, {0, 0, 0, 255}},
      {{"--view", "0,90", "--background", "#102030"}, 800, 800, false, {16, 32, 48, 255}},
      {{"--background", "transparent", "--size", "64"}, 64, 64, false, {255, 255, 255, 0}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"render", box, "-o", (dir_ / "box.png").string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    auto r = Kelmor(args);
    ASSERT_EQ(r.status, 0) << r.err;
    Image im;
    ASSERT_TRUE(ReadPng((dir_ / "box.png").string(), im));
    EXPECT_EQ(im.width, c.width) << c.options[1];
    EXPECT_EQ(im.height, c.height) << c.options[1];
    EXPECT_EQ(Pixel(im, 0, 0), c.corner) << c.options[1];
    if (c.options[0] != "--view") continue;
    int left = im.width, right = 0, top = im.height, bottom = 0;
    for (int y = 0; y < im.height; ++y)
      for (int x = 0; x < im.width; ++x)
        if (!(Pixel(im, x, y) == c.corner)) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    EXPECT_EQ(right - left > bottom - top, c.wide) << c.options[1];
  }
}

TEST_F(Pictures, BadOptionsAndFilesAreRefusedInWordsAndNothingIsLost) {
  const std::string good = Write("tri.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
  const std::string png = Write("keep.png", "an older picture");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* words;
  } cases[] = {
      {{"render", good, "--size", "9"}, 2, "--size takes W or WxH"},
      {{"render", good, "--view", "top"}, 2, "--view takes iso, x, y, z"},
      {{"render", good, "--background", "pink"}, 2, "--background takes #rrggbb"},
      {{"render", good, good, "-o", png}, 2, "with several files, -o names a folder"},
      {{"render"}, 2, "FILE is required"},
      {{"render", (dir_ / "none.off").string(), "-o", png}, 1, "cannot open"},
      {{"render", Write("bad.off", "OFF\n3 1 0\n0 0 0\n"), "-o", png}, 1, "ends after 1 of 3 vertices"},
      {{"render", good, "-o", (dir_ / "no" / "such" / "x.png").string()}, 1, "cannot write"},
      {{"render", good, "--solid-file", good, "--solid-file", good}, 2, "--solid-file is given once for each OFF file"},
  };
  for (const Case& c : cases) {
    auto r = Kelmor(c.args);
    EXPECT_EQ(r.status, c.status) << c.words << "\n" << r.err;
    EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(png), "an older picture");
  }
  auto help = Kelmor({"render", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--background"), std::string::npos);
}

// Frame faces are open and translucent faces show what is behind them, as the solid file
// written with the OFF file draws them; the OFF file alone draws them plain.
TEST_F(Pictures, TheSolidFileOpensFrameFacesAndShowsThroughTranslucentOnes) {
  // Two squares, a red one in front (translucent in the solid file: a ring and a pane) and a
  // blue one behind.
  const std::string off = Write("pair.off",
                                "OFF\n8 2 0\n-1 -1 1\n1 -1 1\n1 1 1\n-1 1 1\n-1 -1 -1\n1 -1 -1\n1 1 -1\n-1 1 -1\n"
                                "4 0 1 2 3 255 0 0\n4 4 5 6 7 0 0 255\n");
  const std::string points =
      "    coord DEF C1 Coordinate{\n         point[\n          -1.0 -1.0 1.0,\n          1.0 -1.0 1.0,\n"
      "          1.0 1.0 1.0,\n          -1.0 1.0 1.0,\n          -1.0 -1.0 -1.0,\n          1.0 -1.0 -1.0,\n"
      "          1.0 1.0 -1.0,\n          -1.0 1.0 -1.0,\n          -0.9 -0.9 1.0,\n          0.9 -0.9 1.0,\n"
      "          0.9 0.9 1.0,\n          -0.9 0.9 1.0,\n         ]\n    }\n";
  const std::string solid = Write("pair_solid.wrl", "#VRML V2.0 utf8\nTransform {\n  children[\n  Shape{\n" + points +
                                                        "    coordIndex[\n      0 , 1 , 9 , 8 , -1,\n      1 , 2 , 10 , 9 , -1,\n"
                                                        "      2 , 3 , 11 , 10 , -1,\n      3 , 0 , 8 , 11 , -1,\n"
                                                        "      4 , 5 , 6 , 7 ,-1,\n"
                                                        "    ]\n  }\nTransform {\n  children[\n  DEF TRANS Shape{\n"
                                                        "    coordIndex[\n      0 , 1 , 2 , 3 ,-1,\n    ]\n"
                                                        "        transparency 0.50\n  }\n");
  const fs::path golden = fs::path(KELMOR_SOURCE_DIR) / "tests" / "golden";
  struct Case {
    std::string off, solid, view;
    bool seeThrough;  // the middle of the picture shows what lies behind the front face
  } cases[] = {
      {off, "", "z", false},
      {off, solid, "z", true},
      // The writer's cube with a frame face in front and a blank face behind it.
      {(golden / "mixed.off").string(), "", "-z", false},
      {(golden / "mixed.off").string(), (golden / "mixed_solid.wrl").string(), "-z", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.off + " " + c.solid);
    std::vector<std::string> args = {"render", c.off, "-o", (dir_ / "look.png").string(), "--size", "100", "--view", c.view};
    if (!c.solid.empty()) args.insert(args.end(), {"--solid-file", c.solid});
    auto r = Kelmor(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    Image im;
    ASSERT_TRUE(ReadPng((dir_ / "look.png").string(), im));
    const Rgba middle = Pixel(im, 50, 50);
    if (c.off == off) {
      // Red in front; through the pane the blue square shows too.
      EXPECT_GT(middle.r, 60);
      EXPECT_EQ(middle.b > 40, c.seeThrough) << int(middle.r) << " " << int(middle.b);
    } else {
      // Through the open frame and the missing face: the white background.
      EXPECT_EQ(middle == (Rgba{255, 255, 255, 255}), c.seeThrough);
    }
  }
  // A solid file of another solution: said, and the faces drawn plain.
  auto other = Kelmor({"render", off, "-o", (dir_ / "look.png").string(), "--solid-file",
                       (golden / "mixed_solid.wrl").string()});
  EXPECT_EQ(other.status, 0);
  EXPECT_NE(other.err.find("is not the OFF file's vertex 0 (another solution); faces drawn plain"), std::string::npos)
      << other.err;

  // run --png draws the solution with the look of the solid file it wrote.
  const std::string cube = Write("cube.txt", "{\n1,5,4,0t,-1,\n2,0,4,6f,-1,\n3,1,0,2,-1,\n5,1,3,7,-1,\n6,4,5,7,-1,\n7,3,2,6,-1,\n}\n");
  auto run = Kelmor({"run", cube, "--seed", "1", "--quiet", "--answer", "no", "--png"});
  ASSERT_EQ(run.status, 0) << run.err;
  auto plain = Kelmor({"render", (dir_ / "cube.off").string(), "-o", (dir_ / "plain.png").string()});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_NE(ReadAll(dir_ / "cube.png"), ReadAll(dir_ / "plain.png"));
  auto looked = Kelmor({"render", (dir_ / "cube.off").string(), "-o", (dir_ / "looked.png").string(), "--solid-file",
                        (dir_ / "cube_solid.wrl").string()});
  EXPECT_EQ(ReadAll(dir_ / "cube.png"), ReadAll(dir_ / "looked.png"));
}

TEST_F(Pictures, RunDrawsPicturesOnlyWhenAskedAndLoadsNoOpenGLOtherwise) {
  fs::copy_file(fs::path(KELMOR_SOURCE_DIR) / "examples" / "cube.txt", dir_ / "cube.txt");
  const std::string cube = (dir_ / "cube.txt").string();
  auto plain = Kelmor({"run", cube, "--seed", "1", "--quiet", "--answer", "no"}, {"LD_DEBUG=libs"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_FALSE(fs::exists(dir_ / "cube.png"));
  // The pictures' libraries come only with the renderer (while the windows still live in
  // kelmor itself, Qt brings its own OpenGL along).
  if (plain.err.find("libQt6") == std::string::npos)
    for (const char* library : {"libEGL", "libOpenGL", "libGLX", "libpng"})
      EXPECT_EQ(plain.err.find(library), std::string::npos) << library;

  auto drawn = Kelmor({"run", cube, "--seed", "1", "--quiet", "--answer", "no", "--png"});
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  Image im;
  ASSERT_TRUE(ReadPng((dir_ / "cube.png").string(), im));
  EXPECT_GT(Silhouette(im), 0.2);
  EXPECT_NE(drawn.out.find("cube.png"), std::string::npos) << drawn.out;

  // No OFF file written: the run still succeeds and says why there is no picture.
  fs::remove(dir_ / "cube.png");
  auto noOff = Kelmor({"run", cube, "--seed", "1", "--quiet", "--answer", "no", "--png", "--pref", "voff=0",
                       "--out", dir_.string()});
  EXPECT_FALSE(fs::exists(dir_ / "cube.png"));
  EXPECT_EQ(noOff.status, 0) << noOff.err;
  EXPECT_NE(noOff.err.find("no OFF file was written"), std::string::npos) << noOff.err;
}

// The result window's screenshot, with no OFF file named, shows the sample solution (the
// snub cube relaxed on the spot): coloured faces over a good part of the picture, the
// triangles' blue and the squares' orange among them.
TEST_F(Pictures, ResultWindowScreenshotShowsTheSampleSolution) {
  if (!fs::exists(fs::path(KELMOR_BINARY_DIR) / "kelmor-gui")) GTEST_SKIP() << "built without the windows";
  const fs::path shot = dir_ / "result.png";
  auto r = Kelmor({"--screenshot", "ResultView", shot.string()}, {"QT_QPA_PLATFORM=offscreen"});
  ASSERT_EQ(r.status, 0) << r.err;
  Image im;
  ASSERT_TRUE(ReadPng(shot.string(), im));
  long coloured = 0, blue = 0, orange = 0;
  for (size_t i = 0; i < im.pixels.size(); i += 4) {
    const int red = im.pixels[i], green = im.pixels[i + 1], b = im.pixels[i + 2];
    if (std::max({red, green, b}) - std::min({red, green, b}) < 80) continue;  // greys: window, text
    ++coloured;
    blue += b > red + 80 && b > green + 80;
    orange += red > b + 80 && green > b;
  }
  const double share = static_cast<double>(coloured) / (im.width * im.height);
  EXPECT_GT(share, 0.2);
  EXPECT_LT(share, 0.8);
  EXPECT_GT(blue, 1000);
  EXPECT_GT(orange, 1000);
}

}  // namespace
}  // namespace kelmor
