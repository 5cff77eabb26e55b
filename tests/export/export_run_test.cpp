// Whole runs with --export: every example and a star solid write files that read back as
// closed, outward solids of the right volume, that the outside readers accept, and the
// described files stay byte for byte as they are.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "export/mesh_files.h"
#include "export/shell_check.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

// Unit-edge volumes of the example solids.
const std::map<std::string, double>& UnitVolumes() {
  static const double r2 = std::sqrt(2.0), r5 = std::sqrt(5.0);
  static const std::map<std::string, double> v = {
      {"tetrahedron", r2 / 12},
      {"cube", 1},
      {"octahedron", r2 / 3},
      {"dodecahedron", (15 + 7 * r5) / 4},
      {"icosahedron", 5 * (3 + r5) / 12},
      {"cuboctahedron", 5 * r2 / 3},
      {"icosidodecahedron", (45 + 17 * r5) / 6},
      {"truncated_tetrahedron", 23 * r2 / 12},
      {"truncated_octahedron", 8 * r2},
      {"truncated_cube", (21 + 14 * r2) / 3},
      {"truncated_icosahedron", (125 + 43 * r5) / 4},
      {"truncated_dodecahedron", 5 * (99 + 47 * r5) / 12},
      {"rhombicuboctahedron", (12 + 10 * r2) / 3},
      {"rhombicosidodecahedron", (60 + 29 * r5) / 3},
      {"truncated_cuboctahedron", 22 + 14 * r2},
      {"truncated_icosidodecahedron", 95 + 50 * r5},
      {"snub_cube", 7.889477399983},
      {"snub_dodecahedron", 37.616649962733},
  };
  return v;
}

