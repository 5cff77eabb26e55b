#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "input/char_stream.h"
#include "input/foreign_input.h"
#include "input/solid_text.h"
#include "run/run.h"
#include "run/run_sequence.h"
#include "support/relax_fixture.h"
#include "support/temp_folder.h"
#include "support/test_names.h"

// Whole runs from the other ways in. Kelmor's own OFF files as input: an example relaxed,
// its OFF file read back and relaxed again with the same seed reaches the same solution in
// the same number of iterations. Conway notation: the solid of an expression relaxes.
namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

struct OneRun {
  Session session;
  QuittingHost host;
  kelmor::Run run{session, host};

  OneRun(const fs::path& in, const fs::path& out) {
    session.seed = 1;
    session.input.InDir = in.parent_path().string();
    session.input.InFile = in.filename().string();
    session.input.OutSame = false;
    session.input.OutDir = out.string();
    host.quitAfterSolutions = 1;
  }
  const WrittenReport& solve(const std::string& what) {
    EXPECT_EQ(RunSequence(run), RunOutcome::Written) << what;
    if (host.written.empty()) throw std::runtime_error(what + ": nothing written");
    return host.written.front();
  }
};

class OffRoundTrip : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    fs::create_directories(folder / "first");
    fs::create_directories(folder / "second");
  }
  TempFolder temp_;
  const fs::path folder = temp_.path();
};

TEST_P(OffRoundTrip, RelaxesToTheSameSolutionAsTheOriginal) {
  const std::string name = GetParam();
  OneRun first(fs::path(KELMOR_SOURCE_DIR) / "examples" / (name + ".txt"), folder / "first");
  const WrittenReport original = first.solve(name);
  std::string offPath;
  for (const std::string& f : original.files)
    if (fs::path(f).extension() == ".off") offPath = f;
  ASSERT_FALSE(offPath.empty()) << name << ": no OFF file written";

  // Read back the way `kelmor run NAME.off` reads it, from a folder of its own.
  const fs::path copy = folder / (name + ".off");
  fs::copy_file(offPath, copy);
  OneRun second(copy, folder / "second");
  const WrittenReport again = second.solve(name + ".off");
  EXPECT_EQ(second.host.messages, std::vector<std::string>{}) << name;
  EXPECT_EQ(again.iterations, original.iterations) << name;
  EXPECT_EQ(again.attempts, original.attempts) << name;
  EXPECT_EQ(again.edgeDeform, original.edgeDeform) << name;
  EXPECT_EQ(again.polyDeform, original.polyDeform) << name;
  EXPECT_EQ(second.run.model.FaceCount, first.run.model.FaceCount) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, OffRoundTrip,
    ::testing::Values("tetrahedron", "cube", "octahedron", "dodecahedron", "icosahedron", "cuboctahedron",
                      "icosidodecahedron", "truncated_tetrahedron", "truncated_cube", "truncated_octahedron",
                      "truncated_dodecahedron", "truncated_icosahedron", "rhombicuboctahedron",
                      "rhombicosidodecahedron", "truncated_cuboctahedron", "truncated_icosidodecahedron",
                      "snub_cube", "snub_dodecahedron"),
    TextParamName());

// Every example with one solid is in the list above, so a new one is not left out.
TEST(OffRoundTripList, CoversEveryExampleWithOneSolid) {
  int single = 0;
  for (const auto& e : fs::directory_iterator(fs::path(KELMOR_SOURCE_DIR) / "examples")) {
    if (e.path().extension() != ".txt") continue;
    const std::string text = ReadWholeFile(e.path().string());
    if (text.find('{') == text.rfind('{') && text.find('[') == std::string::npos) ++single;
  }
  EXPECT_EQ(single, 18);
}

TEST(ConwayRun, TheSolidOfAnExpressionRelaxesAndIsNamedAfterIt) {
  const TempFolder folder;
  const fs::path& out = folder.path();
  OneRun r(out / "conway:tT", out);
  const WrittenReport& w = r.solve("tT");
  EXPECT_LT(w.edgeDeform, 1e-9);
  EXPECT_LT(w.polyDeform, 1e-9);
  EXPECT_EQ(w.outputName, "tT");
  EXPECT_EQ(r.run.InputName, "conway:tT");
  EXPECT_EQ(r.run.model.FaceCount, 8);
}

}  // namespace
}  // namespace kelmor::testing
