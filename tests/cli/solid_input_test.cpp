// The ways in besides Kelmor's own text: OFF and OBJ files, Conway notation, convert.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"
#include "input/char_stream.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

using testing::CliResult;

class SolidInput : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_ / "out"); }

  CliResult Kelmor(std::vector<std::string> args) {
    args.insert(args.end(), {"--settings", (dir_ / "kelmor.ini").string()});
    return testing::RunCliCaught(args);
  }
  // The same without the settings option (convert and conway take none).
  CliResult Plain(const std::vector<std::string>& args) { return testing::RunCliCaught(args); }
  std::string File(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Out() const { return (dir_ / "out").string(); }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

const char* kTetraOff = "OFF\n4 4 6\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 2 1\n3 0 1 3\n3 1 2 3\n3 2 0 3\n";

TEST_F(SolidInput, ConwayWritesKelmorTextNamingTheExpressionAndItsCounts) {
  auto r = Plain({"conway", "tI"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("' Conway notation tI\n' V 60  E 90  F 32\n{\n", 0), 0u) << r.out.substr(0, 80);
  EXPECT_NE(r.out.find("}\n"), std::string::npos);

  r = Plain({"conway", "cD", "--out", Path("cD.txt")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadWholeFile(Path("cD.txt")).find("' V 80  E 120  F 42"), std::string::npos);
}

TEST_F(SolidInput, BadConwayNotationIsRefusedWithThePositionMarked) {
  auto r = Plain({"conway", "tqI"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("position 2: 'q' is not an operator"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("  tqI\n   ^\n"), std::string::npos) << r.err;

  r = Kelmor({"run", "--conway", "Ct", "--out", Out()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("position 2: nothing may follow the seed C"), std::string::npos) << r.err;

  r = Plain({"conway", "kkkkkI"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error: Subscript out of range.  Input file too large?"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(SolidInput, RunTakesOneInputOnly) {
  auto r = Kelmor({"run", File("t.off", kTetraOff), "--conway", "T", "--out", Out()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("run takes one input"), std::string::npos) << r.err;
  r = Kelmor({"run", "--out", Out()});
  EXPECT_EQ(r.status, 2);
}

TEST_F(SolidInput, RunSolvesTheTruncatedIcosahedronFromItsNotation) {
  auto r = Kelmor({"run", "--conway", "tI", "--out", Out(), "--seed", "1", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(fs::exists(dir_ / "out" / "tI.off")) << r.err;
  const std::string off = ReadWholeFile((dir_ / "out" / "tI.off").string());
  EXPECT_NE(off.find(" 60  32  90 "), std::string::npos) << off.substr(0, 400);
}

TEST_F(SolidInput, AWeakenedConwaySolidIsWrittenAsANearMissWithItsReport) {
  auto r = Kelmor({"run", "conway:cD", "--weaken", "6", "--once", "--out", Out(), "--seed", "1", "--quiet",
                   "--set", "Userdata=1"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(fs::exists(dir_ / "out" / "cD_weaken6.off")) << r.err;
  bool reported = false;
  for (const auto& e : fs::directory_iterator(dir_ / "out"))
    if (e.path().extension() == ".wrl") {
      const std::string wrl = ReadWholeFile(e.path().string());
      reported = reported || wrl.find("# input file:conway:cD") != std::string::npos;
    }
  EXPECT_TRUE(reported);
}

TEST_F(SolidInput, AnOffFileRunsAndItsOwnFolderIsNotWrittenOver) {
  const std::string tetra = File("tetra.off", kTetraOff);
  auto r = Kelmor({"run", tetra, "--seed", "1", "--quiet"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("would be written over the input file tetra.off"), std::string::npos) << r.err;
  EXPECT_EQ(ReadWholeFile(tetra), kTetraOff);

  r = Kelmor({"run", tetra, "--out", Out(), "--seed", "1", "--quiet", "--coordinates"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir_ / "out" / "tetra.off"));
  EXPECT_NE(r.err.find("Reading Starting Positions"), std::string::npos) << r.err;
}

TEST_F(SolidInput, BadOffAndObjFilesAreNamedWithTheLineAndNothingIsWritten) {
  struct Case {
    const char* name;
    const char* text;
    const char* says;
  };
  const Case table[] = {
      {"range.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 5\n",
       "OFF file range.off: line 6: vertex index '5' is not in range 0 to 2"},
      {"hole.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "OFF file hole.off: edge 0-1 belongs to one face only"},
      {"nan.obj", "v 0 0 0\nv nan 1 1\n", "OBJ file nan.obj: line 2: coordinate 'nan'"},
      {"junk.off", "OFF\n\x89PNG\x01\x02", "OFF file junk.off: line 2: byte 1 is binary data"},
  };
  for (const Case& c : table) {
    auto r = Kelmor({"run", File(c.name, c.text), "--out", Out(), "--quiet"});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.name << ": " << r.err;
    EXPECT_TRUE(fs::is_empty(dir_ / "out")) << c.name;
  }
}

TEST_F(SolidInput, ConvertGoesBetweenTextOffAndObjKeepingFacesAndCoordinates) {
  const std::string tetra = File("tetra.off", kTetraOff);
  auto r = Plain({"convert", tetra, Path("tetra.obj")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Path("tetra.obj") + ": V 4  E 6  F 4\n");
  r = Plain({"convert", Path("tetra.obj"), Path("tetra.txt")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadWholeFile(Path("tetra.txt"));
  EXPECT_NE(text.find("(\n0,0,0,\n1,0,0,\n0,1,0,\n0,0,1,\n)\n0,2,1,-1,\n"), std::string::npos) << text;
  r = Plain({"convert", Path("tetra.txt"), Path("back.off")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string back = ReadWholeFile(Path("back.off"));
  EXPECT_NE(back.find("4 4 6\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 2 1\n3 0 1 3\n3 1 2 3\n3 2 0 3\n"), std::string::npos)
      << back;

  // Kelmor text without coordinates: the output says so and the topology still crosses.
  r = Plain({"convert", File("tri.txt", "{0,1,2,-1,\n0,2,3,-1,\n0,3,1,-1,\n1,3,2,-1,\n}"), Path("tri.off")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("has no coordinates"), std::string::npos) << r.err;

  r = Plain({"convert", tetra, Path("tetra.stl")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("convert writes Kelmor text (.txt), OFF (.off) or OBJ (.obj)"), std::string::npos);
  r = Plain({"convert", File("bad.off", "OFF\n3 1 0\n0 0 0\n"), Path("bad.txt")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad.off: the file ends after 1 of the 3 vertices"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("bad.txt")));
}

TEST_F(SolidInput, BatchRunsConwayExpressionsBesideFiles) {
  auto r = Kelmor({"batch", "--conway", "T", "--conway", "C", "--out", Out(), "--seed", "1", "--jobs", "1"});
  ASSERT_EQ(r.status, 0) << r.err << r.out;
  const std::string rows = ReadWholeFile((dir_ / "out" / "results.jsonl").string());
  EXPECT_NE(rows.find("conway:T"), std::string::npos) << rows;
  EXPECT_NE(rows.find("conway:C"), std::string::npos) << rows;
}

}  // namespace
}  // namespace kelmor
