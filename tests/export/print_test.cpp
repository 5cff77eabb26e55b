// Models for printing: which way up they lie, how thick their struts are, the advice a
// printer gets, and the STL and 3MF files' own details.
#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "export/export_solution.h"
#include "export/flat_foot.h"
#include "export/format_writers.h"
#include "export/lay_on.h"
#include "export/mesh.h"
#include "export/mesh_files.h"
#include "export/print_advice.h"
#include "export/shell_check.h"
#include "export/strut_size.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

// A prism 3 long over the convex quadrilateral A(0,0) B(3,0) C(2.2,1.4) D(0,3): its side
// faces over AB and DA are the largest (area 9 each), and the centre of mass lies nearer
// above the middle of AB than of DA, so AB is the steadier of the two. Faces 1 and 2 are
// the ends, 3 to 6 the sides over AB, BC, CD and DA.
SolutionSnapshot Wedge() {
  SolutionSnapshot s;
  s.name = "wedge";
  const double section[4][2] = {{0, 0}, {3, 0}, {2.2, 1.4}, {0, 3}};
  for (double z : {0.0, 3.0})
    for (const auto& p : section) s.points.push_back({p[0], p[1], z});
  std::vector<std::vector<int>> faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                         {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
  for (size_t f = 0; f < faces.size(); ++f) {
    SnapshotFace face;
    face.corners = faces[f];
    face.number = static_cast<int>(f) + 1;
    s.faces.push_back(face);
  }
  s.colours.assign(33, {0.5, 0.5, 0.5});
  return s;
}

// The points of the snapshot that lie on the bed once the laid model is put on it.
std::vector<int> OnBed(const SolutionSnapshot& laid) {
  Mesh bed = OnTheBed(SolidMesh(laid));
  std::vector<int> low;
  for (size_t p = 0; p < laid.points.size(); ++p)
    if (std::fabs(bed.points[p].z) < 1e-9) low.push_back(static_cast<int>(p));
  return low;
}

TEST(LayOn, ReadsTheChoicesAndRefusesOthers) {
  struct Case {
    const char* text;
    LayOn::Kind kind;
    int face;
    bool accepted;
  } cases[] = {
      {"largest", LayOn::Kind::Largest, 0, true},
      {"as-solved", LayOn::Kind::AsSolved, 0, true},
      {"face 3", LayOn::Kind::Face, 3, true},
      {"face=12", LayOn::Kind::Face, 12, true},
      {"face 0", LayOn::Kind::Largest, 0, false},
      {"face -2", LayOn::Kind::Largest, 0, false},
      {"face 2x", LayOn::Kind::Largest, 0, false},
      {"face", LayOn::Kind::Largest, 0, false},
      {"face 99999999999", LayOn::Kind::Largest, 0, false},
      {"top", LayOn::Kind::Largest, 0, false},
  };
  for (const Case& c : cases) {
    LayOn got;
    auto e = ParseLayOn(c.text, got);
    EXPECT_EQ(!e, c.accepted) << c.text;
    if (e)
      EXPECT_NE(e->find("--lay-on takes largest, face N"), std::string::npos) << *e;
    else
      EXPECT_TRUE(got.kind == c.kind && got.face == c.face) << c.text;
  }
}

TEST(LayOn, TheLargestSteadiestFaceOrTheNamedOneGoesDown) {
  std::string warning;
  EXPECT_EQ(OnBed(LaidOn(Wedge(), {}, warning)), (std::vector<int>{0, 1, 4, 5}))
      << "side AB, not DA";
  EXPECT_EQ(warning, "");
  EXPECT_EQ(OnBed(LaidOn(Wedge(), {LayOn::Kind::Face, 6}, warning)),
            (std::vector<int>{0, 3, 4, 7}));
  EXPECT_EQ(OnBed(LaidOn(Wedge(), {LayOn::Kind::Face, 2}, warning)),
            (std::vector<int>{4, 5, 6, 7}));
  EXPECT_EQ(warning, "");
  // As solved: the points as they were, only lifted onto the bed and centred.
  SolutionSnapshot solved = LaidOn(Wedge(), {LayOn::Kind::AsSolved, 0}, warning);
  for (size_t p = 0; p < solved.points.size(); ++p)
    EXPECT_EQ(solved.points[p].x, Wedge().points[p].x);
  Mesh bed = OnTheBed(SolidMesh(solved));
  EXPECT_DOUBLE_EQ(bed.points[0].x, -1.5);
  EXPECT_DOUBLE_EQ(bed.points[3].y, 1.5);
  EXPECT_DOUBLE_EQ(bed.points[0].z, 0);
  // A face the model does not have: said, and the largest face goes down.
  EXPECT_EQ(OnBed(LaidOn(Wedge(), {LayOn::Kind::Face, 9}, warning)),
            (std::vector<int>{0, 1, 4, 5}));
  EXPECT_NE(
      warning.find("--lay-on face 9: the solid has no face 9; laid on its largest face instead"),
      std::string::npos)
      << warning;
}

TEST(LayOn, ATurnedModelKeepsItsShapeAndAFaceInsideIsRefused) {
  // A dent: point 8 pushed into the top face's middle makes four faces that are not on
  // the outside.
  SolutionSnapshot s = Wedge();
  s.points.push_back({1.3, 1.1, 2});
  s.faces[1] = {{4, 5, 8}, 1, false, 0, 2};
  s.faces.push_back({{5, 6, 8}, 1, false, 0, 7});
  s.faces.push_back({{6, 7, 8}, 1, false, 0, 8});
  s.faces.push_back({{7, 4, 8}, 1, false, 0, 9});
  std::string warning;
  SolutionSnapshot laid = LaidOn(s, {LayOn::Kind::Face, 2}, warning);
  EXPECT_NE(warning.find("face 2: the face is not on the outside"), std::string::npos) << warning;
  for (size_t a = 0; a < s.points.size(); ++a)
    for (size_t b = 0; b < s.points.size(); ++b) {
      auto at = [](const SolutionSnapshot& x, size_t i) {
        return Vec3{x.points[i].x, x.points[i].y, x.points[i].z};
      };
      EXPECT_NEAR(Length(at(laid, a) - at(laid, b)), Length(at(s, a) - at(s, b)), 1e-12);
    }
  ShellReport r = CheckShells(SolidMesh(laid).points, SolidMesh(laid).triangles);
  EXPECT_TRUE(r.Printable());
}

TEST(FlatFoot, ASolidOnItsTipsIsCutJustEnoughToStandAndStaysClosed) {
  // An octahedron on one vertex: nothing on the bed but a point.
  SolutionSnapshot s;
  s.colours.assign(33, {});
  const double h = std::sqrt(0.5);
  for (Vec3 p : {Vec3{0, 0, 0}, Vec3{h, 0, h}, Vec3{0, h, h}, Vec3{-h, 0, h}, Vec3{0, -h, h},
                 Vec3{0, 0, 2 * h}})
    s.points.push_back({p.x, p.y, p.z});
  for (int i = 0; i < 4; ++i) {
    int a = 1 + i, b = 1 + (i + 1) % 4;
    s.faces.push_back({{0, b, a}, 1, false, 0, 2 * i + 1});
    s.faces.push_back({{5, a, b}, 1, false, 0, 2 * i + 2});
  }
  Mesh tip = SolidMesh(s);
  struct Case {
    double edge;  // millimetres
    bool cut;
  } cases[] = {{20, true}, {60, true}, {2, false}};
  for (const Case& c : cases) {
    double cutMillimetres = -1;
    Mesh foot = FlatFoot(tip, c.edge, cutMillimetres);
    ShellReport r = CheckShells(foot.points, foot.triangles);
    EXPECT_TRUE(r.Printable()) << c.edge;
    if (!c.cut) {
      EXPECT_EQ(cutMillimetres, 0) << "a cut within a tenth of 2.8 mm gives no 4 mm² foot";
      EXPECT_EQ(foot.triangles.size(), tip.triangles.size());
      continue;
    }
    // The cut at height z is a square of diagonal 2 z, area 2 z²: 4 mm² from z = 1.41 mm,
    // taken in quarter millimetres.
    EXPECT_GT(cutMillimetres, 1.41) << c.edge;
    EXPECT_LT(cutMillimetres, 1.67) << c.edge;
    double low = 1e9, bed = 0;
    for (const Vec3& p : foot.points) low = std::min(low, p.z);
    EXPECT_NEAR(low, 0, 1e-12) << "no loose point below the foot";
    for (const auto& t : foot.triangles) {
      Vec3 a = foot.points[size_t(t[0])], b = foot.points[size_t(t[1])],
           cc = foot.points[size_t(t[2])];
      Vec3 n = Cross(b - a, cc - a);
      if (std::max({a.z, b.z, cc.z}) < 1e-12) {
        EXPECT_LT(n.z, 0) << "the foot faces the bed";
        bed += Length(n) / 2;
      }
    }
    EXPECT_GE(bed * c.edge * c.edge, SteadyFootSquareMillimetres) << c.edge;
    EXPECT_NEAR(r.volume, std::sqrt(2.0) / 3 - std::pow(cutMillimetres / c.edge, 3) * 2 / 3, 1e-9)
        << c.edge;
  }
  // A solid on a face stands as it is.
  double cutMillimetres = -1;
  EXPECT_EQ(FlatFoot(SolidMesh(Wedge()), 20, cutMillimetres).triangles.size(),
            SolidMesh(Wedge()).triangles.size());
  EXPECT_EQ(cutMillimetres, 0);
}

TEST(StrutSizes, ThickEnoughToPrintUnlessTheUserSaysOtherwise) {
  struct Case {
    double strutRadius, ballRadius;  // unit edge, as the preferences give them
    std::optional<double> scale, strut, ball;
    double wantStrut, wantBall;
  } cases[] = {
      {0.01, 0.05, {}, {}, {}, 1.2, 2.0},    // the preferences' 0.4 mm struts at 20 mm
      {0.01, 0.05, 10.0, {}, {}, 1.2, 1.8},  // balls at least 1.5 struts
      {0.05, 0.08, 30.0, {}, {}, 3.0, 4.8},  // thick enough already
      {0.01, 0.05, {}, 0.5, {}, 0.5, 2.0},   // given: taken as given
      {0.01, 0.05, {}, 2.0, 2.5, 2.0, 2.5}, {0.0, 0.0, {}, {}, {}, 1.2, 1.8},
  };
  for (const Case& c : cases) {
    SolutionSnapshot s;
    s.strutRadius = c.strutRadius;
    s.ballRadius = c.ballRadius;
    ExportRequest r;
    r.scale = c.scale;
    r.strut = c.strut;
    r.ball = c.ball;
    StrutSizes got = PrintedStrutSizes(s, r);
    EXPECT_DOUBLE_EQ(got.strut, c.wantStrut) << c.strutRadius << " " << c.scale.value_or(20);
    EXPECT_DOUBLE_EQ(got.ball, c.wantBall) << c.strutRadius << " " << c.scale.value_or(20);
    SolutionSnapshot sized = WithStrutSizes(s, got, c.scale.value_or(20));
    EXPECT_DOUBLE_EQ(sized.strutRadius * 2 * c.scale.value_or(20), c.wantStrut);
  }
  EXPECT_EQ(StrutAdvice({1.2, 2}), std::nullopt);
  ASSERT_TRUE(StrutAdvice({0.5, 2}));
  EXPECT_NE(StrutAdvice({0.5, 2})->find("struts 0.5 mm thick print in pieces"), std::string::npos);
}

TEST(PrintAdvice, SizesOutsideWhatPrintersHandleAreNamedWithoutLongNumbers) {
  Mesh unit;
  for (Vec3 p : {Vec3{0, 0, 0}, Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}) unit.AddPoint(p);
  struct Case {
    double size;
    const char* words;  // null: no advice
  } cases[] = {
      {20, nullptr},
      {5, nullptr},
      {250, nullptr},
      {4, "the model is 4 mm across: below about 5 mm"},
      {1e-9, "the model is 1e-09 mm across"},
      {1e9, "the model is 1e+09 mm across: above about 250 mm"},
  };
  for (const Case& c : cases) {
    auto advice = SizeAdvice(unit.Scaled(c.size));
    if (!c.words) {
      EXPECT_FALSE(advice) << c.size << ": " << *advice;
      continue;
    }
    ASSERT_TRUE(advice) << c.size;
    EXPECT_NE(advice->find(c.words), std::string::npos) << *advice;
    EXPECT_NE(advice->find("--scale"), std::string::npos) << *advice;
  }
}

TEST(PrintAdvice, HolesAreBlamedOnFacesCodedBOnlyWhenThereAreSome) {
  ShellReport open;
  open.shells = 1;
  open.openEdges = 6;
  open.volumes = {1};
  EXPECT_EQ(*ShellAdvice(open, 0, false), "not a closed solid for printing: 6 open edges");
  EXPECT_EQ(*ShellAdvice(open, 2, false),
            "not a closed solid for printing: 6 open edges (faces coded B leave holes)");
  ShellReport closed;
  closed.shells = 1;
  closed.volumes = {1};
  EXPECT_EQ(ShellAdvice(closed, 0, false), std::nullopt);
  ASSERT_TRUE(ShellAdvice(closed, 0, true));
  EXPECT_NE(ShellAdvice(closed, 0, true)
                ->find("runs through itself (star faces): a slicer prints its outer hull"),
            std::string::npos);
}

class PrintFiles : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(PrintFiles, StlFacetsCarryTheirOwnNormalAndTheHeaderTheModelsName) {
  Mesh m = StrutMesh(Wedge(), 20);
  ASSERT_TRUE(m.triangles.empty());
  SolutionSnapshot s = Wedge();
  s.struts = {{0, 1}, {1, 5}};
  s.strutRadius = 0.05;
  s.ballRadius = 0.08;
  m = StrutMesh(s, 20).Scaled(20);
  struct Case {
    const char* name;
    const char* header;
  } cases[] = {{"wedge_struts", "wedge_struts"}, {"solid_angle", "model solid_angle"}};
  for (const Case& c : cases) {
    std::vector<FurtherFile> made = WriteStl(m, c.name, (dir_ / "w.stl").string());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].path, (dir_ / "w.stl").string());
    const std::string& bytes = made[0].bytes;
    ASSERT_EQ(bytes.size(), 84 + 50 * m.triangles.size());
    EXPECT_EQ(bytes.substr(0, std::strlen(c.header) + 1), std::string(c.header) + " ");
    for (size_t t = 0; t < m.triangles.size(); ++t) {
      float v[12];
      std::memcpy(v, bytes.data() + 84 + 50 * t, sizeof v);
      Vec3 n{v[0], v[1], v[2]}, a{v[3], v[4], v[5]}, b{v[6], v[7], v[8]}, c3{v[9], v[10], v[11]};
      Vec3 own = Unit(Cross(b - a, c3 - a));
      EXPECT_NEAR(Dot(n, own), 1.0, 1e-6) << "facet " << t;
    }
  }
}

