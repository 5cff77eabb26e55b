// The library's promises: topologies read and counted, solutions as values without the
// disk, the same solution for the same seed on any thread, files committed all or nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "kelmor/kelmor.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

std::string Example(const std::string& name) {
  return testing::ReadAll(fs::path(KELMOR_SOURCE_DIR) / "examples" / name);
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ApiError& e) {
    return e.what();
  }
  return "(no error)";
}

const File* FileNamed(const Solution& s, const std::string& name) {
  for (const File& f : s.files)
    if (f.name == name) return &f;
  return nullptr;
}

TEST(ApiTopology, CountsVerticesFacesAndEdgesAfterTheTopologyPasses) {
  struct Case {
    const char* file;
    int vertices, faces, edges;
  } cases[] = {
      {"tetrahedron.txt", 4, 4, 6},
      {"cube.txt", 8, 6, 12},
      {"snub_cube.txt", 24, 38, 60},
      {"truncated_icosahedron.txt", 60, 32, 90},
  };
  for (const Case& c : cases) {
    const Topology t = ParseTopology(Example(c.file), "solid");
    EXPECT_EQ(t.vertices, c.vertices) << c.file;
    EXPECT_EQ(t.faces, c.faces) << c.file;
    EXPECT_EQ(t.edges, c.edges) << c.file;
    EXPECT_EQ(t.blocks, 1) << c.file;
  }
  const Topology prism = ShapeTopology("antiprism", "7/2");
  EXPECT_EQ(prism.name, "antiprism7-2");
  EXPECT_EQ(prism.vertices, 14);
  EXPECT_EQ(prism.edges, 28);
}

TEST(ApiTopology, RefusesWhatHoldsNoModelInTheReadersOwnWords) {
  struct Case {
    std::function<void()> call;
    const char* says;
  } cases[] = {
      {[] { ParseTopology("' nothing but a comment\n", "x"); }, "No faces found"},
      {[] { ParseTopology("{ 1,2,3,-1,\n", "x"); }, "End of file inside a block"},
      {[] { ParseTopology("{ 1,2,3,-1 }", ""); }, "needs a name"},
      {[] { ShapeTopology("prism", "0"); }, "Please select a polygon size"},
      {[] { ShapeTopology("cube", "4"); }, "Please select one of Polygon, Pyramid, Prism or Antiprism"},
  };
  for (const Case& c : cases) EXPECT_NE(ErrorOf(c.call).find(c.says), std::string::npos) << c.says;
}

TEST(ApiOptions, RefusesWhatTheWindowsWouldRefuse) {
  const Topology cube = ParseTopology(Example("cube.txt"), "cube");
  Options weak;
  weak.mode = RunMode::Weaken;
  weak.weakenLimit = 2;
  EXPECT_EQ(ErrorOf([&] { Solve(cube, weak); }), "Error: Weaken limit must be >=3");
  Options pref;
  pref.preferences = {{"nosuchkey", "1"}};
  EXPECT_NE(ErrorOf([&] { Solve(cube, pref); }).find("'nosuchkey' is not a preference key"), std::string::npos);
  Options smooth;
  smooth.smoothBelowDegrees = std::nan("");
  EXPECT_NE(ErrorOf([&] { Solve(cube, smooth); }).find("smoothing angle"), std::string::npos);
}

// A relaxed solid's edges are all of unit length.
double WorstEdge(const Solution& s) {
  double worst = 0;
  for (const Face& f : s.faces)
    for (size_t i = 0; i < f.corners.size(); ++i) {
      const Point& a = s.points[f.corners[i]];
      const Point& b = s.points[f.corners[(i + 1) % f.corners.size()]];
      worst = std::max(worst, std::fabs(std::hypot(a.x - b.x, a.y - b.y, a.z - b.z) - 1));
    }
  return worst;
}

