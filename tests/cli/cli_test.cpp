// Command-line behaviour, one case a line where possible: status and the system's words.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "support/cli_run.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

using testing::CliResult;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override { folder_.CopyExample("cube.txt"); }

  // Runs kelmor with a private settings file and the answer "no" unless given.
  CliResult Kelmor(std::vector<std::string> args) {
    if (args[0] != "scan") {
      args.push_back("--settings");
      args.push_back((dir_ / "kelmor.ini").string());
    }
    return testing::RunCliCaught(args);
  }
  std::string Input(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    return (dir_ / name).string();
  }
  std::string Cube() { return (dir_ / "cube.txt").string(); }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(Cli, RefusesUnknownControlsAndBadValues) {
  auto r = Kelmor({"run", Cube(), "--set", "NoSuchBox=1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown option control 'NoSuchBox'"), std::string::npos) << r.err;

  r = Kelmor({"run", Cube(), "--set", "Weaken=7"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Weaken takes a whole number from 0 to 2"), std::string::npos) << r.err;

  r = Kelmor({"run", Cube(), "--set", "Weaken"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--set takes NAME=VALUE"), std::string::npos) << r.err;

  r = Kelmor({"run", Cube(), "--pref", "zzzz=1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--pref takes KEY=VALUE"), std::string::npos) << r.err;

  r = Kelmor({"run", Cube(), "--inflate", "sideways"});
  EXPECT_EQ(r.status, 2);
}

TEST_F(Cli, MissingInputOrOutputFolderIsRefusedBeforeAnyFileIsWritten) {
  auto r = Kelmor({"run", (dir_ / "nothere.txt").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("input file"), std::string::npos);
  r = Kelmor({"run", Cube(), "--out", (dir_ / "no" / "such").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("output folder"), std::string::npos);
}

TEST_F(Cli, ValidationFailuresPrintTheMessageAndWriteNothing) {
  auto r = Kelmor({"run", Cube(), "--set", "Weaken=1", "--set", "WeakenLimit=2", "--set", "Debug=1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error: Weaken limit must be >=3\n"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "cube_debug.txt"));

  r = Kelmor({"run", Cube(), "--set", "GlobLim=0.9"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error: Global Limit must be >= 1"), std::string::npos) << r.err;

  r = Kelmor({"run", Cube(), "--inflate", "local-diagonal", "--set", "LocInfMin1=0.5",
              "--set", "LocInfMax1=0.5"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error: Local Inflation Maximum must be > Minimum"), std::string::npos);

  r = Kelmor({"run", Cube(), "--augment", "0"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error: Augmented Side n/d must be > 0"), std::string::npos);
}

TEST_F(Cli, ShapeChecksItsChoice) {
  auto r = Kelmor({"shape", "pyramid", "0", "--out", dir_.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Please select a polygon size"), std::string::npos) << r.err;
  r = Kelmor({"shape", "cube", "4", "--out", dir_.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Please select one of Polygon, Pyramid, Prism or Antiprism"),
            std::string::npos);
}

TEST_F(Cli, ScanPrintsLettersAndBlockCount) {
  auto r = Kelmor({"scan", Input("seg.txt", "' two blocks {\n{1,2,3,-1,}\n{A4,5,6,t-1,}\n")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "letters: ASt\nblocks: 2\n");
}

TEST_F(Cli, PrefsListsEveryKeyAndTheFile) {
  auto r = Kelmor({"prefs", "--pref", "unam=Ann"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("unam=Ann\n"), std::string::npos);
  EXPECT_NE(r.out.find("lbcf=28.128.128\n"), std::string::npos);
  EXPECT_NE(r.out.find("# " + (dir_ / "kelmor.ini").string()), std::string::npos);
  // Without --save the override lives for this call only.
  r = Kelmor({"prefs"});
  EXPECT_NE(r.out.find("unam=undefined\n"), std::string::npos);
  r = Kelmor({"prefs", "--save", "--pref", "unam=Ann"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("Kelmor User Preferences Updated"), std::string::npos);
  r = Kelmor({"prefs"});
  EXPECT_NE(r.out.find("unam=Ann\n"), std::string::npos);
}

TEST_F(Cli, DebugFileStartsWithItsHeader) {
  auto r = Kelmor({"run", Cube(), "--set", "Debug=1", "--out", dir_.string(), "--once",
                   "--seed", "3", "--quiet"});
  std::ifstream in(dir_ / "cube_debug.txt", std::ios::binary);
  ASSERT_TRUE(in) << r.err;
  std::string text((std::istreambuf_iterator<char>(in)), {});
  std::string head = "KELMOR Debug File\r\n" + (dir_ / "cube_debug.txt").string() + "\r\n \r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
}

TEST_F(Cli, FlaggedVerticesAndMarkedEdgesReachTheDebugFile) {
  std::string in = Input("flags.txt", "{F*12,13;14,-1,\n12,14,15,-1,}\n");
  Kelmor({"run", in, "--set", "Debug=1", "--once", "--seed", "1", "--quiet", "--max-attempts", "1",
          "--max-iterations", "50"});
  std::ifstream f(dir_ / "flags_debug.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(f)), {});
  EXPECT_NE(text.find("\r\nVertex: 12  Flags:F*\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nHighlight edge identified between vertices: 13  and  14 \r\n"),
            std::string::npos)
      << text;
}

TEST_F(Cli, InputPastTheLimitsIsAbandonedWithTheSubscriptMessage) {
  auto r = Kelmor({"run", Input("big.txt", "{1,2,3001,-1,}"), "--once", "--quiet"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("KELMOR has come across error, attempting to resume 9\n"), std::string::npos);
  EXPECT_NE(r.err.find("Error: Subscript out of range.  Input file too large?\n"), std::string::npos);

  std::string face = "{";
  for (int v = 0; v < 41; ++v) face += std::to_string(v) + ",";
  r = Kelmor({"run", Input("wide.txt", face + "-1,}"), "--once", "--quiet"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("Error: Subscript out of range.  Input file too large?"), std::string::npos);
}

// Reads every file of a folder, by name.
std::map<std::string, std::string> Files(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::ifstream in(e.path(), std::ios::binary);
    files[e.path().filename().string()] = std::string((std::istreambuf_iterator<char>(in)), {});
  }
  return files;
}

TEST_F(Cli, EachWrittenSolutionPrintsOneLineForScripts) {
  fs::create_directories(dir_ / "a");
  auto r = Kelmor({"run", Cube(), "--out", (dir_ / "a").string(), "--seed", "5", "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::regex_match(
      r.out, std::regex(R"(written cube E=\S+ P=\S+ iterations=\d+ attempts=1 seconds=[0-9.]+ convex=yes )"
                        R"(self-intersecting=no symmetry=Oh edge-ratio=\S+ off-plane=\S+ dihedral=\S+\n)")))
      << r.out;
  EXPECT_TRUE(fs::exists(dir_ / "a" / "cube_solid.wrl"));
  EXPECT_TRUE(fs::exists(dir_ / "a" / "cube.off"));
}

TEST_F(Cli, TheSameSeedGivesByteIdenticalFiles) {
  for (const char* sub : {"a", "b"}) {
    fs::create_directories(dir_ / sub);
    auto r = Kelmor({"run", Cube(), "--out", (dir_ / sub).string(), "--seed", "11", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  auto a = Files(dir_ / "a"), b = Files(dir_ / "b");
  EXPECT_EQ(a.size(), 7u);  // the six described files and cube_facts.txt
  EXPECT_EQ(a, b);
}

TEST_F(Cli, StopRulesPressTheButtonsAUserWould) {
  // A time limit already passed at the first poll: Quit, nothing written.
  auto r = Kelmor({"run", Cube(), "--seed", "1", "--quiet", "--time-limit", "0.000001"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Time limit reached: quitting the run"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());

  // The same with --write-on-timeout: Write (W12), then Quit.
  r = Kelmor({"run", Cube(), "--seed", "1", "--quiet", "--time-limit", "0.000001",
              "--write-on-timeout"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("W12: cube VRML files written"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.rfind("written cube ", 0), 0u) << r.out;

  // Re-do after 20 iterations, Quit when a third attempt would start.
  r = Kelmor({"run", Cube(), "--seed", "1", "--quiet", "--max-iterations", "20",
              "--max-attempts", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
}

// The great rhombicosidodecahedron defeats random starts; the search's first start
// solves it. The attempts before the search are the attempt loop's own, stalls and all,
// and --search off leaves every attempt to it.
TEST_F(Cli, TheSearchSolvesAHardSolidReproduciblyAfterTheAttemptLoopsOwnAttempts) {
  const std::string hard =
      (fs::path(KELMOR_SOURCE_DIR) / "examples" / "hard" / "great_rhombicosidodecahedron.txt").string();
  for (const char* sub : {"a", "b"}) {
    fs::create_directories(dir_ / sub);
    auto r = Kelmor({"run", hard, "--out", (dir_ / sub).string(), "--seed", "1", "--quiet",
                     "--search-after", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("attempts=1 "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Search: spectral start 1 of "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("search step 1 found it at attempt 1\n"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Files(dir_ / "a"), Files(dir_ / "b"));
  EXPECT_EQ(Files(dir_ / "a").count("great_rhombicosidodecahedron.off"), 1u);

  auto stalls = [](const std::string& err) {
    std::string lines;
    for (size_t at = err.find("Stalled:"); at != std::string::npos; at = err.find("Stalled:", at + 1))
      lines += err.substr(at, err.find('\n', at) - at) + "\n";
    return lines;
  };
  const std::vector<std::string> common = {"run", hard, "--out", (dir_ / "a").string(), "--seed", "3",
                                           "--quiet", "--stall", "1500", "--max-attempts", "3"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = common;
    args.insert(args.end(), extra.begin(), extra.end());
    return Kelmor(args);
  };
  const auto off = with({"--search", "off"});
  const auto late = with({"--search-after", "2"});
  EXPECT_EQ(off.err.find("Search:"), std::string::npos) << off.err;
  ASSERT_NE(off.err.find("Stalled: attempt 2 "), std::string::npos) << off.err;
  // Attempts 1 and 2 are the same with the search waiting for two stalls; the third is
  // the search's and solves.
  const std::string first2 = stalls(off.err).substr(0, stalls(off.err).find("Stalled: attempt 3"));
  EXPECT_EQ(stalls(late.err).substr(0, first2.size()), first2);
  EXPECT_EQ(late.status, 0) << late.err;
  EXPECT_NE(late.out.find("attempts=3 "), std::string::npos) << late.out;
  EXPECT_EQ(with({"--search", "maybe"}).status, 2);
}

// The great dirhombicosidodecahedron's attempts end mostly by overflow, not by a stall:
// every attempt that ends without a solution counts towards the search, which with the
// default options takes over at attempt 9 and solves it there.
TEST_F(Cli, AttemptsEndedByOverflowAlsoBringTheSearchOn) {
  const std::string hard =
      (fs::path(KELMOR_SOURCE_DIR) / "examples" / "hard" / "great_dirhombicosidodecahedron.txt").string();
  auto r = Kelmor({"run", hard, "--out", dir_.string(), "--seed", "1", "--quiet", "--max-attempts", "12"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("attempts=9 "), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("search step 1 found it at attempt 9\n"), std::string::npos) << r.err;
}

// The {11/3} antiprism from seed 9 settles three times in a false minimum (E 2.29)
// before the fourth attempt solves it.
TEST_F(Cli, StalledAttemptsStartAgainAndTheRunStaysReproducible) {
  for (const char* sub : {"a", "b"}) {
    fs::create_directories(dir_ / sub);
    auto r = Kelmor({"shape", "antiprism", "11/3", "--out", (dir_ / sub).string(), "--seed", "9",
                     "--quiet", "--stall", "2000"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("attempts=4 "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Stalled: attempt 3 at E 2.2"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Stalled: attempt 4"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Files(dir_ / "a"), Files(dir_ / "b"));

  // --stall 0: the false minimum is left to the other stop rules.
  auto r = Kelmor({"shape", "antiprism", "11/3", "--out", (dir_ / "a").string(), "--seed", "9",
                   "--quiet", "--stall", "0", "--max-iterations", "3000", "--max-attempts", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.find("Stalled"), std::string::npos) << r.err;
  // One attempt asked for: no stall watch.
  r = Kelmor({"shape", "antiprism", "11/3", "--out", (dir_ / "a").string(), "--seed", "9",
              "--quiet", "--stall", "100", "--once", "--max-iterations", "2000"});
  EXPECT_EQ(r.err.find("Stalled"), std::string::npos) << r.err;
  EXPECT_EQ(Kelmor({"run", Cube(), "--stall", "-5"}).status, 2);
}

// A letter standing alone between commas reads as vertex 0, so the first face names vertex
// 0 twice in a row: an edge from it to itself, which no attempt can make of unit length.
// With no stop rule the run says so and ends instead of trying for ever; a stop rule
// given ends it as that rule says.
TEST_F(Cli, AnEdgeFromAVertexToItselfEndsARunWithoutStopRules) {
  const std::string stray = Input("stray.txt", "{\n1,5,4,0,t,-1,\n2,0,4,6,-1,\n3,1,0,2,-1,\n"
                                               "5,1,3,7,-1,\n6,4,5,7,-1,\n7,3,2,6,-1,\n}\n");
  auto r = Kelmor({"run", stray, "--out", dir_.string(), "--seed", "1", "--quiet"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("An edge joins vertex 0 to itself"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
  r = Kelmor({"run", stray, "--out", dir_.string(), "--seed", "1", "--quiet", "--max-attempts", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.find("to itself"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Attempt limit reached"), std::string::npos) << r.err;
  // A sound cube is not touched by the check.
  r = Kelmor({"run", Cube(), "--out", dir_.string(), "--seed", "1", "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(Cli, FileWithoutABlockEndsThroughCode62) {
  auto r = Kelmor({"run", Input("empty.txt", "' no braces at all\n1,2,3,-1,\n"), "--once", "--quiet"});
  EXPECT_NE(r.err.find("attempting to resume 62"), std::string::npos) << r.err;
  EXPECT_NE(r.status, 3);  // code 62 resumes after the parser: the run is not abandoned
}

}  // namespace
}  // namespace kelmor
