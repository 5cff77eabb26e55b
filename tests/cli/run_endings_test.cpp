// Every run ends, and its exit status says how, as the README's table has it: stop rules
// that end runs which cannot succeed, errors the run resumed after that leave nothing
// written, pictures that could not be drawn, and the one line of --version.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/kelmor_child.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

// A stray letter between commas reads as vertex 0: the first face joins vertex 0 to itself.
constexpr const char* kSelfEdge = "{\n1,5,4,0,t,-1,\n2,0,4,6,-1,\n3,1,0,2,-1,\n5,1,3,7,-1,\n6,4,5,7,-1,\n7,3,2,6,-1,\n}\n";

struct Ending {
  const char* name;
  std::vector<std::string> args;  // after "run INPUT --out OUT --quiet --seed 1"
  bool selfEdge;                  // the input with an edge from a vertex to itself, else the cube
  const char* ini;                // kelmor.ini text, or nullptr for the defaults
  int status;
  const char* says;
};

std::vector<Ending> Endings() {
  return {
      // A repeat run that can never write ends whatever rules are given beside.
      {"self_edge_iteration_limit", {"--max-iterations", "100"}, true, nullptr, 1, "to itself"},
      {"self_edge_without_stall_watch", {"--stall", "0"}, true, nullptr, 1, "to itself"},
      {"self_edge_attempt_limit", {"--max-attempts", "2"}, true, nullptr, 1, "Attempt limit reached"},
      {"self_edge_time_limit", {"--time-limit", "0.5"}, true, nullptr, 1, "Time limit reached"},
      // The shortest stall window still lets the cube solve.
      {"shortest_stall_window", {"--stall", "300"}, false, nullptr, 0, ""},
      // A force strength of 0 divides by zero; the run resumes and can write nothing: abandoned.
      {"strength_zero", {"--pref", "f002=0"}, false, nullptr, 3, "Error: Zero divide"},
      {"strength_empty_in_settings", {}, false, "f002=\r\nend \r\n", 3, "Error: Zero divide"},
      {"strength_nan_in_settings", {}, false, "f002=nan\r\nend \r\n", 3, "Error: Zero divide"},
  };
}

class RunEndings : public ::testing::TestWithParam<Ending> {};

TEST_P(RunEndings, EndWithTheStatusOfTheReadmesTable) {
  const Ending& c = GetParam();
  KelmorChild kelmor(std::string("ending_") + c.name);
  std::string input = kelmor.cube();
  if (c.selfEdge) {
    input = (kelmor.dir / "stray.txt").string();
    std::ofstream(input) << kSelfEdge;
  }
  if (c.ini) std::ofstream(kelmor.ini(), std::ios::binary) << c.ini;
  std::vector<std::string> args = {"run", input, "--out", kelmor.out(), "--quiet", "--seed", "1"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  ChildResult r = kelmor(args);
  ASSERT_EQ(CrashSigns(r), "");
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  EXPECT_EQ(r.out.empty(), c.status != 0) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Cases, RunEndings, ::testing::ValuesIn(Endings()),
                         [](const auto& info) { return std::string(info.param.name); });

// The model is written but its picture is not: not all that was asked for, as a failed
// export, status 3, and the model's files stay.
TEST(PictureFailure, IsStatusThreeWithTheModelKept) {
  KelmorChild kelmor("ending_picture");
  fs::create_directories(fs::path(kelmor.out()) / "cube.png");  // a folder where the picture goes
  ChildResult r = kelmor({"run", kelmor.cube(), "--out", kelmor.out(), "--quiet", "--seed", "1", "--png"});
  ASSERT_EQ(CrashSigns(r), "");
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_TRUE(fs::exists(fs::path(kelmor.out()) / "cube.off"));
  EXPECT_TRUE(fs::is_directory(fs::path(kelmor.out()) / "cube.png"));
}

TEST(Version, IsOneLineWithCompilerAndVectorPath) {
  KelmorChild kelmor("version");
  ChildResult r = kelmor({"--version"});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_FALSE(r.out.empty());
  EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
  EXPECT_EQ(r.out.rfind("kelmor ", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("built with "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("AVX2"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace kelmor::testing
