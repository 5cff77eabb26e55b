// Segmented input through the whole run: each block read, relaxed once and appended to
// one segment file; realm blocks and the inter-realm section leading to the realm files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "run/run.h"
#include "run/run_sequence.h"
#include "support/file_text.h"
#include "support/temp_folder.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

const char* const Tetrahedron = "{3,1,0,-1, 2,0,1,-1, 3,0,2,-1, 2,1,3,-1,}\n";
const char* const Cube =
    "{1,5,4,0,-1, 2,0,4,6,-1, 3,1,0,2,-1, 5,1,3,7,-1, 6,4,5,7,-1, 7,3,2,6,-1,}\n";
const char* const Octahedron =
    "{0,2,5,-1, 4,2,0,-1, 1,3,5,-1, 4,3,1,-1, 2,4,1,-1, 3,4,0,-1, 5,2,1,-1, 3,0,5,-1,}\n";

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Every node and list the file opens is closed again (comments and strings aside).
bool Balanced(const std::string& text) {
  int braces = 0, brackets = 0;
  bool comment = false, quoted = false;
  for (char c : text) {
    if (c == '\n') comment = false;
    if (comment) continue;
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '#') comment = true;
    braces += c == '{' ? 1 : c == '}' ? -1 : 0;
    brackets += c == '[' ? 1 : c == ']' ? -1 : 0;
    if (braces < 0 || brackets < 0) return false;
  }
  return braces == 0 && brackets == 0;
}

// What the file-selection window prepares for a file of `blocks` blocks: the Segments
// caption and the greyed boxes.
class SegmentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.input.InDir = dir_.string();
    session_.input.OutSame = true;
    session_.seed = 7;
    // A safety net: a run that never ends is pressed Quit long after it should have.
    host_.buttonsAtPoll[20000] = QuitButton;
  }

  RunOutcome RunFile(const std::string& name, const std::string& text, int blocks) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    session_.input.InFile = name;
    RunOptions& o = session_.options;
    o.Segments = "Segments " + std::to_string(blocks);
    o.Highlight = o.Once = o.Weaken = o.Isomorph = o.Augment = 2;
    kelmor::Run run(session_, host_);
    RunOutcome outcome = RunSequence(run);
    realmCount_ = run.model.RealmCount;
    return outcome;
  }
  std::string Slurp(const std::string& name) { return testing::ReadAll(dir_ / name); }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
  Session session_;
  TestHost host_;
  int realmCount_ = 0;
};

TEST_F(SegmentsTest, ThreeBlocksGoToOneFileOnePassEach) {
  // A file left by an earlier run is replaced, not added to.
  std::ofstream(dir_ / "three.wrl") << "stale\n";
  RunOptions& o = session_.options;
  o.SegX[1] = "-2.5";
  o.SegEdge[3] = "2";
  o.SegX[3] = "2.5";
  o.FlipY[3] = 1;
  EXPECT_EQ(RunFile("three.txt", std::string(Tetrahedron) + Cube + Octahedron, 3),
            RunOutcome::Written);

  std::string text = Slurp("three.wrl");
  EXPECT_EQ(text.rfind("#VRML V2.0 utf8\r\n", 0), 0u);
  EXPECT_EQ(Count(text, "#VRML"), 1);
  EXPECT_EQ(Count(text, "color DEF COL Color{"), 1);
  EXPECT_EQ(Count(text, "      color USE COL\r\n"), 2);
  for (const char* set : {"    coord DEF C1 Coordinate{", "    coord DEF C2 Coordinate{",
                          "    coord DEF C3 Coordinate{"})
    EXPECT_EQ(Count(text, set), 1) << set;
  EXPECT_LT(text.find("DEF C1"), text.find("DEF C2"));
  EXPECT_LT(text.find("DEF C2"), text.find("DEF C3"));
  EXPECT_EQ(Count(text, "# Segment:"), 3);
  EXPECT_NE(text.find("# Segment: 3   Edge Length: 2.00\r\n"), std::string::npos);
  EXPECT_EQ(text.find("stale"), std::string::npos);
  EXPECT_TRUE(Balanced(text));

  // Each segment had its own attempt; the three make one solution.
  EXPECT_EQ(host_.attemptsStarted.size(), 3u);
  EXPECT_EQ(host_.written.size(), 1u);
  EXPECT_LT(host_.polls, 20000);
  EXPECT_EQ(host_.messages, std::vector<std::string>{"W05: " + Path("three.wrl") +
                                                     "  Segmented VRML file written"});
  EXPECT_FALSE(fs::exists(dir_ / "three_solid.wrl"));
  EXPECT_FALSE(fs::exists(dir_ / "three.off"));
}

TEST_F(SegmentsTest, ASegmentThatSettlesInexactlyIsWrittenAndTheRunGoesOn) {
  // A triangle and a square on the same three vertices cannot both be regular.
  EXPECT_EQ(RunFile("inexact.txt", std::string("{0,1,2,-1, 0,1,2,3,-1,}\n") + Tetrahedron, 2),
            RunOutcome::Written);
  std::string text = Slurp("inexact.wrl");
  EXPECT_EQ(Count(text, "coord DEF C1"), 1);
  EXPECT_EQ(Count(text, "coord DEF C2"), 1);
  EXPECT_EQ(host_.attemptsStarted.size(), 2u);
  EXPECT_LT(host_.polls, 20000);
}

