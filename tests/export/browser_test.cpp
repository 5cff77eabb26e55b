// The glTF solid of the snub cube in a web page: three.js's GLTFLoader in headless
// Chromium finds its 38 faces, each in its colour, and a render shows both colours.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "cli/cli.h"
#include "export/mesh_files.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

bool Have(const std::string& program) {
  return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

// The colour of a colour-table entry of a solid file ("       1.000 0.502 0.000, # 3 triangle")
// as three bytes.
std::array<int, 3> TableColour(const fs::path& wrl, const std::string& comment) {
  std::ifstream in(wrl);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find(comment) == std::string::npos) continue;
    std::istringstream values(line);
    double r, g, b;
    values >> r >> g >> b;
    return {int(std::lround(r * 255)), int(std::lround(g * 255)), int(std::lround(b * 255))};
  }
  return {-1, -1, -1};
}

bool Near(const std::string& hex, const std::array<int, 3>& c) {
  for (int k = 0; k < 3; ++k)
    if (std::abs(std::stoi(hex.substr(size_t(2 * k), 2), nullptr, 16) - c[size_t(k)]) > 2) return false;
  return true;
}

TEST(Browser, SnubCubeGlbShowsItsThirtyEightFacesInTheirColours) {
#ifdef KELMOR_SANITIZED
  GTEST_SKIP() << "the file is the same in every build; the release build runs this";
#endif
  fs::path three = fs::path(KELMOR_TOOLS_DIR) / "node_modules" / "three";
  std::string chromium = Have("chromium") ? "chromium" : Have("chromium-browser") ? "chromium-browser" : "";
  if (chromium.empty() || !Have("node") || !fs::exists(three))
    GTEST_SKIP() << "needs chromium, node and three.js in " << KELMOR_TOOLS_DIR << " (scripts/bootstrap)";
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  fs::create_directories(dir / "profile");
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"run", (fs::path(KELMOR_SOURCE_DIR) / "examples" / "snub_cube.txt").string(), "--out", dir.string(),
                    "--settings", (dir / "kelmor.ini").string(), "--seed", "5", "--quiet", "--answer", "no",
                    "--export", "glb"},
                   out, err),
            0)
      << err.str();
  std::string output;
  fs::path page = fs::path(KELMOR_SOURCE_DIR) / "tests" / "export" / "browser";
  int status = RunTool("node '" + (page / "serve_and_load.js").string() + "' '" + page.string() + "' '" +
                           three.string() + "' '" + (dir / "snub_cube.glb").string() + "' \"$(command -v " +
                           chromium + ")\" '" + (dir / "profile").string() + "'",
                       dir, output);
  ASSERT_EQ(status, 0) << output;
  auto triangle = TableColour(dir / "snub_cube_solid.wrl", "# 3 triangle");
  auto square = TableColour(dir / "snub_cube_solid.wrl", "# 4 square");
  ASSERT_NE(triangle[0], -1);

  static const std::regex face(R"re(\{"colour":"([0-9a-f]{6})","triangles":(\d+)\})re");
  int triangles = 0, squares = 0, others = 0;
  for (std::sregex_iterator it(output.begin(), output.end(), face), end; it != end; ++it) {
    std::string hex = (*it)[1];
    int parts = std::stoi((*it)[2]);
    if (Near(hex, triangle) && parts == 1) ++triangles;
    else if (Near(hex, square) && parts == 2) ++squares;
    else ++others;
  }
  EXPECT_EQ(triangles, 32) << output;
  EXPECT_EQ(squares, 6) << output;
  EXPECT_EQ(others, 0) << output;

  // The render: where WebGL runs (software in headless Chromium), both colours show.
  if (output.find("no WebGL") != std::string::npos) GTEST_SKIP() << "no WebGL here: " << output.substr(0, 300);
  static const std::regex pixel(R"re("([0-9a-f]{6})":(\d+))re");
  long triangleSeen = 0, squareSeen = 0;
  auto pixels = output.find("\"pixels\"");
  ASSERT_NE(pixels, std::string::npos) << output;
  for (std::sregex_iterator it(output.begin() + long(pixels), output.end(), pixel), end; it != end; ++it) {
    if (Near((*it)[1], triangle)) triangleSeen += std::stol((*it)[2]);
    if (Near((*it)[1], square)) squareSeen += std::stol((*it)[2]);
  }
  EXPECT_GT(triangleSeen, 500) << output;
  EXPECT_GT(squareSeen, 100) << output;
}

}  // namespace
}  // namespace kelmor
