// Meshes for the extra formats: triangulation, orientation, closed shells, names.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "export/export_solution.h"
#include "export/mesh.h"
#include "export/shell_check.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

// The unit cube: every face given counter-clockwise seen from outside unless turned.
SolutionSnapshot Cube(std::vector<bool> turned = {}) {
  SolutionSnapshot s;
  s.name = "cube";
  for (int i = 0; i < 8; ++i) s.points.push_back({double(i & 1), double((i >> 1) & 1), double((i >> 2) & 1)});
  std::vector<std::vector<int>> faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                         {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (size_t f = 0; f < faces.size(); ++f) {
    SnapshotFace face;
    face.corners = faces[f];
    if (f < turned.size() && turned[f]) std::reverse(face.corners.begin(), face.corners.end());
    face.colour = 4;
    s.faces.push_back(face);
  }
  s.colours.assign(33, {0.5, 0.5, 0.5});
  s.colours[4] = {1, 0.5, 0};
  for (int a = 0; a < 8; ++a)
    for (int b = a + 1; b < 8; ++b)
      if (std::popcount(static_cast<unsigned>(a ^ b)) == 1) s.struts.push_back({a, b});
  s.cylinderModel = true;
  s.strutRadius = 0.05;
  s.ballRadius = 0.08;
  return s;
}

double Area(const Mesh& m, size_t t) {
  const auto& tri = m.triangles[t];
  return Length(Cross(m.points[size_t(tri[1])] - m.points[size_t(tri[0])],
                      m.points[size_t(tri[2])] - m.points[size_t(tri[0])])) / 2;
}

TEST(ExportList, ReadsFormatListsAndRefusesOthers) {
  struct Case {
    const char* text;
    std::vector<ExportFormat> formats;
    const char* error;  // part of the reason, or null when accepted
  } cases[] = {
      {"glb,stl,3mf,obj", {ExportFormat::Glb, ExportFormat::Stl, ExportFormat::ThreeMf, ExportFormat::Obj}, nullptr},
      {"GLTF", {ExportFormat::Gltf}, nullptr},
      {"stl,stl,obj", {ExportFormat::Stl, ExportFormat::Obj}, nullptr},
      {"png", {}, "'png' is not one"},
      {"glb,,stl", {}, "'' is not one"},
      {"", {}, "needs at least one"},
  };
  for (const Case& c : cases) {
    std::vector<ExportFormat> got;
    auto e = ParseExportList(c.text, got);
    if (c.error) {
      ASSERT_TRUE(e) << c.text;
      EXPECT_NE(e->find(c.error), std::string::npos) << *e;
    } else {
      EXPECT_FALSE(e) << c.text;
      EXPECT_EQ(got, c.formats) << c.text;
      EXPECT_EQ(ParseExportList(ExportListText(got), got), std::nullopt);
    }
  }
}

TEST(ExportList, PrintFormatsMeasureMillimetresAndGltfMetres) {
  ExportRequest none, given;
  given.scale = 35;
  EXPECT_EQ(UnitsPerEdge(ExportFormat::Stl, none), 20);
  EXPECT_EQ(UnitsPerEdge(ExportFormat::ThreeMf, given), 35);
  EXPECT_EQ(UnitsPerEdge(ExportFormat::Glb, none), 1);
  EXPECT_DOUBLE_EQ(UnitsPerEdge(ExportFormat::Glb, given), 0.035);
  EXPECT_EQ(UnitsPerEdge(ExportFormat::Obj, none), 1);
  EXPECT_EQ(UnitsPerEdge(ExportFormat::Obj, given), 35);
}

TEST(SolidMesh, FacesInAnyTurnBecomeOneClosedOutwardShell) {
  std::vector<std::vector<bool>> turns = {{}, {true, false, true, false, false, true},
                                          {true, true, true, true, true, true}};
  for (const auto& turned : turns) {
    Mesh m = SolidMesh(Cube(turned));
    ShellReport r = CheckShells(m.points, m.triangles);
    EXPECT_TRUE(r.Printable()) << r.openEdges << " " << r.misorientedEdges;
    EXPECT_EQ(r.shells, 1);
    EXPECT_NEAR(r.volume, 1.0, 1e-12);
    EXPECT_EQ(m.triangles.size(), 12u);
    EXPECT_EQ(m.PartCount(), 6);
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_EQ(m.materials[0].colour.g, 0.5);
  }
}

TEST(SolidMesh, StarFacesAreFilledAroundTheirCentreAndConcaveFacesByEars) {
  SolutionSnapshot s;
  s.colours.assign(33, {});
  for (int p = 0; p < 5; ++p)
    s.points.push_back({std::cos(2 * std::numbers::pi * p / 5), std::sin(2 * std::numbers::pi * p / 5), 0});
  s.faces.push_back({{0, 1, 2, 3, 4}, 2, true, 11});
  // An L in the plane z = 1: area 3, concave at point 8.
  for (auto [x, y] : std::vector<std::pair<double, double>>{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}})
    s.points.push_back({x, y, 1});
  s.faces.push_back({{5, 6, 7, 8, 9, 10}, 1, false, 3});
  Mesh m = SolidMesh(s);
  ASSERT_EQ(m.triangles.size(), 5u + 4u);
  for (size_t t = 0; t < 5; ++t) {
    EXPECT_EQ(m.triangles[t][0], 11) << "the centre point comes after the corners";
    EXPECT_EQ(m.trianglePart[t], 0);
  }
  Vec3 centre = m.points[11];
  EXPECT_NEAR(Length(centre), 0, 1e-12);
  // Each fan triangle spans two corners two steps apart.
  EXPECT_EQ((m.triangles[0][2] - m.triangles[0][1] + 5) % 5, 2);
  double lArea = 0;
  for (size_t t = 5; t < 9; ++t) {
    lArea += Area(m, t);
    const auto& tri = m.triangles[t];
    Vec3 n = Cross(m.points[size_t(tri[1])] - m.points[size_t(tri[0])], m.points[size_t(tri[2])] - m.points[size_t(tri[0])]);
    EXPECT_GT(n.z, 0) << "every ear keeps the outline's turn";
  }
  EXPECT_NEAR(lArea, 3.0, 1e-12);
}

