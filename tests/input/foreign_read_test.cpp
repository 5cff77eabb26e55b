#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "input/foreign_input.h"
#include "input/foreign_read.h"
#include "input/kelmor_solid.h"
#include "input/parser.h"
#include "input/solid_text.h"
#include "model/error.h"
#include "run/run.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

const char* kCubeOff =
    "OFF\n"
    "# a cube; the counts cover the two small elements at the end\n"
    "8 8 12\n"
    "0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
    "4 0 3 2 1  255 0 0\n"
    "4 4 5 6 7  0.0 0.0 1.0\n"
    "4 0 1 5 4  255 128 0 255\n"
    "4 1 2 6 5\n"
    "4 2 3 7 6  17\n"
    "4 3 0 4 7  40 40 40\n"
    "1 0\n"
    "2 0 6\n";

TEST(OffReader, ReadsFacesColoursAndCoordinatesAndPassesOverSmallElements) {
  ForeignRead r = ReadOffText(kCubeOff);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.solid.vertexCount, 8);
  ASSERT_EQ(r.solid.faceCount(), 6);
  EXPECT_EQ(r.solid.faces[0], (std::vector<int>{0, 3, 2, 1}));
  // Red and blue, amber despite the alpha, none for a colour map index and none for a
  // dark grey that no colour letter is near.
  EXPECT_EQ(r.solid.colour, (std::vector<char>{'r', 'b', 'a', 0, 0, 0}));
  EXPECT_EQ(r.solid.coords[6], (std::array<double, 3>{1, 1, 1}));
  EXPECT_EQ(r.faceLine[0], 12);
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_NE(r.notes[0].find("2 elements of one or two vertices passed over (the first on line 18)"), std::string::npos)
      << r.notes[0];
  EXPECT_TRUE(SurfaceProblem(r, nullptr).empty());
}

TEST(OffReader, CountsMayStandOnTheHeaderLineAndCommentsAnywhere) {
  ForeignRead r = ReadOffText("OFF 4 4 6 # tetrahedron\n0 0 0\n1 0 0\n0 1 0 # v2\n0 0 1\n\n"
                              "3 0 2 1\n3 0 1 3\n3 1 2 3\n3 2 0 3\n");
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.solid.faceCount(), 4);
  EXPECT_TRUE(SurfaceProblem(r, nullptr).empty());
}

struct Malformed {
  const char* what;
  const char* text;
  const char* says;  // the message, or a part of it naming the line
};