TEST_F(PrintFiles, ThreeMfEntriesCarryARealDate) {
  std::vector<FurtherFile> made = Write3mf(SolidMesh(Wedge()), "wedge", (dir_ / "w.3mf").string());
  ASSERT_EQ(made.size(), 1u);
  std::ofstream(dir_ / "w.3mf", std::ios::binary) << made[0].bytes;
  unzFile zip = unzOpen64((dir_ / "w.3mf").string().c_str());
  ASSERT_TRUE(zip);
  int entries = 0;
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK;
       status = unzGoToNextFile(zip), ++entries) {
    unz_file_info64 info;
    ASSERT_EQ(unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0), UNZ_OK);
    EXPECT_GE(info.tmu_date.tm_mday, 1u);
    EXPECT_LE(info.tmu_date.tm_mday, 31u);
    EXPECT_GE(info.tmu_date.tm_year, 2020u);
  }
  unzClose(zip);
  EXPECT_EQ(entries, 3);
}

TEST_F(PrintFiles, PrintedModelsLieOnAFaceAndViewedOnesAsSolved) {
  SolutionSnapshot s = Wedge();
  // Turned off every axis, as a relaxation leaves a model.
  for (SnapshotPoint& p : s.points) p = {0.6 * p.x + 0.8 * p.z, p.y, -0.8 * p.x + 0.6 * p.z};
  s.folder = dir_.string();
  ExportRequest r;
  r.formats = {ExportFormat::Stl, ExportFormat::Obj};
  ExportOutcome out = ExportSolution(s, r);
  ASSERT_TRUE(out.failures.empty()) << out.failures.front();
  EXPECT_TRUE(out.warnings.empty()) << out.warnings.front();
  // The caller commits the files; here they only need to be read back.
  for (const FurtherFile& f : out.files) std::ofstream(f.path, std::ios::binary) << f.bytes;
  ReadMesh stl = ReadBinaryStl(dir_ / "wedge.stl");
  int onBed = 0;
  double lowest = 1e9, bedArea = 0;
  for (const Vec3& p : stl.points) lowest = std::min(lowest, p.z);
  for (const auto& t : stl.triangles) {
    Vec3 a = stl.points[size_t(t[0])], b = stl.points[size_t(t[1])], c = stl.points[size_t(t[2])];
    if (std::fabs(a.z) + std::fabs(b.z) + std::fabs(c.z) > 1e-4) continue;
    ++onBed;
    bedArea += Length(Cross(b - a, c - a)) / 2;
  }
  EXPECT_NEAR(lowest, 0, 1e-4);
  EXPECT_EQ(onBed, 2) << "the two triangles of side AB lie on the bed";
  EXPECT_NEAR(bedArea, 9 * 20 * 20, 0.1);
}