TEST(StrutMesh, EveryStrutAndBallIsItsOwnClosedShell) {
  SolutionSnapshot s = Cube();
  Mesh m = StrutMesh(s, 20);
  ShellReport r = CheckShells(m.points, m.triangles);
  EXPECT_TRUE(r.Printable());
  EXPECT_EQ(r.shells, 12 + 8);
  // A strut of radius 1 mm at 20 mm: facets within 0.01 mm of the round surface, so
  // the prisms hold a little less than round struts would, never more.
  double cylinder = std::numbers::pi * 0.05 * 0.05;
  double ball = 4.0 / 3 * std::numbers::pi * std::pow(0.08, 3);
  double struts = 0, balls = 0;
  for (double v : r.volumes) (v > (cylinder + ball) / 2 ? struts : balls) += v;
  EXPECT_GT(struts / (12 * cylinder), 0.975);
  EXPECT_LT(struts / (12 * cylinder), 1.0);
  EXPECT_GT(balls / (8 * ball), 0.96);
  EXPECT_LT(balls / (8 * ball), 1.0);
  // A vertex that ends no strut gets no ball: it would print as a loose piece.
  s.points.push_back({5, 5, 5});
  EXPECT_EQ(CheckShells(StrutMesh(s, 20).points, StrutMesh(s, 20).triangles).shells, 20);
}