TEST_F(SegmentsTest, AnEmptyBlockIsPassedOver) {
  EXPECT_EQ(RunFile("gap.txt", std::string(Tetrahedron) + "{ }\n" + Cube, 3), RunOutcome::Written);
  std::string text = Slurp("gap.wrl");
  EXPECT_EQ(Count(text, "coord DEF C1"), 1);
  EXPECT_EQ(Count(text, "coord DEF C2"), 0);
  EXPECT_EQ(Count(text, "coord DEF C3"), 1);
  EXPECT_TRUE(Balanced(text));
}

TEST_F(SegmentsTest, RealmsAndTheirSectionWriteTheRealmFiles) {
  session_.options.Debug = 1;
  session_.options.SegX[3] = "2";
  std::string input = std::string(Cube) +
                      "{ P }\n{ LY }\n"
                      "[ 1,1,2,-2, 0,1,0,-1, 6,7,0,-1,\n"
                      "  1,1,3,3,-2, s g 6,7,1,0,-1,\n"
                      "  2,3,-2, 0,0,-1, ]\n";
  EXPECT_EQ(RunFile("realms.txt", input, 3), RunOutcome::Written);
  EXPECT_EQ(realmCount_, 12);  // eight cube vertices, the apex, the two ends of the line
  EXPECT_EQ(host_.messages, std::vector<std::string>{"W02: realms segmented VRML file written"});

  std::string vrml = Slurp("realms.wrl");
  EXPECT_EQ(Count(vrml, "color DEF COL Color{"), 1);
  EXPECT_EQ(Count(vrml, "    coord DEF C1 Coordinate{"), 1);
  EXPECT_EQ(Count(vrml, "    coord DEF CSEG Coordinate{"), 1);
  EXPECT_NE(vrml.find("\r\n      6 , 7 , 10 , 9 ,-1,\r\n"), std::string::npos);  // the square
  EXPECT_NE(vrml.find("\r\n      8 , 9 ,-1,\r\n"), std::string::npos);           // apex to the line
  EXPECT_NE(vrml.find("\r\n      9 , 10 ,-1,\r\n"), std::string::npos);          // the line itself
  EXPECT_TRUE(Balanced(vrml));

  std::string off = Slurp("realms.off");
  EXPECT_EQ(off.rfind("4OFF\r\n", 0), 0u);
  EXPECT_NE(off.find("\r\n 11  6 0 0\r\n"), std::string::npos);
  EXPECT_NE(off.find("\r\n0.0 0.0 0.0 1.0\r\n"), std::string::npos);   // the apex
  EXPECT_NE(off.find("\r\n0.0 -0.5 0.0 2.0\r\n"), std::string::npos);  // the line, offset left out
  EXPECT_NE(off.find("\r\n 3  0  1  8  255 0 0\r\n"), std::string::npos);
  EXPECT_NE(off.find("\r\n 4  6  7  10  9  255 0 0\r\n"), std::string::npos);

  std::string debug = Slurp("realms_debug.txt");
  EXPECT_NE(debug.find("Inter-realm Link:  1  Vertices: 1  2  9 \r\n"), std::string::npos);
  EXPECT_NE(debug.find("Inter-realm Link:  4  Vertices: 9  10 \r\n"), std::string::npos);
}

TEST_F(SegmentsTest, RealmsAreWrittenWithoutASection) {
  EXPECT_EQ(RunFile("nosection.txt", std::string(Tetrahedron) + "{ LX }\n", 2),
            RunOutcome::Written);
  EXPECT_EQ(host_.messages, std::vector<std::string>{"W02: nosection segmented VRML file written"});
  std::string off = Slurp("nosection.off");
  EXPECT_NE(off.find("\r\n 6  4 0 0\r\n"), std::string::npos);
  EXPECT_NE(off.find("\r\n-0.5 0.0 0.0 1.0\r\n"), std::string::npos);
  EXPECT_TRUE(Balanced(Slurp("nosection.wrl")));
}

TEST_F(SegmentsTest, OnlyRealmsStillMakeAFileWithItsOwnHeader) {
  EXPECT_EQ(RunFile("points.txt", "{ P }\n{ P }\n[ 1,2,-2, 0,0,-1, ]\n", 2), RunOutcome::Written);
  std::string vrml = Slurp("points.wrl");
  EXPECT_EQ(vrml.rfind("#VRML V2.0 utf8\r\n", 0), 0u);
  EXPECT_EQ(Count(vrml, "coord DEF CSEG"), 1);
  EXPECT_EQ(Count(vrml, "Dummy sphere"), 1);
  EXPECT_TRUE(Balanced(vrml));
}

TEST_F(SegmentsTest, AnInterRealmFaceNamingAMissingVertexIsLeftOut) {
  EXPECT_EQ(
      RunFile("missing.txt", std::string(Tetrahedron) + "{ P }\n[ 1,2,-2, 0,0,-1, 9,0,-1, ]\n", 2),
      RunOutcome::Written);
  EXPECT_EQ(host_.messages,
            (std::vector<std::string>{
                "Input file error: Inter-realm face 2 names vertex 9 of segment 1, which has no "
                "such vertex",
                "W02: missing segmented VRML file written"}));
  std::string off = Slurp("missing.off");
  EXPECT_NE(off.find("\r\n 2  0  4  255 0 0\r\n"), std::string::npos);
  EXPECT_EQ(Count(off, "255 0 0"), 1);
}

}  // namespace
}  // namespace kelmor
