#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>

#include "run/run.h"
#include "run/run_sequence.h"
#include "support/file_text.h"
#include "support/relax_fixture.h"
#include "support/temp_folder.h"
#include "support/test_names.h"

// Whole runs through the run sequence: parser, topology, relaxation and the writers.
namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

struct SolidRun {
  Session session;
  QuittingHost host;
  kelmor::Run r{session, host};
  TempFolder folder;
  const fs::path out = folder.path();

  explicit SolidRun(const std::string& tag, uint64_t seed = 1) : folder("_" + tag) {
    session.seed = seed;
    session.input.InDir = std::string(KELMOR_SOURCE_DIR) + "/examples";
    session.input.OutSame = false;
    session.input.OutDir = out.string();
    host.quitAfterSolutions = 1;
  }
  SolidRun& example(const std::string& name) {
    session.input.InFile = name + ".txt";
    return *this;
  }
  SolidRun& shape(int option, const std::string& nd) {
    session.special.SpecialOption[option] = true;
    session.special.Specialnd = nd;
    return *this;
  }
  // An input file of its own, written into the output folder.
  SolidRun& input(const std::string& name, const std::string& text) {
    std::ofstream(out / (name + ".txt")) << text;
    session.input.InDir = out.string();
    session.input.InFile = name + ".txt";
    return *this;
  }
  RunOutcome run() { return RunSequence(r); }
  std::vector<std::string> writtenNames() const {
    std::vector<std::string> names;
    for (const WrittenReport& w : host.written) names.push_back(w.outputName);
    return names;
  }
};

// Every solid reaches a written, exact solution from a random start with the default
// options; the report says how many attempts it took.
void ExpectExactSolution(SolidRun& s, const std::string& what) {
  EXPECT_EQ(s.run(), RunOutcome::Written) << what;
  ASSERT_FALSE(s.host.written.empty()) << what;
  const WrittenReport& w = s.host.written.front();
  EXPECT_LT(w.edgeDeform, 1e-9) << what;
  EXPECT_LT(w.polyDeform, 1e-9) << what;
  ::testing::Test::RecordProperty(what, "attempts " + std::to_string(w.attempts) + ", iterations " +
                           std::to_string(w.iterations));
  std::cout << "[ solution ] " << what << ": attempts " << w.attempts << ", iterations "
            << w.iterations << ", seconds " << w.seconds << "\n";
}

class ExampleSolid : public ::testing::TestWithParam<const char*> {};

TEST_P(ExampleSolid, RelaxesToAnExactSolution) {
  SolidRun s(GetParam());
  s.example(GetParam());
  ExpectExactSolution(s, GetParam());
  EXPECT_TRUE(fs::exists(s.out / (std::string(GetParam()) + ".off")));
}

INSTANTIATE_TEST_SUITE_P(
    PlatonicAndArchimedean, ExampleSolid,
    ::testing::Values("tetrahedron", "cube", "octahedron", "dodecahedron", "icosahedron",
                      "truncated_tetrahedron", "cuboctahedron", "truncated_cube",
                      "truncated_octahedron", "rhombicuboctahedron", "truncated_cuboctahedron",
                      "snub_cube", "icosidodecahedron", "truncated_dodecahedron",
                      "truncated_icosahedron", "rhombicosidodecahedron",
                      "truncated_icosidodecahedron", "snub_dodecahedron"),
    TextParamName());

struct ShapeCase {
  int option;  // 2 prism, 3 antiprism
  const char* nd;
  std::string name() const { return (option == 2 ? "prism " : "antiprism ") + std::string(nd); }
};

class PrismShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(PrismShape, RelaxesToAnExactSolution) {
  const ShapeCase c = GetParam();
  const std::string what = c.name();
  SolidRun s(c.option == 2 ? "prism" : "antiprism");
  s.shape(c.option, c.nd);
  ExpectExactSolution(s, what);
}

INSTANTIATE_TEST_SUITE_P(PrismsAndAntiprisms, PrismShape,
                         ::testing::Values(ShapeCase{2, "3"}, ShapeCase{2, "5"}, ShapeCase{2, "5/2"},
                                           ShapeCase{2, "8"}, ShapeCase{3, "4"}, ShapeCase{3, "6"},
                                           ShapeCase{3, "5/2"}, ShapeCase{3, "7/2"}),
                         [](const auto& info) { return CaseName(info.param.name()); });

TEST(RepeatMode, TheSameSolidAgainIsADuplicateAndNotWritten) {
  SolidRun s("repeat_cube");
  s.example("cube");
  s.host.quitAfterSolutions = 0;
  s.host.quitAtAttempt = 4;
  EXPECT_EQ(s.run(), RunOutcome::Written);
  EXPECT_EQ(s.writtenNames(), std::vector<std::string>{"cube"});
  EXPECT_NE(std::find(s.host.statuses.begin(), s.host.statuses.end(), "Duplicate Isomorph"),
            s.host.statuses.end());
  EXPECT_FALSE(fs::exists(s.out / "cube_isom2.off"));
}

TEST(RepeatMode, DistinctIsomorphsAreWrittenUnderNumberedNames) {
  // Two squares on a hinge: without inflation every start settles at its own angle.
  SolidRun s("repeat_hinge");
  s.input("hinge", "{\n0,1,2,3,-1,\n1,0,4,5,-1,\n}\n");
  s.session.options.InflateOption = 1;
  s.host.quitAfterSolutions = 3;
  EXPECT_EQ(s.run(), RunOutcome::Written);
  EXPECT_EQ(s.writtenNames(), (std::vector<std::string>{"hinge", "hinge_isom2", "hinge_isom3"}));
  for (const char* name : {"hinge.off", "hinge_isom2.off", "hinge_isom3.off"})
    EXPECT_TRUE(fs::exists(s.out / name)) << name;
  EXPECT_EQ(s.host.captions.front(), "hinge Isom 1");
}

TEST(InputCoordinates, AreWrittenAsEnteredWithW08) {
  SolidRun s("incord");
  s.input("tetra", "{\n3,1,0,-1,\n2,0,1,-1,\n3,0,2,-1,\n2,1,3,-1,\n(0,0,0,1,0,0,0.5,0.8,0,0.5,0.3,0.8,)\n}\n");
  s.session.options.incord = 1;
  EXPECT_EQ(s.run(), RunOutcome::Written);
  EXPECT_TRUE(s.host.saw("W08: tetra  VRML files written as entered"));
  EXPECT_EQ(s.writtenNames(), std::vector<std::string>{"tetra"});
  const Model& m = s.r.model;
  EXPECT_EQ(m.PosX[1], 1.0);
  EXPECT_EQ(m.PosY[2], 0.8);
  EXPECT_EQ(m.PosZ[3], 0.8);
  EXPECT_EQ(s.host.figures.size(), 0u);  // nothing was relaxed
}

TEST(Reproducibility, TheSameSeedWritesByteIdenticalFiles) {
  SolidRun a("same_seed_a", 42), b("same_seed_b", 42);
  a.example("snub_cube");
  b.example("snub_cube");
  a.r.OutputDate = b.r.OutputDate = "1 January 2000";
  ASSERT_EQ(a.run(), RunOutcome::Written);
  ASSERT_EQ(b.run(), RunOutcome::Written);
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(a.out)) {
    const fs::path other = b.out / entry.path().filename();
    ASSERT_TRUE(fs::exists(other)) << other;
    EXPECT_EQ(ReadAll(entry.path()), ReadAll(other)) << entry.path().filename();
    ++compared;
  }
  EXPECT_GE(compared, 5);
}

}  // namespace
}  // namespace kelmor::testing