TEST(ShellCheck, FindsHolesDoubleEdgesAndInsideOut) {
  Mesh cube = SolidMesh(Cube());
  auto open = cube.triangles;
  open.pop_back();
  EXPECT_GT(CheckShells(cube.points, open).openEdges, 0);
  auto inside = cube.triangles;
  for (auto& t : inside) std::swap(t[1], t[2]);
  ShellReport r = CheckShells(cube.points, inside);
  EXPECT_EQ(r.misorientedEdges, 0);
  EXPECT_FALSE(r.Printable()) << "negative volume";
  auto twisted = cube.triangles;
  std::swap(twisted[0][1], twisted[0][2]);
  EXPECT_GT(CheckShells(cube.points, twisted).misorientedEdges, 0);
  auto fin = cube.triangles;
  fin.push_back({0, 1, 4});
  EXPECT_GT(CheckShells(cube.points, fin).overusedEdges, 0);
}

// Printable means closed, consistently wound and enclosing a positive volume in every
// shell: a triangle with its back face is closed and consistent, and encloses nothing.
TEST(ShellCheck, EveryShellMustEncloseAPositiveVolume) {
  Mesh cube = SolidMesh(Cube());
  ShellReport whole = CheckShells(cube.points, cube.triangles);
  EXPECT_TRUE(whole.Printable());
  EXPECT_EQ(whole.shells, 1);
  EXPECT_NEAR(whole.volume, 1.0, 1e-12);

  const std::vector<Vec3> flat = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  ShellReport sheet = CheckShells(flat, {{0, 1, 2}, {0, 2, 1}});
  EXPECT_EQ(sheet.shells, 1);
  EXPECT_EQ(sheet.openEdges + sheet.overusedEdges + sheet.misorientedEdges, 0);
  EXPECT_EQ(sheet.volume, 0.0);
  EXPECT_FALSE(sheet.Printable());

  // The cube beside such a sheet, and beside a second, inside-out cube: the total volume
  // is positive, but one shell is not.
  std::vector<Vec3> points = cube.points;
  std::vector<std::array<int, 3>> triangles = cube.triangles;
  const int base = static_cast<int>(points.size());
  for (const Vec3& p : flat) points.push_back({p.x + 5, p.y, p.z});
  triangles.push_back({base, base + 1, base + 2});
  triangles.push_back({base, base + 2, base + 1});
  ShellReport withSheet = CheckShells(points, triangles);
  EXPECT_EQ(withSheet.shells, 2);
  EXPECT_GT(withSheet.volume, 0);
  EXPECT_FALSE(withSheet.Printable());
  EXPECT_TRUE(CheckShells({}, {}).shells == 0 && !CheckShells({}, {}).Printable());
}

class ExportFiles : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(ExportFiles, NamesFollowTheOutputNamingAndFlawsAreReported) {
  SolutionSnapshot s = Cube();
  s.folder = dir_.string();
  s.name = "cube_isom2";
  s.suffix = "_weaken3";
  ExportRequest r;
  r.formats = {ExportFormat::Glb, ExportFormat::Stl, ExportFormat::ThreeMf, ExportFormat::Obj};
  ExportOutcome out = ExportSolution(s, r);
  EXPECT_TRUE(out.failures.empty()) << out.failures.front();
  EXPECT_TRUE(out.warnings.empty());
  std::vector<std::string> made;
  for (const FurtherFile& f : out.files) {
    made.push_back(fs::path(f.path).filename().string());
    EXPECT_EQ(fs::path(f.path).parent_path(), dir_) << f.path;
    EXPECT_FALSE(f.bytes.empty()) << f.path;
  }
  // Each model's files in the order asked for, an OBJ followed by the MTL it names.
  EXPECT_EQ(made, (std::vector<std::string>{
                      "cube_isom2_weaken3.glb", "cube_isom2_weaken3.stl", "cube_isom2_weaken3.3mf",
                      "cube_isom2_weaken3.obj", "cube_isom2_weaken3.mtl", "cube_isom2_struts_weaken3.glb",
                      "cube_isom2_struts_weaken3.stl", "cube_isom2_struts_weaken3.3mf",
                      "cube_isom2_struts_weaken3.obj", "cube_isom2_struts_weaken3.mtl"}));
  EXPECT_NE(out.files[3].bytes.find("mtllib cube_isom2_weaken3.mtl"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir_)) << "nothing reaches the disk before the caller commits";