TEST(ApiSolve, GivesTheSolutionAsValuesWithItsFilesAndTouchesNoDisk) {
  const fs::path cwd = fs::current_path();
  const Topology cube = ParseTopology(Example("cube.txt"), "cube");
  Options options;
  options.seed = 1;
  const SolveResult r = Solve(cube, options);
  ASSERT_EQ(r.outcome, Outcome::Written);
  ASSERT_EQ(r.solutions.size(), 1u);
  const Solution& s = r.solutions[0];
  EXPECT_EQ(s.name, "cube");
  EXPECT_EQ(s.points.size(), 8u);
  EXPECT_EQ(s.faces.size(), 6u);
  EXPECT_LT(s.E, 1e-10);
  EXPECT_LT(WorstEdge(s), 1e-6);
  ASSERT_TRUE(s.SE && s.A);
  EXPECT_LT(*s.SE, 1e-6);
  EXPECT_LT(*s.A, 1e-3);
  EXPECT_EQ(s.edges, 12);
  EXPECT_GT(s.iterations, 0);
  EXPECT_EQ(s.attempts, 1);
  const File* off = FileNamed(s, "cube.off");
  ASSERT_NE(off, nullptr);
  EXPECT_NE(off->bytes.find("\n 8  6  12 "), std::string::npos) << off->bytes.substr(0, 400);
  ASSERT_NE(FileNamed(s, "cube_solid.wrl"), nullptr);
  EXPECT_EQ(FileNamed(s, "cube_solid.wrl")->bytes.rfind("#VRML V2.0 utf8", 0), 0u);
  EXPECT_FALSE(fs::exists(cwd / "cube.off"));
  EXPECT_FALSE(fs::exists(cwd / "cube_solid.wrl"));
}

TEST(ApiSolve, SameSeedSameSolutionOnEveryThreadAtOnce) {
  const Topology snub = ParseTopology(Example("snub_cube.txt"), "snub_cube");
  auto solve = [&](uint64_t seed) {
    Options o;
    o.seed = seed;
    o.dateText = "12/8/2026";
    return Solve(snub, o);
  };
  const SolveResult one = solve(1), two = solve(2);
  SolveResult a, b;
  std::thread ta([&] { a = solve(1); }), tb([&] { b = solve(2); });
  ta.join();
  tb.join();
  for (auto [x, y] : {std::pair{&one, &a}, std::pair{&two, &b}}) {
    ASSERT_EQ(x->solutions.size(), 1u);
    ASSERT_EQ(y->solutions.size(), 1u);
    EXPECT_EQ(x->solutions[0].iterations, y->solutions[0].iterations);
    EXPECT_EQ(x->solutions[0].E, y->solutions[0].E);
    ASSERT_EQ(x->solutions[0].files.size(), y->solutions[0].files.size());
    for (size_t i = 0; i < x->solutions[0].files.size(); ++i)
      EXPECT_EQ(x->solutions[0].files[i].bytes, y->solutions[0].files[i].bytes) << x->solutions[0].files[i].name;
  }
  EXPECT_NE(one.solutions[0].iterations, two.solutions[0].iterations);
}

TEST(ApiSolve, StopRulesEndARunThatFindsNothing) {
  const Topology cube = ParseTopology(Example("cube.txt"), "cube");
  Options once;
  once.seed = 1;
  once.mode = RunMode::Once;
  once.maxIterations = 20;
  const SolveResult r = Solve(cube, once);
  EXPECT_EQ(r.outcome, Outcome::Ended);
  EXPECT_TRUE(r.solutions.empty());
  Options repeat;
  repeat.seed = 1;
  repeat.maxIterations = 20;
  repeat.maxAttempts = 3;
  EXPECT_TRUE(Solve(cube, repeat).solutions.empty());
}

class ApiWriteFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    Options o;
    o.seed = 1;
    solution_ = Solve(ParseTopology(Example("cube.txt"), "cube"), o).solutions.at(0);
  }
  testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  Solution solution_;
};

TEST_F(ApiWriteFiles, WritesEveryFileAsHeld) {
  const std::vector<std::string> written = WriteFiles(solution_, dir_.string());
  ASSERT_EQ(written.size(), solution_.files.size());
  for (const File& f : solution_.files) EXPECT_EQ(testing::ReadAll(dir_ / f.name), f.bytes) << f.name;
}

TEST_F(ApiWriteFiles, AFailureNamesTheFileAndChangesNothing) {
  // A folder where the last file should go: every file before it stays as it was.
  std::ofstream(dir_ / "cube.off") << "old";
  fs::create_directory(dir_ / solution_.files.back().name);
  const std::string error = ErrorOf([&] { WriteFiles(solution_, dir_.string()); });
  EXPECT_NE(error.find(solution_.files.back().name), std::string::npos) << error;
  EXPECT_EQ(testing::ReadAll(dir_ / "cube.off"), "old");
  Solution bad = solution_;
  bad.files[0].name = "../escape.off";
  EXPECT_NE(ErrorOf([&] { WriteFiles(bad, dir_.string()); }).find("not a plain file name"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.parent_path() / "escape.off"));
}

}  // namespace
}  // namespace kelmor