TEST(ViewedSolid, FrameFacesAreRingsAndTranslucentOnesAlsoFilledSeeThrough) {
  SolutionSnapshot s = Wedge();
  s.transparency = 0.3;
  SnapshotFace& end = s.faces[1];  // corners 4 5 6 7 at z = 3
  for (int c : end.corners) {
    const SnapshotPoint& p = s.points[static_cast<size_t>(c)];
    end.inner.push_back({0.9 * p.x + 0.1 * 1.3, 0.9 * p.y + 0.1 * 1.1, 3});
  }
  end.translucent = true;
  end.colour = 5;
  Mesh filled = SolidMesh(s), viewed = ViewedSolidMesh(s);
  EXPECT_FALSE(filled.doubleSided);
  EXPECT_TRUE(viewed.doubleSided);
  size_t ring = 0, seeThrough = 0;
  for (size_t t = 0; t < viewed.triangles.size(); ++t) {
    const MeshMaterial& m = viewed.materials[static_cast<size_t>(viewed.triangleMaterial[t])];
    if (m.opacity < 1) {
      ++seeThrough;
      EXPECT_DOUBLE_EQ(m.opacity, 0.7);
    } else {
      ring += viewed.trianglePart[t] == 1;
    }
  }
  EXPECT_EQ(ring, 8u) << "two triangles per bar";
  EXPECT_EQ(seeThrough, 2u) << "the face filled whole";
  // The ring winds as the filled face: outwards, here +z.
  for (size_t t = 0; t < viewed.triangles.size(); ++t) {
    if (viewed.trianglePart[t] != 1) continue;
    const auto& tri = viewed.triangles[t];
    Vec3 n = Cross(viewed.points[size_t(tri[1])] - viewed.points[size_t(tri[0])],
                   viewed.points[size_t(tri[2])] - viewed.points[size_t(tri[0])]);
    EXPECT_GT(n.z, 0) << "triangle " << t;
  }
  EXPECT_EQ(filled.triangles.size() + 8 - 2 + 2, viewed.triangles.size());
}

}  // namespace
}  // namespace kelmor