bool Have(const std::string& program) {
  return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

class ExportRun : public ::testing::TestWithParam<std::string> {
 protected:
  int Kelmor(std::vector<std::string> args, std::string* err = nullptr) {
    args.insert(args.end(), {"--settings", (dir_ / "kelmor.ini").string(), "--seed", "7", "--quiet",
                             "--answer", "no"});
    const testing::CliResult r = testing::RunCliCaught(args);
    if (err) *err = r.err;
    return r.status;
  }

  // Reads a printed file back and checks it as a slicer would.
  void ExpectPrintable(const fs::path& file, double expectedVolume) {
    ReadMesh m = file.extension() == ".stl" ? ReadBinaryStl(file) : Read3mf(file);
    ASSERT_EQ(m.error, "") << file;
    ShellReport r = CheckShells(m.points, m.triangles);
    EXPECT_TRUE(r.Printable()) << file << ": open " << r.openEdges << ", over-used " << r.overusedEdges
                               << ", mis-oriented " << r.misorientedEdges;
    if (expectedVolume > 0) EXPECT_NEAR(r.volume / expectedVolume, 1.0, 0.005) << file;
    double low = 1e9;
    for (const Vec3& p : m.points) low = std::min(low, p.z);
    EXPECT_NEAR(low, 0, 1e-3) << file << " stands on the bed";
  }

  void ExpectValidatorsAccept(const std::string& name) {
#ifndef KELMOR_SANITIZED
    std::string output;
    EXPECT_LE(ValidateGltf({dir_ / (name + ".glb"), dir_ / (name + "_struts.glb")}, dir_, output), 0) << output;
    if (Have("assimp")) {
      for (const char* ext : {".glb", ".stl", ".3mf", ".obj"})
        for (const std::string& stem : {name, name + "_struts"}) {
          fs::path f = dir_ / (stem + ext);
          EXPECT_EQ(RunTool("assimp info '" + f.string() + "'", dir_, output), 0) << f << output;
          EXPECT_EQ(output.find("rror"), std::string::npos) << f << output;
          EXPECT_EQ(output.find("arning"), std::string::npos) << f << output;
        }
    }
    // MeshLab reads the STL files; its OBJ reader on Debian 12 aborts on any OBJ file,
    // even a four-line tetrahedron, and it has no glTF or 3MF reader.
    if (Have("meshlabserver") && Have("xvfb-run")) {
      for (const std::string& stem : {name, name + "_struts"}) {
        fs::path f = dir_ / (stem + ".stl");
        int status = RunTool("xvfb-run -a meshlabserver -i '" + f.string() + "' -o '" +
                                 (dir_ / "meshlab_out.ply").string() + "'",
                             dir_, output);
        EXPECT_EQ(status, 0) << f << output;
        EXPECT_TRUE(fs::exists(dir_ / "meshlab_out.ply")) << output;
        fs::remove(dir_ / "meshlab_out.ply");
      }
    }
#else
    (void)name;
#endif
  }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_P(ExportRun, WritesClosedSolidsAndStrutModelsThatReadersAccept) {
  const std::string name = GetParam();
  std::string err;
  bool star = name == "pentagrammic_prism";
  int status = star ? Kelmor({"shape", "prism", "5/2", "--out", dir_.string(), "--export", "glb,stl,3mf,obj"}, &err)
                    : Kelmor({"run", (fs::path(KELMOR_SOURCE_DIR) / "examples" / (name + ".txt")).string(), "--out",
                              dir_.string(), "--export", "glb,stl,3mf,obj"},
                             &err);
  ASSERT_EQ(status, 0) << err;
  std::string stem = star ? "prism5-2" : name;
  for (const char* ext : {".glb", ".stl", ".3mf", ".obj", ".mtl"})
    for (const std::string& s : {stem, stem + "_struts"}) ASSERT_TRUE(fs::exists(dir_ / (s + ext))) << s << ext;
  auto volume = UnitVolumes().find(name);
  double expected = volume == UnitVolumes().end() ? 0 : volume->second * 20 * 20 * 20;
  ExpectPrintable(dir_ / (stem + ".stl"), expected);
  ExpectPrintable(dir_ / (stem + ".3mf"), expected);
  ExpectPrintable(dir_ / (stem + "_struts.stl"), 0);
  ExpectPrintable(dir_ / (stem + "_struts.3mf"), 0);
  ExpectValidatorsAccept(stem);
}

std::vector<std::string> Solids() {
  std::vector<std::string> names;
  for (const auto& [name, volume] : UnitVolumes()) names.push_back(name);
  names.push_back("pentagrammic_prism");
  return names;
}

INSTANTIATE_TEST_SUITE_P(Examples, ExportRun, ::testing::ValuesIn(Solids()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kelmor

namespace kelmor {
namespace {

class ExportCli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "a");
    fs::create_directories(dir_ / "b");
    folder_.CopyExample("cube.txt");
  }
  int Kelmor(std::vector<std::string> args, const fs::path& settings, std::string& err) {
    args.insert(args.end(), {"--settings", settings.string(), "--seed", "3", "--quiet", "--answer", "no"});
    const testing::CliResult r = testing::RunCliCaught(args);
    err = r.err;
    return r.status;
  }
  static std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(ExportCli, RefusesBadListsAndScalesBeforeAnythingIsWritten) {
  struct Case {
    std::vector<std::string> args;
    const char* words;
  } cases[] = {
      {{"--export", "png"}, "'png' is not one"},
      {{"--export", "stl", "--scale", "0"}, "--scale takes the edge length"},
      {{"--export", "stl", "--scale", "-4"}, "--scale takes the edge length"},
      {{"--export", "stl", "--scale", "nan"}, "--scale"},
      {{"--export", "stl", "--lay-on", "top"}, "--lay-on takes largest, face N"},
      {{"--export", "stl", "--lay-on", "face", "0"}, "not 'face 0'"},
      {{"--export", "stl", "--strut", "0"}, "--strut takes a diameter in millimetres"},
      {{"--export", "3mf", "--ball", "1e7"}, "--ball takes a diameter in millimetres"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"run", (dir_ / "cube.txt").string(), "--out", (dir_ / "a").string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::string err;
    EXPECT_EQ(Kelmor(args, dir_ / "kelmor.ini", err), 2) << c.words;
    EXPECT_NE(err.find(c.words), std::string::npos) << err;
    EXPECT_TRUE(fs::is_empty(dir_ / "a")) << c.words;
  }
  std::string err;
  EXPECT_EQ(Kelmor({"run", (fs::path(KELMOR_SOURCE_DIR) / "examples" / "segments.txt").string(), "--out",
                    (dir_ / "a").string(), "--export", "glb"},
                   dir_ / "kelmor.ini", err),
            2);
  EXPECT_NE(err.find("segmented input"), std::string::npos) << err;
}

TEST_F(ExportCli, DescribedFilesAndSettingsStayByteForByteWithExports) {
  std::string err;
  ASSERT_EQ(Kelmor({"run", (dir_ / "cube.txt").string(), "--out", (dir_ / "a").string()}, dir_ / "a.ini", err), 0)
      << err;
  ASSERT_EQ(Kelmor({"run", (dir_ / "cube.txt").string(), "--out", (dir_ / "b").string(), "--weaken", "4",
                    "--export", "glb,stl,3mf,obj", "--scale", "30"},
                   dir_ / "b.ini", err),
            0)
      << err;
  ASSERT_EQ(Kelmor({"run", (dir_ / "cube.txt").string(), "--out", (dir_ / "b").string(), "--export", "stl"},
                   dir_ / "b.ini", err),
            0)
      << err;
  for (const auto& entry : fs::directory_iterator(dir_ / "a")) {
    fs::path twin = dir_ / "b" / entry.path().filename();
    ASSERT_TRUE(fs::exists(twin)) << twin;
    EXPECT_EQ(Bytes(entry.path()), Bytes(twin)) << entry.path().filename();
  }
  EXPECT_EQ(Bytes(dir_ / "a.ini"), Bytes(dir_ / "b.ini"));
  // The weaken run's exports carry its suffix, as its VRML files do; its scale is its own.
  for (const char* name : {"cube_solid_weaken4.wrl", "cube_weaken4.glb", "cube_weaken4.stl", "cube_weaken4.3mf",
                           "cube_weaken4.obj", "cube_struts_weaken4.stl", "cube.stl", "cube_struts.stl"})
    EXPECT_TRUE(fs::exists(dir_ / "b" / name)) << name;
  ShellReport r30 = CheckShells(ReadBinaryStl(dir_ / "b" / "cube_weaken4.stl").points,
                                ReadBinaryStl(dir_ / "b" / "cube_weaken4.stl").triangles);
  EXPECT_NEAR(r30.volume, 27000, 27000 * 0.005);
}

TEST_F(ExportCli, TranslucentAndFrameFacesShowInViewersAndCloseInPrints) {
  // Face 1 translucent ("t" makes it a frame face too), face 2 a frame face.
  std::ofstream(dir_ / "marked.txt") << "' cube\n{\nt1,5,4,0,-1,\nf2,0,4,6,-1,\n3,1,0,2,-1,\n5,1,3,7,-1,\n"
                                        "6,4,5,7,-1,\n7,3,2,6,-1,\n}\n";
  std::string err;
  ASSERT_EQ(Kelmor({"run", (dir_ / "marked.txt").string(), "--out", (dir_ / "a").string(), "--export", "gltf,glb,stl", "--lay-on",
                    "face", "3"},
                   dir_ / "kelmor.ini", err),
            0)
      << err;
  EXPECT_EQ(err.find("warning"), std::string::npos) << err;
  std::string gltf = Bytes(dir_ / "a" / "marked.gltf");
  EXPECT_NE(gltf.find("\"BLEND\""), std::string::npos) << "the translucent face blends";
  EXPECT_NE(gltf.find("\"doubleSided\""), std::string::npos) << "the rings are seen from both sides";
  std::string output;
  EXPECT_LE(ValidateGltf({dir_ / "a" / "marked.gltf", dir_ / "a" / "marked.glb"}, dir_, output), 0) << output;
  ReadMesh stl = ReadBinaryStl(dir_ / "a" / "marked.stl");
  EXPECT_TRUE(CheckShells(stl.points, stl.triangles).Printable()) << "printed faces are filled whole";
}

TEST_F(ExportCli, AMissingModuleFailsTheRunButKeepsItsFiles) {
  std::string output;
  int status = RunTool("KELMOR_EXPORT_MODULE='" + (dir_ / "nothing.so").string() + "' '" KELMOR_BINARY "' run '" +
                           (dir_ / "cube.txt").string() + "' --out '" + (dir_ / "a").string() + "' --settings '" +
                           (dir_ / "kelmor.ini").string() + "' --quiet --answer no --export glb",
                       dir_, output);
  EXPECT_EQ(status, 3) << output;
  EXPECT_NE(output.find("export failed: the export module cannot be loaded"), std::string::npos) << output;
  EXPECT_TRUE(fs::exists(dir_ / "a" / "cube_solid.wrl"));
  EXPECT_FALSE(fs::exists(dir_ / "a" / "cube.glb"));
  // In a batch the row names that cause, not the progress line printed after it.
  status = RunTool("KELMOR_EXPORT_MODULE='" + (dir_ / "nothing.so").string() + "' '" KELMOR_BINARY "' batch '" +
                       (dir_ / "cube.txt").string() + "' --out '" + (dir_ / "batch").string() + "' --settings '" +
                       (dir_ / "kelmor.ini").string() + "' --seed 1 --export stl",
                   dir_, output);
  std::ifstream rows(dir_ / "batch" / "results.jsonl");
  std::string row((std::istreambuf_iterator<char>(rows)), std::istreambuf_iterator<char>());
  EXPECT_NE(row.find("\"failed\""), std::string::npos) << row;
  EXPECT_NE(row.find("export failed: the export module cannot be loaded"), std::string::npos) << row;
}

}  // namespace
}  // namespace kelmor

namespace kelmor {
namespace {

TEST(ExportBatch, EveryInputOfABatchIsExported) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  fs::path examples = fs::path(KELMOR_SOURCE_DIR) / "examples";
  const testing::CliResult r =
      testing::RunCliCaught({"batch", (examples / "cube.txt").string(), (examples / "tetrahedron.txt").string(),
                             "--out", (dir / "out").string(), "--jobs", "2", "--seed", "1", "--settings",
                             (dir / "kelmor.ini").string(), "--export", "stl", "--scale", "10"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, double> volumes;
  for (const auto& entry : fs::recursive_directory_iterator(dir / "out"))
    if (entry.path().extension() == ".stl") {
      ReadMesh m = ReadBinaryStl(entry.path());
      volumes[entry.path().filename().string()] = CheckShells(m.points, m.triangles).volume;
    }
  ASSERT_EQ(volumes.size(), 4u) << r.err;
  EXPECT_NEAR(volumes["cube.stl"], 1000, 5);
  EXPECT_NEAR(volumes["tetrahedron.stl"], 1000 * std::sqrt(2.0) / 12, 0.6);
  EXPECT_TRUE(volumes.count("cube_struts.stl"));
  const testing::CliResult step =
      testing::RunCliCaught({"batch", (examples / "cube.txt").string(), "--out", (dir / "out2").string(), "--export", "step"});
  EXPECT_EQ(step.status, 2);
  EXPECT_NE(step.err.find("'step' is not one"), std::string::npos) << step.err;
}

}  // namespace
}  // namespace kelmor