  // The preferences' thin struts are thickened for printing; struts the user asks to be
  // thinner than a nozzle prints whole are written, with a word on it.
  s.strutRadius = 0.01;
  out = ExportSolution(s, r);
  EXPECT_TRUE(out.warnings.empty()) << out.warnings.front();
  r.strut = 0.4;
  out = ExportSolution(s, r);
  ASSERT_EQ(out.warnings.size(), 1u) << out.warnings.back();
  EXPECT_NE(out.warnings[0].find("cube_isom2_struts_weaken3: struts 0.4 mm thick print in pieces"), std::string::npos)
      << out.warnings[0];
  r.strut.reset();

  // Without the cylinder model there is no strut file; a face left out opens the solid.
  s.cylinderModel = false;
  s.faces.pop_back();
  s.name = "open";
  out = ExportSolution(s, r);
  ASSERT_EQ(out.files.size(), 5u);
  for (const FurtherFile& f : out.files) EXPECT_EQ(f.path.find("open_struts"), std::string::npos) << f.path;
  ASSERT_EQ(out.warnings.size(), 1u);
  EXPECT_NE(out.warnings[0].find("open edges"), std::string::npos) << out.warnings[0];
}

TEST_F(ExportFiles, AModelWithNoFacesMakesNoFileButSaysWhy) {
  SolutionSnapshot s;
  ExportRequest r;
  r.formats = {ExportFormat::Glb, ExportFormat::Stl};
  s.folder = dir_.string();
  s.name = "empty";
  ExportOutcome out = ExportSolution(s, r);
  ASSERT_FALSE(out.failures.empty());
  EXPECT_NE(out.failures[0].find("no faces"), std::string::npos) << out.failures[0];
  EXPECT_TRUE(out.files.empty());
}

}  // namespace
}  // namespace kelmor

#include "export/export_settings.h"

namespace kelmor {
namespace {

TEST_F(ExportFiles, TheWindowsChoiceKeepsItsOwnFileAndSurvivesBadLines) {
  std::string ini = (dir_ / "kelmor.ini").string();
  std::string path = ExportSettingsPath(ini);
  EXPECT_EQ(fs::path(path).filename(), "kelmor-export.ini");
  std::string problem;
  EXPECT_TRUE(ReadExportSettings(path, &problem).formats.empty()) << "no file: no exports";
  EXPECT_EQ(problem, "");
  ExportRequest r;
  r.formats = {ExportFormat::Stl, ExportFormat::Glb};
  r.scale = 12.5;
  ASSERT_EQ(WriteExportSettings(path, r), std::nullopt);
  ExportRequest back = ReadExportSettings(path);
  EXPECT_EQ(back.formats, r.formats);
  EXPECT_EQ(back.scale, 12.5);
  EXPECT_FALSE(fs::exists(ini)) << "kelmor.ini is never touched";

  struct Case {
    const char* text;
    size_t formats;
    std::optional<double> scale;
    const char* problem;
  } cases[] = {
      {"formats=glb,png\r\nscale=30\r\n", 0, 30, "'png' is not one"},
      {"formats=obj\nscale=-2\n", 1, std::nullopt, "scale takes"},
      {"formats=obj\nscale=2mm\n", 1, std::nullopt, "not '2mm'"},
      {"colour=red\nformats=3mf\n", 1, std::nullopt, "unknown key 'colour'"},
      {"formats=\nscale=\n", 0, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    problem.clear();
    ExportRequest got = ReadExportSettings(path, &problem);
    EXPECT_EQ(got.formats.size(), c.formats) << c.text;
    EXPECT_EQ(got.scale, c.scale) << c.text;
    EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
  }
}

}  // namespace
}  // namespace kelmor
