// The facts of whole runs: every example, the seed whose cuboctahedron comes out dented,
// --accept in runs and batches, and the planar finish on near misses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "batch/results_table.h"
#include "cli/cli.h"
#include "facts/test_solids.h"
#include "render/solid_mesh.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

using Result = testing::CliResult;

// The key=value fields of the last written line.
std::map<std::string, std::string> WrittenFields(const std::string& out) {
  std::map<std::string, std::string> fields;
  std::istringstream lines(out);
  std::string line, last;
  while (std::getline(lines, line))
    if (line.rfind("written ", 0) == 0) last = line;
  std::istringstream words(last);
  std::string word;
  while (words >> word)
    if (auto eq = word.find('='); eq != std::string::npos) fields[word.substr(0, eq)] = word.substr(eq + 1);
  return fields;
}

class RunFacts : public ::testing::Test {
 protected:
  Result Kelmor(std::vector<std::string> args) {
    for (const std::string& a : {std::string("--settings"), (dir_ / "kelmor.ini").string(), std::string("--quiet")})
      args.push_back(a);
    return testing::RunCliCaught(args);
  }
  // Runs an input into its own folder with seed 1.
  Result Run(const std::string& input, std::vector<std::string> more = {}) {
    const fs::path out = dir_ / fs::path(input).stem();
    fs::create_directories(out);
    std::vector<std::string> args = {"run", input, "--seed", "1", "--out", out.string()};
    args.insert(args.end(), more.begin(), more.end());
    return Kelmor(args);
  }
  std::string Example(const std::string& name) {
    return (fs::path(KELMOR_SOURCE_DIR) / "examples" / (name + ".txt")).string();
  }
  std::string Input(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / (name + ".txt")) << text;
    return (dir_ / (name + ".txt")).string();
  }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(RunFacts, EveryExampleIsConvexWithItsKnownSymmetry) {
  const std::map<std::string, std::string> groups = {
      {"tetrahedron", "Td"},          {"cube", "Oh"},
      {"octahedron", "Oh"},           {"dodecahedron", "Ih"},
      {"icosahedron", "Ih"},          {"icosidodecahedron", "Ih"},
      {"rhombicuboctahedron", "Oh"},  {"rhombicosidodecahedron", "Ih"},
      {"snub_cube", "O"},             {"snub_dodecahedron", "I"},
      {"truncated_tetrahedron", "Td"}, {"truncated_cube", "Oh"},
      {"truncated_octahedron", "Oh"}, {"truncated_cuboctahedron", "Oh"},
      {"truncated_dodecahedron", "Ih"}, {"truncated_icosahedron", "Ih"},
      {"truncated_icosidodecahedron", "Ih"}, {"cuboctahedron", "Oh"},
  };
  for (const auto& [name, group] : groups) {
    SCOPED_TRACE(name);
    // The cuboctahedron's first solution with seed 1 is a dented isomorph (see below).
    const Result r = Run(Example(name), name == "cuboctahedron" ? std::vector<std::string>{"--accept", "convex"}
                                                                 : std::vector<std::string>{});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto f = WrittenFields(r.out);
    EXPECT_EQ(f.at("convex"), "yes") << r.out;
    EXPECT_EQ(f.at("self-intersecting"), "no");
    EXPECT_EQ(f.at("symmetry"), group);
    EXPECT_LT(std::stod(f.at("edge-ratio")), 1 + 1e-9);
    EXPECT_LT(std::stod(f.at("off-plane")), 1e-9);
    // The facts file beside the solution's files says the same.
    std::ifstream facts(dir_ / name / (name + "_facts.txt"));
    std::stringstream text;
    text << facts.rdbuf();
    EXPECT_NE(text.str().find("convex: yes\r\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("symmetry: " + group + " ("), std::string::npos);
  }
}

TEST_F(RunFacts, PrismsAntiprismsAndStarsFromTheShapeCommand) {
  const struct {
    const char *kind, *n, *group, *crossing;
  } cases[] = {
      {"prism", "5", "D5h", "no"},       {"prism", "8", "D8h", "no"},     {"antiprism", "4", "D4d", "no"},
      {"antiprism", "7", "D7d", "no"},   {"prism", "5/2", "D5h", "yes"},  {"antiprism", "5/2", "D5h", "yes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + c.n);
    const fs::path out = dir_ / (std::string(c.kind) + "_" + std::to_string(std::hash<std::string>{}(c.n)));
    fs::create_directories(out);
    const Result r = Kelmor({"shape", c.kind, c.n, "--seed", "1", "--out", out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto f = WrittenFields(r.out);
    EXPECT_EQ(f.at("symmetry"), c.group) << r.out;
    EXPECT_EQ(f.at("self-intersecting"), c.crossing) << r.out;
  }
}

// The star example's faces as listed: each pentagram's unit edges are its own and the
// faces are joined along the rings of their corners. Relaxed, they settle on the faces of
// a dodecahedron, pentagrams drawn in pentagons: convex, nothing crossing. The facts say so.
TEST_F(RunFacts, TheStarExampleSettlesOnADodecahedronAndTheFactsSaySo) {
  const Result r = Run((fs::path(KELMOR_SOURCE_DIR) / "examples" / "stars" / "great_stellated_dodecahedron.txt").string());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto f = WrittenFields(r.out);
  EXPECT_EQ(f.at("symmetry"), "Ih") << r.out;
  EXPECT_EQ(f.at("convex"), "yes");
  EXPECT_EQ(f.at("self-intersecting"), "no");
  EXPECT_EQ(f.at("dihedral"), "116.5651..116.5651");  // the dodecahedron's
}

// The gallery's star solids, read from their OFF files as the result window reads them.
TEST_F(RunFacts, TheGallerysStarSolidsCrossThemselves) {
  for (const char* name : {"great_stellated_dodecahedron", "small_stellated_dodecahedron"}) {
    SCOPED_TRACE(name);
    render::SolidMesh mesh;
    ASSERT_FALSE(render::ReadOffFile((fs::path(KELMOR_SOURCE_DIR) / "docs" / "gallery" / (std::string(name) + ".off")).string(), mesh));
    FactsSolid solid{mesh.points, {}};
    for (const render::MeshFace& face : mesh.faces) solid.faces.push_back({face.corners, 1});
    const SolidFacts f = ComputeFacts(solid);
    EXPECT_TRUE(f.selfIntersecting);
    EXPECT_FALSE(f.convex);
    EXPECT_EQ(GroupName(f.symmetry), "Ih");
  }
}

TEST_F(RunFacts, AcceptConvexGoesPastTheDentedCuboctahedron) {
  // Seed 1 first settles on an exact but dented isomorph.
  Result r = Run(Example("cuboctahedron"));
  ASSERT_EQ(r.status, 0) << r.err;
  auto f = WrittenFields(r.out);
  EXPECT_EQ(f.at("convex"), "no") << r.out;
  EXPECT_EQ(f.at("attempts"), "1");

  fs::remove_all(dir_ / "cuboctahedron");
  r = Run(Example("cuboctahedron"), {"--accept", "convex"});
  ASSERT_EQ(r.status, 0) << r.err;
  f = WrittenFields(r.out);
  EXPECT_EQ(f.at("convex"), "yes") << r.out;
  EXPECT_EQ(f.at("symmetry"), "Oh");
  EXPECT_GT(std::stoi(f.at("attempts")), 1);
  EXPECT_NE(r.err.find("Not convex: cuboctahedron has "), std::string::npos) << r.err;
  // The refused one was not written: one solution, under the first name.
  EXPECT_EQ(r.out.find("written "), r.out.rfind("written "));
  EXPECT_TRUE(fs::exists(dir_ / "cuboctahedron" / "cuboctahedron.off"));
  EXPECT_FALSE(fs::exists(dir_ / "cuboctahedron" / "cuboctahedron_isom2.off"));

  // At least Oh: the same convex solid; at least Ih: nothing this solid can reach, so the
  // run ends at the attempt limit without writing.
  fs::remove_all(dir_ / "cuboctahedron");
  r = Run(Example("cuboctahedron"), {"--accept", "symmetric", "Oh"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(WrittenFields(r.out).at("symmetry"), "Oh");
  EXPECT_NE(r.err.find("Too little symmetry: cuboctahedron has symmetry "), std::string::npos) << r.err;
  r = Run(Example("tetrahedron"), {"--accept", "symmetric", "Ih", "--max-attempts", "3"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out.find("written "), std::string::npos);
  // Without a stop rule the run gives up after a hundred refusals instead of searching on.
  r = Run(Example("tetrahedron"), {"--accept", "symmetric", "Ih"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("No solution kept after 100 exact solutions refused: quitting the run"), std::string::npos)
      << r.err.substr(r.err.size() > 400 ? r.err.size() - 400 : 0);
  EXPECT_EQ(r.out.find("written "), std::string::npos);
}

TEST_F(RunFacts, AcceptRulesThatCannotApplyAreRefused) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"--accept", "round"}, "--accept must be any, convex or symmetric GROUP, not 'round'"},
      {{"--accept", "symmetric", "Q7"}, "'Q7' is not a symmetry group in Schoenflies notation"},
      {{"--accept", "symmetric"}, "--accept symmetric needs a group"},
      {{"--accept", "convex", "--once"}, "--accept chooses among the exact solutions of a repeat run"},
      {{"--planar"}, "--planar finishes a one-attempt relaxation"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    const Result r = Run(Example("cube"), c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "cube" / "cube.off"));
  }
}

TEST_F(RunFacts, BatchWithAcceptConvexWritesNothingDented) {
  std::vector<std::string> args = {"batch", "--seed", "1", "--accept", "convex", "--out", (dir_ / "batch").string()};
  for (const auto& e : fs::directory_iterator(fs::path(KELMOR_SOURCE_DIR) / "examples"))
    if (e.path().extension() == ".txt") args.push_back(e.path().string());
  const Result r = Kelmor(args);
  std::string error;
  const auto rows = ReadRows(dir_ / "batch" / "results.jsonl", error);
  ASSERT_TRUE(rows) << error << r.err;
  int solved = 0;
  for (const ResultRow& row : *rows) {
    SCOPED_TRACE(row.input);
    if (row.status != "solved") continue;
    ++solved;
    ASSERT_TRUE(row.convex);
    EXPECT_TRUE(*row.convex);
    EXPECT_FALSE(row.symmetry.empty());
    if (fs::path(row.input).stem() == "cuboctahedron") {
      EXPECT_EQ(row.symmetry, "Oh");
      EXPECT_GT(*row.attempts, 1);
    }
  }
  EXPECT_GE(solved, 18);
  // The table's CSV has the facts columns too.
  std::ifstream csv(dir_ / "batch" / "results.csv");
  std::string header;
  std::getline(csv, header);
  EXPECT_NE(header.find(",convex,self_intersecting,symmetry,edge_ratio,off_plane,dihedral_min,dihedral_max"),
            std::string::npos)
      << header;
}

// Near misses made with the Conway operations: --once relaxes them with bent faces, the
// finish flattens them.
TEST_F(RunFacts, PlanarFinishFlattensNearMisses) {
  using namespace testing;
  const Faces cube = FacesOf(Cube()), octa = FacesOf(Octahedron()), ico = FacesOf(Icosahedron());
  // The dodecahedron, the icosahedron's dual: a face around each vertex.
  Faces dodeca;
  std::map<std::set<int>, int> faceIndex;
  for (size_t f = 0; f < ico.size(); ++f) faceIndex[{ico[f].begin(), ico[f].end()}] = static_cast<int>(f);
  for (const auto& [v, ring] : Rings(ico)) {
    std::vector<int> face;
    for (size_t k = 0; k < ring.size(); ++k) face.push_back(faceIndex.at({v, ring[k], ring[(k + 1) % ring.size()]}));
    dodeca.push_back(face);
  }
  const struct {
    const char* name;
    Faces faces;
  } cases[] = {
      {"chamfered_cube", Chamfer(cube)},
      {"chamfered_octahedron", Chamfer(octa)},
      {"chamfered_dodecahedron", Chamfer(dodeca)},
      {"chamfered_icosahedron", Chamfer(ico)},
      {"rectified_truncated_icosahedron", Ambo(Truncate(ico))},
      {"rectified_truncated_octahedron", Ambo(Truncate(octa))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string input = Input(c.name, InputText(c.name, c.faces));
    const Result plain = Run(input, {"--once"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const auto bent = WrittenFields(plain.out);
    EXPECT_GT(std::stod(bent.at("off-plane")), 1e-6) << plain.out;

    fs::remove_all(dir_ / c.name);
    const Result flat = Run(input, {"--once", "--planar"});
    ASSERT_EQ(flat.status, 0) << flat.err;
    const auto f = WrittenFields(flat.out);
    EXPECT_LE(std::stod(f.at("off-plane")), 1e-9) << flat.out << flat.err;
    EXPECT_LE(std::stod(f.at("edge-ratio")), 1.03) << flat.out;
    EXPECT_NE(flat.err.find("Planar finish: faces flat to "), std::string::npos) << flat.err;
    EXPECT_EQ(f.at("convex"), "yes");
  }
}

}  // namespace
}  // namespace kelmor