TEST(OffReader, MalformedFilesGetAMessageNamingTheLine) {
  const Malformed table[] = {
      {"empty", "", "the file is empty"},
      {"not OFF", "PLY\n3 1 0\n", "line 1: 'PLY' where an OFF file starts with OFF"},
      {"4OFF", "4OFF\n", "line 1: a 4OFF file"},
      {"binary OFF", "OFF BINARY\n", "line 1: binary OFF is not read"},
      {"binary junk", "OFF\n3 1 0\n0 0 0\n\x01\x02\x03", "line 4: byte 1 is binary data"},
      {"counts missing", "OFF\n", "ends before the counts"},
      {"counts not numbers", "OFF\nthree 1 0\n", "line 2: 'three' is not a count"},
      {"negative count", "OFF\n3 -1 0\n", "line 2: '-1' is not a count"},
      {"too few vertices", "OFF\n4 1 0\n0 0 0\n1 0 0\n", "the file ends after 2 of the 4 vertices the counts on line 2"},
      {"too few faces", "OFF\n3 2 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n",
       "the file ends after 1 of the 2 faces the counts on line 2"},
      {"too many lines", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n3 2 1 0\n", "line 7: more lines than"},
      {"NaN coordinate", "OFF\n3 1 0\n0 0 0\nnan 0 0\n0 1 0\n3 0 1 2\n", "line 4: coordinate 'nan' of vertex 1"},
      {"infinite coordinate", "OFF\n3 1 0\n0 0 0\n1 inf 0\n0 1 0\n3 0 1 2\n", "line 4: coordinate 'inf'"},
      {"huge coordinate", "OFF\n3 1 0\n0 0 1e999\n1 0 0\n0 1 0\n3 0 1 2\n", "line 3: coordinate '1e999'"},
      {"short vertex", "OFF\n3 1 0\n0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "line 3: a vertex line holds three"},
      {"index out of range", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n", "line 6: vertex index '3' is not in range 0 to 2"},
      {"negative index", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 -1 2\n", "line 6: vertex index '-1'"},
      {"fractional index", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1.5 2\n", "line 6: vertex index '1.5'"},
      {"face lies about its size", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n4 0 1 2\n",
       "line 6: the face announces 4 vertices but lists 3"},
      {"zero-vertex face", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n0\n", "line 6: '0' is not a number of vertices"},
      {"repeated vertex", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 1\n", "line 6: the face lists vertex 1 twice"},
      {"bad colour", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2 red green blue\n", "line 6: colour component 'red'"},
      {"two colour words", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2 1 2\n", "line 6: 2 words after the vertex indices"},
      {"count beyond int", "OFF\n99999999999 1 0\n", "line 2: '99999999999' is not a count"},
  };
  for (const Malformed& m : table) {
    ForeignRead r = ReadOffText(m.text);
    EXPECT_FALSE(r.ok()) << m.what;
    EXPECT_NE(r.error.find(m.says), std::string::npos) << m.what << ": " << r.error;
    EXPECT_EQ(r.solid.faceCount(), 0) << m.what << ": a failed read hands no half solid on";
  }
  const std::string nul("OFF\n3 1\0 0\n", 11);
  EXPECT_NE(ReadOffText(nul).error.find("line 2: byte 0 is binary data"), std::string::npos);
}

TEST(ObjReader, ReadsFaceReferencesInEveryFormAndPassesOverLinesAndPoints) {
  ForeignRead r = ReadObjText(
      "# tetrahedron\nmtllib x.mtl\no tet\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1 1.0\nvt 0 0\nvn 0 0 1\n"
      "usemtl red\nf 1 3 2\nf 1/1 2/1 4/1\nf 2//1 3//1 4//1\nf -2/1/1 -4/1/1 -1/1/1\nl 1 2\np 3\nf 1 2\n");
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.solid.vertexCount, 4);
  ASSERT_EQ(r.solid.faceCount(), 4);
  EXPECT_EQ(r.solid.faces[3], (std::vector<int>{2, 0, 3}));
  EXPECT_EQ(r.faceLine[3], 14);
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_NE(r.notes[0].find("3 elements"), std::string::npos) << r.notes[0];
  EXPECT_NE(r.notes[0].find("line 15"), std::string::npos) << r.notes[0];
  EXPECT_TRUE(SurfaceProblem(r, nullptr).empty());
}

TEST(ObjReader, MalformedFilesGetAMessageNamingTheLine) {
  const Malformed table[] = {
      {"no vertices", "# nothing\ng x\n", "no vertex lines"},
      {"NaN", "v 0 0 0\nv nan 0 0\n", "line 2: coordinate 'nan' of vertex 2"},
      {"short vertex", "v 0 0\n", "line 1: a vertex line holds three"},
      {"zero reference", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "line 4: '0' is not a vertex reference"},
      {"junk reference", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 x 2\n", "line 4: 'x' is not a vertex reference"},
      {"out of range", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n", "line 4: vertex index 9 is not in range 1 to 3"},
      {"back too far", "v 0 0 0\nv 1 0 0\nf -1 -2 -3\nv 0 1 0\n", "line 3: vertex reference -3 counts back"},
      {"repeated", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 2\n", "line 4: the face lists vertex 2 twice"},
      {"junk statement", "v 0 0 0\n%%% 1 2\n", "line 2: '%%%' is not an OBJ statement"},
      {"binary", "v 0 0 0\n\x7f\x45\x4c\x46\x02", "line 2: byte 2 is binary data"},
  };
  for (const Malformed& m : table) {
    ForeignRead r = ReadObjText(m.text);
    EXPECT_FALSE(r.ok()) << m.what;
    EXPECT_NE(r.error.find(m.says), std::string::npos) << m.what << ": " << r.error;
  }
}

TEST(ClosedSurface, HolesAndEdgesInThreeFacesAreReportedByEdgeAndLine) {
  const Malformed table[] = {
      {"hole", "OFF\n4 3 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 2 1\n3 0 1 3\n3 1 2 3\n",
       "edge 0-2 belongs to one face only (line 7): the surface has a hole there"},
      {"three faces", "OFF\n5 4 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 1 1\n3 0 1 2\n3 1 0 3\n3 0 1 4\n3 2 3 4\n",
       "edge 0-1 is shared by 3 faces (lines 8, 9 and 10)"},
  };
  for (const Malformed& m : table) {
    ForeignRead r = ReadSolidText(InputKind::Off, m.text);
    EXPECT_NE(r.error.find(m.says), std::string::npos) << m.what << ": " << r.error;
  }
  std::vector<std::string> notes;
  ForeignRead flipped = ReadOffText("OFF\n4 4 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 1 2\n3 0 1 3\n3 1 2 3\n3 2 0 3\n");
  EXPECT_TRUE(SurfaceProblem(flipped, &notes).empty());
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("along edge 0-1 (lines 7 and 8)"), std::string::npos) << notes[0];
}

TEST(InputKind, ChosenByExtensionThenByContent) {
  EXPECT_EQ(InputKindOf("a/solid.off", "anything"), InputKind::Off);
  EXPECT_EQ(InputKindOf("solid.OBJ", ""), InputKind::Obj);
  EXPECT_EQ(InputKindOf("solid.txt", "# made elsewhere\nOFF\n4 4 6\n"), InputKind::Off);
  EXPECT_EQ(InputKindOf("solid.txt", "' OFF\n{1,2,3,-1,}"), InputKind::Kelmor);
  EXPECT_EQ(InputKindOf("solid.txt", "OFF { 1,2,3,-1, }"), InputKind::Kelmor);
  EXPECT_EQ(InputKindOf("solid", "1,2,3,-1,"), InputKind::Kelmor);
}

// The text the readers make is read by the parser into the faces and colours they hold.
class ForeignInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run.model.Reset();
    run.model.ResetSegment();
    run.InputName = "cube.off";
  }
  Session session;
  TestHost host;
  kelmor::Run run{session, host};
  Model& m = run.model;
};

TEST_F(ForeignInputTest, AnOffFileBecomesTheModelsFacesNumberedFromZero) {
  ReadForeignInput(run, InputKind::Off, kCubeOff);
  EXPECT_EQ(run.InputStopped, 0);
  EXPECT_EQ(m.FaceCount, 6);
  EXPECT_EQ(m.MinVertex, 0);
  EXPECT_EQ(m.MaxVertex, 7);
  EXPECT_EQ(m.FaceSize[1], 4);
  EXPECT_EQ(m.FaceVertex(1, 2), 3);
  EXPECT_EQ(m.FaceCode[1], "Qr");
  EXPECT_EQ(m.FaceCode[4], "");
  EXPECT_TRUE(host.saw("OFF file cube.off: 2 elements of one or two vertices passed over (the first on line 18): "
                       "only faces of three or more vertices are read"));
  // Coordinates are not starting positions unless asked for.
  EXPECT_FALSE(host.saw("Reading Starting Positions"));
}

TEST_F(ForeignInputTest, TheFilesCoordinatesAreStartingPositionsWhenAskedFor) {
  const ForeignText t = ForeignKelmorText(InputKind::Off, kCubeOff, "cube.off", true);
  ASSERT_TRUE(t.error.empty()) << t.error;
  EXPECT_EQ(t.notes.size(), 1u);
  ReadInputText(run, t.text);
  EXPECT_TRUE(host.saw("Reading Starting Positions"));
  EXPECT_EQ(m.VertexX[6], 1);
  EXPECT_EQ(m.VertexY[6], 1);
  EXPECT_EQ(m.VertexZ[6], 1);
  EXPECT_EQ(m.VertexZ[3], 0);
}

TEST_F(ForeignInputTest, AFaultStopsTheRunWithItsMessageAndLimitsRaiseTheSubscriptError) {
  ReadForeignInput(run, InputKind::Off, "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n");
  EXPECT_EQ(run.InputStopped, 1);
  EXPECT_TRUE(host.saw("OFF file cube.off: line 6: vertex index '7' is not in range 0 to 2"));
  EXPECT_EQ(m.FaceCount, 0);

  // A 41-sided prism: one face too many vertices for the model.
  std::string off = "OFF\n82 43 0\n";
  for (int i = 0; i < 82; ++i) off += "0 0 0\n";
  std::string bottom = "41", top = "41";
  for (int i = 0; i < 41; ++i) {
    bottom += " " + std::to_string(40 - i);
    top += " " + std::to_string(41 + i);
    off += "4 " + std::to_string(i) + " " + std::to_string((i + 1) % 41) + " " + std::to_string(41 + (i + 1) % 41) +
           " " + std::to_string(41 + i) + "\n";
  }
  off += bottom + "\n" + top + "\n";
  try {
    ReadForeignInput(run, InputKind::Off, off);
    ADD_FAILURE() << "no error raised";
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrSubscript);
  }
}

TEST(KelmorSolid, AKelmorTextBecomesAFaceListWithStarOutlinesAndColours) {
  ForeignRead r = SolidFromKelmorText("' x\n{(0,0,1,0,1,0,)\nr1;2,3,-1,\n1,2,3,4,5,-2,\n4,5,-1,\nF*2,3,4,-1,\n}", "x.txt");
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.solid.vertexCount, 5);  // 1..5, numbered from the smallest
  ASSERT_EQ(r.solid.faceCount(), 3);
  EXPECT_EQ(r.solid.faces[0], (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(r.solid.faces[1], (std::vector<int>{1, 3, 0, 2, 4}));  // the pentagram's outline
  EXPECT_EQ(r.solid.colour[0], 'r');
  ASSERT_EQ(r.solid.coords.size(), 5u);
  EXPECT_EQ(r.solid.coords[0], (std::array<double, 3>{0, 1, 0}));  // vertex 1's starting position
  EXPECT_EQ(r.notes.size(), 3u);

  EXPECT_NE(SolidFromKelmorText("{1,2,3,-1,}{4,5,6,-1,}", "s.txt").error.find("segmented input (2 blocks)"),
            std::string::npos);
  EXPECT_EQ(SolidFromKelmorText("1,2,3,-1,", "n.txt").error, "no block of faces: the faces stand between { and }");
  EXPECT_EQ(SolidFromKelmorText("{1,2,3,-1,", "n.txt").error, "the block of faces has no closing }");
  EXPECT_EQ(SolidFromKelmorText("{1,2,3001,-1,}", "n.txt").error, LimitMessage);
}

TEST(SolidText, TextsReadBackAsTheSameSolid) {
  ForeignRead cube = ReadOffText(kCubeOff);
  ASSERT_TRUE(cube.ok());
  ForeignRead fromOff = ReadOffText(OffText(cube.solid, {"again"}));
  ASSERT_TRUE(fromOff.ok()) << fromOff.error;
  EXPECT_EQ(fromOff.solid.faces, cube.solid.faces);
  EXPECT_EQ(fromOff.solid.colour, cube.solid.colour);
  EXPECT_EQ(fromOff.solid.coords, cube.solid.coords);
  ForeignRead fromObj = ReadObjText(ObjText(cube.solid, {"again"}));
  ASSERT_TRUE(fromObj.ok()) << fromObj.error;
  EXPECT_EQ(fromObj.solid.faces, cube.solid.faces);
  EXPECT_EQ(fromObj.solid.coords, cube.solid.coords);
  ForeignRead fromText = SolidFromKelmorText(KelmorText(cube.solid, {"line\none"}, true), "c.txt");
  ASSERT_TRUE(fromText.ok()) << fromText.error;
  EXPECT_EQ(fromText.solid.faces, cube.solid.faces);
  EXPECT_EQ(fromText.solid.colour, cube.solid.colour);
  EXPECT_EQ(fromText.solid.coords, cube.solid.coords);
}

}  // namespace
}  // namespace kelmor
