#include "input/parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/error.h"
#include "run/run.h"
#include "support/temp_folder.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

class ParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run.model.Reset();
    run.InputName = "input.txt";
    run.OutputDir = "out";
    run.OutputName = "model";
  }

  void Read(const std::string& text) { ReadInputText(run, text); }

  // The error code the read raised, 0 when it returned normally.
  int ReadCode(const std::string& text) {
    try {
      Read(text);
    } catch (const KelmorError& e) {
      return e.code();
    }
    return 0;
  }

  std::vector<int> Face(int f) {
    std::vector<int> v;
    for (int p = 1; p <= m.FaceSize[f]; ++p) v.push_back(m.FaceVertex(f, p));
    return v;
  }
  std::vector<int> Edge(int row) {
    return {m.EdgeList(row, 1), m.EdgeList(row, 2), m.EdgeList(row, 3)};
  }

  Session session;
  TestHost host;
  kelmor::Run run{session, host};
  Model& m = run.model;
};

std::string Repeat(const std::string& part, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += part;
  return s;
}

// ---- faces and the example table ----

TEST_F(ParserTest, SquareAndPentagram) {
  Read("{1,2,3,4,-1,\r\n1,2,3,4,5,-2,\r\n}");
  EXPECT_EQ(m.FaceCount, 2);
  EXPECT_EQ(m.PolygonCount, 2);
  EXPECT_EQ(Face(1), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(m.FaceStep[1], 1);
  EXPECT_EQ(Face(2), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(m.FaceStep[2], 2);
  EXPECT_EQ(m.MinVertex, 1);
  EXPECT_EQ(m.MaxVertex, 5);
  EXPECT_EQ(m.EdgeCount, 1);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ParserTest, HighlightMarkOnAnEdgeAndOnTheClosingEdge) {
  Read("{1;2,3,-1,\n4,5,6;-1,\n}");
  ASSERT_EQ(m.EdgeCount, 3);
  EXPECT_EQ(Edge(1), (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(Edge(2), (std::vector<int>{4, 6, 1}));  // 6 back to 4, smaller first
}

TEST_F(ParserTest, CylinderMarksStoreTypeSmallerVertexFirstAndSetSwitches) {
  Read("{9\\2/3,-1,}");
  ASSERT_EQ(m.EdgeCount, 3);
  EXPECT_EQ(Edge(1), (std::vector<int>{2, 9, 2}));
  EXPECT_EQ(Edge(2), (std::vector<int>{2, 3, 3}));
  EXPECT_EQ(m.CylinderMarks, 1);
  EXPECT_EQ(m.CylinderMarks2, 1);
}

TEST_F(ParserTest, EdgeOnlyFaceCountsAsDigonNotPolygon) {
  Read("{4,5,-1,1,2,3,-1,}");
  EXPECT_EQ(m.FaceCount, 2);
  EXPECT_EQ(m.DigonCount, 1);
  EXPECT_EQ(m.PolygonCount, 1);
  EXPECT_EQ(m.FaceSize[1], 2);
}

TEST_F(ParserTest, FlagsGoToTheNextVertexListedAndAccumulate) {
  Read("{F*7,1,2,-1,T7,1,C,-1,}");
  EXPECT_EQ(m.VertexFlags[7], "F*T");
  EXPECT_EQ(m.VertexFlags[1], "");
  EXPECT_EQ(m.VertexFlags[0], "C");  // "C," lists vertex 0
  EXPECT_EQ(m.CylinderMarks, 1);
  EXPECT_EQ(m.FtrFlagsSeen, 1);
}

TEST_F(ParserTest, VertexZeroIsAVertexAndStartsThePositions) {
  Read("{0,1,2,-1,(0,0,1,0,1,0,1,0,0,)}");
  EXPECT_EQ(m.MinVertex, 0);
  EXPECT_EQ(Face(1), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(m.VertexZ[0], 1);
  EXPECT_EQ(m.VertexY[1], 1);
  EXPECT_EQ(m.VertexX[2], 1);
  EXPECT_EQ(m.StartVertex, 2);  // the vertex of the last triple
  EXPECT_TRUE(m.StartPositionsRead);
  EXPECT_EQ(host.messages, std::vector<std::string>{"Reading Starting Positions"});
}

// ---- the token table ----

TEST_F(ParserTest, FaceLettersAppendInReadingOrder) {
  Read("{NnDdqsfEeB A t Oo ybagcmrwh XYZ 1,2,3,-1,}");
  EXPECT_EQ(m.FaceCode[1], "NnDdqsfEeBAftOoQyQbQaQgQcQmQrQwQhXYZ");
  EXPECT_EQ(m.FaceASeen, 1);
  EXPECT_EQ(m.FaceTSeen, 1);
  EXPECT_EQ(m.CylinderMarks, 1);
  EXPECT_EQ(m.VertexFlags[1], "O");  // "O" is a face letter and a vertex flag
}

TEST_F(ParserTest, VertexFlagLettersAndUnknownLettersDropped) {
  Read("{*FTRCVvkGuz 5,1,2,-1,}");
  EXPECT_EQ(m.VertexFlags[5], "*FTRCVv");
  EXPECT_EQ(m.FaceCode[1], "");
  EXPECT_EQ(session.AllVerticesHighlighted, 1);
}

TEST_F(ParserTest, LetterBelongsToTheFaceBeingRead) {
  Read("{1,2,y3,-1,4,5,6,-1r,}");
  EXPECT_EQ(m.FaceCode[1], "Qy");
  EXPECT_EQ(m.FaceCode[2], "Qr");  // before the number that ends the face
}

// Halves round to even, an empty number is vertex 0, letters inside a number drop out,
// and -0 is a vertex rather than a face end.
TEST_F(ParserTest, VertexNumbersFromTheirText) {
  Read("{2.5,3.5,1x2,,-0,-1,}");
  EXPECT_EQ(Face(1), (std::vector<int>{2, 4, 12, 0, 0}));
}

TEST_F(ParserTest, MarksAreClearedWithTheirFace) {
  Read("{1;2,3,-1,4,5,6,-1,}");
  EXPECT_EQ(m.EdgeCount, 2);
}

TEST_F(ParserTest, MarkAfterTheClosingNumberMarksNothingNowOrLater) {
  Read("{1,2,3,-1;4,5,6,7,-1,}");
  EXPECT_EQ(m.EdgeCount, 1);
  EXPECT_EQ(m.FaceCount, 2);
}

// ---- comments and block selection ----

TEST_F(ParserTest, CommentsRunToAControlCharacter) {
  Read("' {9,9,9,-1,}\n{1,2,3,-1, ' 4,5,6,-1,\n7,8,9,-1,'x\t10,11,12,-1,}");
  EXPECT_EQ(m.FaceCount, 3);
  EXPECT_EQ(Face(2), (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(Face(3), (std::vector<int>{10, 11, 12}));  // a tab ends the comment too
}

TEST_F(ParserTest, TextBeforeTheBlockIsNeverData) {
  Read("A 1,2,3,-1, ( P\n{4,5,6,-1,}");
  EXPECT_EQ(m.FaceCount, 1);
  EXPECT_EQ(Face(1), (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(m.FaceASeen, 0);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ParserTest, SegmentIndexSelectsTheBlockByBraceCount) {
  m.SegmentIndex = 2;
  m.SegmentCount = 2;
  Read("' { not a block\n{1,2,3,-1,}\n{4,5,6,7,-1,}");
  EXPECT_EQ(m.FaceCount, 1);
  EXPECT_EQ(Face(1), (std::vector<int>{4, 5, 6, 7}));
}

TEST_F(ParserTest, BraceInsideTheBlockOnlyCounts) {
  m.SegmentIndex = 2;
  Read("{1,2,3,-1,{4,5,6,-1,}");  // the inner "{" opens block 2
  EXPECT_EQ(m.FaceCount, 1);
  EXPECT_EQ(Face(1), (std::vector<int>{4, 5, 6}));
}

TEST_F(ParserTest, NoBlockOrTooFewBlocksRunIntoEndOfInput) {
  EXPECT_EQ(ReadCode("1,2,3,-1,"), ErrPastEnd);
  m.SegmentIndex = 3;
  EXPECT_EQ(ReadCode("{1,2,3,-1,}{4,5,6,-1,}"), ErrPastEnd);
  EXPECT_EQ(m.FaceCount, 0);
  EXPECT_EQ(m.MaxVertex, -1);
}

TEST_F(ParserTest, UnclosedBlockRaisesPastEndWithFacesReadSoFar) {
  EXPECT_EQ(ReadCode("{1,2,3,-1,4,5"), ErrPastEnd);
  EXPECT_EQ(m.FaceVertex(1, 3), 3);
  EXPECT_EQ(m.FaceCount, 0);  // counts are set only by "}"
}

TEST_F(ParserTest, ClosingNumberDirectlyBeforeBraceNeverEndsTheFace) {
  Read("{1,2,3,-1,4,5,6,-1}");
  EXPECT_EQ(m.FaceCount, 1);
}

// ---- failures with their own message ----

TEST_F(ParserTest, StarStepTooLargeStopsWithMissingCommaMessage) {
  for (const char* text : {"{1,2,3,-1,1,2,3,-4,}", "{1,2,3,4,5,6,7,8,9,10,11,12,13,-13,}",
                           "{7,8,9,-1,1,2,3,-1\n4,5,6,-1,}"}) {
    SCOPED_TRACE(text);
    SetUp();
    host.clear();
    Read(text);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Input error: Possible missing comma at end of line"});
    EXPECT_EQ(m.FaceCount, 0);  // counts not set
  }
  EXPECT_EQ(Face(1), (std::vector<int>{7, 8, 9}));  // faces before stay
}

TEST_F(ParserTest, EmptyFaceFailsTheStepCheck) {
  Read("{-1,}");
  EXPECT_EQ(host.lastMessage(), "Input error: Possible missing comma at end of line");
}

TEST_F(ParserTest, StepTwelveIsAdmitted) {
  Read("{" + Repeat("1,", 25) + "-12,}");
  EXPECT_EQ(m.FaceStep[1], 12);
  EXPECT_TRUE(host.messages.empty());
}

// ---- starting positions ----

TEST_F(ParserTest, PartialTripleAndTrailingTextBeforeCloseAreDiscarded) {
  Read("{(1.5,-2,3e1,4,5)7,8,9,-1,}");
  EXPECT_EQ(m.VertexX[0], 1.5);
  EXPECT_EQ(m.VertexY[0], -2);
  EXPECT_EQ(m.VertexZ[0], 30);
  EXPECT_EQ(m.VertexX[1], 4);
  EXPECT_EQ(m.VertexY[1], 0);  // "5" had no closing ","
  EXPECT_EQ(m.StartVertex, 1);
  EXPECT_EQ(Face(1), (std::vector<int>{7, 8, 9}));  // not 57
}

TEST_F(ParserTest, SecondOpeningRestartsAtVertexZero) {
  Read("{(1,1,1,2,2,2,)(9,9,9,)1,2,3,-1,}");
  EXPECT_EQ(host.count("Reading Starting Positions"), 2);
  EXPECT_EQ(m.VertexX[0], 9);
  EXPECT_EQ(m.VertexX[1], 2);
  EXPECT_EQ(m.StartVertex, 0);
}

TEST_F(ParserTest, EndOfInputInsideStartingPositions) {
  EXPECT_EQ(ReadCode("{1,2,3,-1,(0,0,"), 0);
  EXPECT_EQ(host.lastMessage(), "Unexpected End of File in input, check for closing brackets");
  EXPECT_EQ(m.FaceCount, 0);
}

TEST_F(ParserTest, CommentsInsideStartingPositions) {
  Read("{(1,2,3, ' x=9,\n4,5,6,)1,2,3,-1,}");
  EXPECT_EQ(m.VertexX[1], 4);
  EXPECT_EQ(m.StartVertex, 1);
}

// ---- limits ----

TEST_F(ParserTest, FortyVerticesFitTheFortyFirstIsOutOfRange) {
  std::string forty;
  for (int v = 0; v < 40; ++v) forty += std::to_string(v) + ",";
  Read("{" + forty + "-1,}");
  EXPECT_EQ(m.FaceSize[1], 40);
  EXPECT_EQ(ReadCode("{" + forty + "40,-1,}"), ErrSubscript);
}

TEST_F(ParserTest, VertexNumberLimits) {
  Read("{3000,1,2,-1,}");
  EXPECT_EQ(m.MaxVertex, 3000);
  EXPECT_EQ(ReadCode("{3001,1,2,-1,}"), ErrSubscript);
  EXPECT_EQ(ReadCode("{32768,1,2,-1,}"), ErrOverflow);
  EXPECT_EQ(ReadCode("{1,2,3,-40000,}"), ErrOverflow);
  EXPECT_EQ(ReadCode("{(1e999,)}"), ErrOverflow);  // in the face list "e" is a face letter
}

TEST_F(ParserTest, FaceNumberLimit) {
  Read("{" + Repeat("1,2,3,-1,", MaxItems) + "}");
  EXPECT_EQ(m.FaceCount, MaxItems);
  SetUp();
  EXPECT_EQ(ReadCode("{" + Repeat("1,2,3,-1,", MaxItems) + "1,2,3,-1,}"), ErrSubscript);
  SetUp();
  EXPECT_EQ(ReadCode("{" + Repeat("1,2,3,-1,", MaxItems) + "A}"), ErrSubscript);
}

TEST_F(ParserTest, MarkedEdgeRowLimit) {
  std::string face;  // 40 marked edges
  for (int v = 0; v < 40; ++v) face += std::to_string(v) + ";";
  face += "-1,";
  const std::string full = Repeat(face, MaxEdges / 40);
  Read("{" + full + "}");
  EXPECT_EQ(m.EdgeCount, MaxEdges + 1);
  SetUp();
  EXPECT_EQ(ReadCode("{" + full + "1;2,3,-1,}"), ErrSubscript);
}

TEST_F(ParserTest, StartingPositionBeyondVertexLimit) {
  EXPECT_EQ(ReadCode("{(" + Repeat("0,", 3 * (MaxItems + 1)) + ")}"), 0);
  EXPECT_EQ(ReadCode("{(" + Repeat("0,", 3 * (MaxItems + 1) + 1) + ")}"), ErrSubscript);
}

// ---- debug lines ----

class ParserDebugTest : public ParserTest {
 protected:
  void SetUp() override {
    ParserTest::SetUp();
    run.debug.Create((folder_ / "model_debug.txt").string());
    run.DebugOn = 1;
  }

  // The lines after the three header lines.
  std::vector<std::string> Lines() {
    std::ifstream in(run.debug.path(), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
      EXPECT_TRUE(!line.empty() && line.back() == '\r');
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines.size() > 3 ? std::vector<std::string>(lines.begin() + 3, lines.end())
                            : std::vector<std::string>{};
  }

  testing::TempFolder folder_;
};

TEST_F(ParserDebugTest, VertexFlagAndMarkedEdgeLines) {
  Read("{F*12;2\\3/-1,T12,1,2,-1,}");
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "Vertex: 12  Flags:F*",
                         "Highlight edge identified between vertices: 2  and  12 ",
                         "Cylinder edge identified between vertices: 2  and  3 ",
                         "Cylinder type 2 edge identified between vertices: 3  and  12 ",
                         "Vertex: 12  Flags:F*T",
                     }));
}

TEST_F(ParserDebugTest, NoLinesWhileDebugIsOff) {
  run.DebugOn = 0;
  Read("{F1;2,3,-1,}");
  EXPECT_TRUE(Lines().empty());
}

// ---- realm blocks ----

TEST_F(ParserTest, PointRealmBlockKeepsPendingFlagsAndAsksForTheNextSegment) {
  m.SegmentCount = 2;
  Read("{P 1,2,3,-1, F*}{4,5,6,-1,}");
  EXPECT_EQ(m.SegmentRealmMode[1], 1);
  EXPECT_EQ(m.SegmentFlags[1], "F*");
  EXPECT_EQ(m.RealmMark[1], 0);
  EXPECT_EQ(m.RealmSegment[1], 1);
  EXPECT_EQ(m.RealmCount, 2);
  EXPECT_EQ(m.SegmentRealmEnd[1], 2);
  EXPECT_EQ(m.SegmentIndex, 2);
  EXPECT_EQ(m.RealmMode, 0);
  EXPECT_EQ(run.NextSegmentPending, 1);
  EXPECT_EQ(m.FaceCount, 0);  // a realm block sets no counts
  EXPECT_EQ(run.NoRelaxation, 0);
}

TEST_F(ParserTest, LineRealmAlongAnAxis) {
  m.SegmentCount = 3;
  m.RealmCount = 5;
  Read("{LY}");
  EXPECT_EQ(m.SegmentRealmMode[1], 4);
  EXPECT_EQ(m.RealmMark[5], 0);
  EXPECT_EQ(m.RealmMark[6], 1);
  EXPECT_EQ(m.RealmSegment[6], 1);
  EXPECT_EQ(m.RealmPoint(5, 2), -0.5);
  EXPECT_EQ(m.RealmPoint(6, 2), 0.5);
  EXPECT_EQ(m.RealmPoint(5, 1), 0.0);
  EXPECT_EQ(m.SegmentRealmEnd[1], 5);
  EXPECT_EQ(m.RealmCount, 7);
  EXPECT_EQ(run.NextSegmentPending, 1);
}

TEST_F(ParserTest, PlainLineRealmAndAxisLettersOutsideALine) {
  m.SegmentCount = 2;
  Read("{X L 1,2,3,-1,}");
  EXPECT_EQ(m.SegmentRealmMode[1], 2);
  EXPECT_EQ(m.FaceCode[1], "X");
  EXPECT_EQ(m.RealmPoint(1, 1), 0.0);
  EXPECT_EQ(m.RealmPoint(2, 3), 0.0);
}

TEST_F(ParserTest, PlainBlockRecordsModeZeroAndDropsPendingFlags) {
  m.SegmentIndex = 2;
  m.SegmentCount = 2;
  Read("{P}{1,2,3,-1,F}");
  EXPECT_EQ(m.SegmentRealmMode[2], 0);
  EXPECT_EQ(m.SegmentFlags[2], "");
  EXPECT_EQ(m.FaceCount, 1);
  EXPECT_EQ(m.SegmentIndex, 2);
  EXPECT_EQ(run.NextSegmentPending, 0);
}

// ---- inter-realm faces ----

TEST_F(ParserTest, LastRealmSegmentGoesOnToTheInterRealmSection) {
  m.RealmFaceIndex = 0;
  Read("{P}\n[ 1,2,3,4,-2,5,6,7,8,-1, s r 9,10,-1,]");
  EXPECT_EQ(run.NoRelaxation, 1);
  EXPECT_EQ(m.RealmFaceIndex, 3);
  for (int p = 1; p <= 4; ++p) {
    EXPECT_EQ(m.RealmFace(1, p), p + 4);
    EXPECT_EQ(m.RealmFaceFrom(1, p), p);
  }
  EXPECT_EQ(m.RealmCode[2], "sQr");
  EXPECT_EQ(m.RealmFace(2, 1), 9);
  EXPECT_EQ(m.RealmFaceFrom(2, 2), 2);  // the saved group stays until the next -2
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ParserTest, AShorterGroupKeepsTheLaterEntriesOfTheGroupBeforeIt) {
  run.NextSegmentEntry = 1;
  Read("[1,1,2,3,-2, 1,1,-2, 4,5,0,1,-1,]");
  const int from[] = {1, 1, 2, 3};
  const int corner[] = {4, 5, 0, 1};
  for (int p = 1; p <= 4; ++p) {
    EXPECT_EQ(m.RealmFaceFrom(1, p), from[p - 1]) << p;
    EXPECT_EQ(m.RealmFace(1, p), corner[p - 1]) << p;
  }
  EXPECT_EQ(m.RealmFaceSize[1], 4);
}

TEST_F(ParserTest, InterRealmEntryReadsOnlyTheSection) {
  run.NextSegmentEntry = 1;
  session.special.SpecialOption[0] = true;  // the shape choice applies to normal entry only
  Read("{1,2,3,-1,}[1;2,x5,-3,3\\,-1,]");
  EXPECT_EQ(m.MaxVertex, -1);
  EXPECT_EQ(m.FaceVertex(1, 1), 0);
  EXPECT_EQ(m.RealmFace(1, 1), 1);  // ";" is part of the number here
  EXPECT_EQ(m.RealmFace(1, 2), 0);  // "x5" reads 0
  EXPECT_EQ(m.RealmFace(1, 3), 3);  // -3 ignored
  EXPECT_EQ(m.RealmFaceIndex, 2);
  EXPECT_EQ(run.NoRelaxation, 1);
}

TEST_F(ParserTest, BracketInsideABlockStartsTheSection) {
  Read("{1,2,3,-1,[7,-1,]}");
  EXPECT_EQ(m.RealmFace(1, 1), 7);
  EXPECT_EQ(run.NoRelaxation, 1);
  EXPECT_EQ(m.FaceCount, 0);
}

TEST_F(ParserTest, FifthRealmVertexStopsReading) {
  run.NextSegmentEntry = 1;
  Read("[1,2,3,4,5,-1,]");
  EXPECT_EQ(host.messages,
            std::vector<std::string>{"Input file error: Realm face can have at most four vertices"});
  EXPECT_EQ(run.NoRelaxation, 0);
}

TEST_F(ParserTest, ShortRealmFaceLeavesTheRestOfItsRow) {
  run.NextSegmentEntry = 1;
  m.RealmFace(1, 3) = 42;
  Read("[1,2,-1,]");
  EXPECT_EQ(m.RealmFace(1, 3), 42);
}

TEST_F(ParserTest, EndOfFileInTheSectionNamesTheVrmlFileWhenTheLastSegmentHadNoRealm) {
  run.NextSegmentEntry = 1;
  Read("{1,2,3,-1,}[1,2,3,-1,");
  EXPECT_EQ(host.messages, std::vector<std::string>{"W05: " + (fs::path("out") / "model.wrl").string() +
                                                    "  Segmented VRML file written"});
  host.clear();
  m.SegmentRealmMode[1] = 1;
  Read("{1,2,3,-1,}");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ParserTest, RealmNumbersAreSixteenBit) {
  run.NextSegmentEntry = 1;
  EXPECT_EQ(ReadCode("[40000,-1,]"), ErrOverflow);
}

// ---- entry and files ----

TEST_F(ParserTest, ShapeChoiceSkipsTheFile) {
  session.special.SpecialOption[2] = true;
  session.special.Specialnd = "5";
  run.InputName = "/no/such/folder/input.txt";
  EXPECT_NO_THROW(ReadInput(run));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ParserTest, MissingFileRaisesPathNotFoundNamingIt) {
  run.InputName = (fs::temp_directory_path() / "kelmor_no_such_input.txt").string();
  try {
    ReadInput(run);
    FAIL();
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrPathNotFound);
  }
  EXPECT_EQ(run.CurrentFileName, run.InputName);
}

// Every example solid reads without a message, with the vertex and face counts its
// header comment gives ("' V 8  E 12  F 6").
TEST_F(ParserTest, ExampleSolidsMatchTheirHeaders) {
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(KELMOR_SOURCE_DIR) / "examples")) {
    if (entry.path().extension() != ".txt") continue;
    if (ScanInput(entry.path().string()).count > 1) continue;  // segments, not one solid
    SCOPED_TRACE(entry.path().string());
    SetUp();
    host.clear();
    run.InputName = entry.path().string();
    ReadInput(run);
    std::ifstream in(entry.path());
    std::string line, word;
    int vertices = -1, faces = -1;
    while (std::getline(in, line) && (vertices < 0 || faces < 0)) {
      std::istringstream words(line);
      while (words >> word) {
        if (word == "V") words >> vertices;
        if (word == "F") words >> faces;
      }
    }
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(m.MaxVertex - m.MinVertex + 1, vertices);
    EXPECT_EQ(m.FaceCount, faces);
    EXPECT_EQ(m.PolygonCount, faces);
    ++seen;
  }
  EXPECT_EQ(seen, 18);
}

}  // namespace
}  // namespace kelmor
