// The segment file and the realm files: one colour table, a coordinate set per segment,
// the placement of each segment, realm rows, the 4OFF layout and W02.
#include "output/segment_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "files/private_file.h"
#include "output/realm_file.h"
#include "output/writer.h"
#include "output_rig.h"
#include "support/file_text.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& line) {
  return text.find("\r\n" + line + "\r\n") != std::string::npos;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The hand-placed unit cube written as every segment of a segmented input.
struct SegmentRig : OutputRig {
  explicit SegmentRig(int segments, std::vector<std::string> codes = {})
      : OutputRig(Cube(0, codes), "model") {
    PlaceCube(*this);
    BuildEdges();
    run.model.SegmentCount = segments;
    fs::path dir = Folder();
    run.InputName = (dir / "model.txt").string();
    std::ofstream(run.InputName) << "{}{}{}{}{}";
  }
  // One write of the run, as the loop's write rule makes it.
  void WriteSegment() {
    WriteOutputFiles(run);
    run.NextSegmentPending = 0;
  }
  // A file as written so far: the segment file stays under its temporary name until the
  // last segment is done.
  std::string File(const char* name = "model.wrl") {
    if (run.SegmentFileBuilt && run.SegmentFileBuilt->target().filename() == name)
      return ReadAll(run.SegmentFileBuilt->temporary());
    return ReadAll(fs::path(run.OutputDir) / name);
  }
};

TEST(SegmentFile, ThreeSegmentsShareOneColourTableAndArePlacedByTheirOptions) {
  SegmentRig rig(3);
  kelmor::Run& run = rig.run;
  run.SegmentEdgeLength[2] = 2;
  run.SegmentOffset[1][2] = 1, run.SegmentOffset[2][2] = -2, run.SegmentOffset[3][2] = 0.5;
  rig.session.options.FlipX[2] = 1;

  rig.WriteSegment();
  EXPECT_EQ(run.model.SegmentIndex, 2);
  WriteOutputFiles(run);
  EXPECT_EQ(run.NextSegmentPending, 1);
  run.NextSegmentPending = 0;
  rig.WriteSegment();
  EXPECT_EQ(run.model.SegmentIndex, 4);
  EXPECT_EQ(run.NextSegmentPending, 0);
  EXPECT_EQ(rig.host.messages,
            std::vector<std::string>{"W05: " + (fs::path(run.OutputDir) / "model.wrl").string() +
                                     "  Segmented VRML file written"});

  std::string text = rig.File();
  EXPECT_EQ(Count(text, "#VRML V2.0 utf8"), 1);
  EXPECT_EQ(Count(text, "      color DEF COL Color{"), 1);
  EXPECT_EQ(Count(text, "      color USE COL"), 2);
  EXPECT_EQ(Count(text, "Dummy sphere"), 1);
  size_t c1 = text.find("    coord DEF C1 Coordinate{"),
         c2 = text.find("    coord DEF C2 Coordinate{"),
         c3 = text.find("    coord DEF C3 Coordinate{");
  ASSERT_TRUE(c1 != std::string::npos && c2 != std::string::npos && c3 != std::string::npos);
  EXPECT_LT(c1, c2);
  EXPECT_LT(c2, c3);
  // Segment 1 as relaxed; segment 2 doubled, x flipped, moved by (1, -2, 0.5).
  EXPECT_LT(text.find("          -0.5 -0.5 -0.5,\r\n", c1), c2);
  std::string second = text.substr(c2, c3 - c2);
  EXPECT_TRUE(Has(second, "          2.0 -3.0 -0.5,")) << second;  // vertex 0 at (-.5, -.5, -.5)
  EXPECT_TRUE(Has(second, "          0.0 -1.0 1.5,")) << second;   // vertex 6 at (.5, .5, .5)
  // Colour by segment: every face of segment s takes entry 15 + s.
  EXPECT_NE(second.find("               17 , 17 , 17 , 17 , 17 , 17 , \r\n"), std::string::npos);

  // The realm rows and the 4OFF face lines count the vertices of all segments.
  EXPECT_EQ(run.model.RealmCount, 25);
  EXPECT_EQ(run.model.RealmPoint(9, 1), 2.0);
  EXPECT_EQ(run.model.RealmPoint(9, 2), -3.0);
  ASSERT_EQ(run.SegmentOffFaces.size(), 18u);
  EXPECT_EQ(run.SegmentOffFaces[6].substr(0, 18), " 4  8  11  10  9  ");
}

TEST(SegmentFile, ColourByFaceTypeKeepsTheFaceColours) {
  SegmentRig rig(2);
  rig.session.options.SegColour = 1;
  rig.WriteSegment();
  EXPECT_NE(rig.File().find("               4 , 4 , 4 , 4 , 4 , 4 , \r\n"), std::string::npos);
}

TEST(SegmentFile, ATransparentSegmentIsDrawnWholeAtTheTransparencyLevel) {
  for (int trans : {0, 1}) {
    SegmentRig rig(2, {"ft"});
    rig.run.model.FaceTSeen = 1;
    rig.session.options.SegTrans[1] = trans;
    rig.WriteSegment();
    std::string text = rig.File();
    // The face shape ends with the transparency line only for a transparent segment, which
    // then needs no shape for its faces coded "t".
    size_t look = text.find("    appearance Appearance {", text.find("coord DEF C1"));
    std::string appearance = text.substr(look, text.find("  }\r\n", look) - look);
    EXPECT_EQ(Has(appearance, "        transparency 0.50"), trans == 1) << trans;
    EXPECT_EQ(Count(text, "DEF TRANS"), trans == 1 ? 0 : 1) << trans;
  }
}

TEST(SegmentFile, RealmRowsOfTheSegmentBeingWrittenAreReplaced) {
  SegmentRig rig(3);
  Model& m = rig.run.model;
  EXPECT_FALSE(SegmentFileStarted(m, 1));
  // Rows recorded for segment 2 before its topology changed: ten of them.
  for (int row = 1; row <= 18; ++row) m.RealmSegment[row] = row <= 8 ? 1 : 2;
  m.RealmCount = 19;
  m.SegmentIndex = 2;
  EXPECT_TRUE(SegmentFileStarted(m, 2));
  EXPECT_EQ(RecordRealmRows(rig.run), 9);
  EXPECT_EQ(m.RealmCount, 17);
  EXPECT_EQ(RealmRow(m, 2, 7), 16);
  EXPECT_EQ(RealmRow(m, 2, 8), 0);
  // A realm before it leaves the file unstarted.
  m.SegmentRealmMode[1] = 1;
  EXPECT_FALSE(SegmentFileStarted(m, 2));
}

// A cube (segment 1, rows 1..8), a point realm (row 9) and a line realm along x (rows 10,
// 11) with edge length 3, flipped and moved, and three inter-realm faces.
struct RealmRig : SegmentRig {
  RealmRig() : SegmentRig(3) {
    Model& m = run.model;
    run.SegmentEdgeLength[3] = 3;
    run.SegmentOffset[2][3] = 1;
    session.options.FlipX[3] = 1;
    session.prefs.set("rtrn", "0");
    WriteSegment();
    m.SegmentRealmMode[2] = 1;
    m.SegmentRealmMode[3] = 3;
    Anchor(9, 2, 0, 0.0);
    Anchor(10, 3, 0, -0.5);
    Anchor(11, 3, 1, 0.5);
    m.RealmCount = 12;
    Link(1, {1, 1, 2}, {0, 1, 0}, "");
    Link(2, {1, 1, 3, 3}, {6, 7, 1, 0}, "sQr");
    Link(3, {2, 3}, {0, 0}, "");
    m.RealmFaceIndex = 4;
    m.SegmentIndex = 4;
    run.RealmSectionClosed = 1;
  }
  void Anchor(int row, int segment, int mark, double x) {
    Model& m = run.model;
    m.RealmSegment[row] = segment;
    m.RealmMark[row] = mark;
    m.RealmPoint(row, 1) = x;
  }
  void Link(int f, std::vector<int> segments, std::vector<int> vertices, std::string code) {
    Model& m = run.model;
    for (size_t p = 0; p < segments.size(); ++p) {
      m.RealmFaceFrom(f, static_cast<long>(p) + 1) = segments[p];
      m.RealmFace(f, static_cast<long>(p) + 1) = vertices[p];
    }
    m.RealmFaceSize[f] = static_cast<int>(segments.size());
    m.RealmCode[f] = std::move(code);
  }
};

TEST(RealmFiles, FourOffListsEveryRealmVertexWithItsRealmAsFourthCoordinate) {
  RealmRig rig;
  WriteOutputFiles(rig.run);
  EXPECT_EQ(rig.run.RealmSectionClosed, 0);
  EXPECT_EQ(rig.host.messages, std::vector<std::string>{"W02: model segmented VRML file written"});

  std::string off = rig.File("model.off");
  EXPECT_EQ(off.rfind("4OFF\r\n", 0), 0u);
  EXPECT_TRUE(Has(off, "# Vertices Faces Edges Cells"));
  EXPECT_TRUE(Has(off, " 11  6 0 0"));
  EXPECT_TRUE(Has(off, "-0.5 -0.5 -0.5 0.0"));
  EXPECT_TRUE(Has(off, "0.0 0.0 0.0 1.0"));
  // The line realm: doubled to 3, flipped; its offset is left to the three-dimensional view.
  EXPECT_TRUE(Has(off, "1.5 0.0 0.0 2.0"));
  EXPECT_TRUE(Has(off, "-1.5 0.0 0.0 2.0"));
  EXPECT_TRUE(Has(off, " 4  0  3  2  1   0 0 255")) << off;  // cube faces in segment 1's colour
  EXPECT_TRUE(Has(off, " 3  0  1  8  255 0 0"));
  EXPECT_TRUE(Has(off, " 4  6  7  10  9  255 0 0"));
  EXPECT_TRUE(Has(off, " 2  8  9  255 0 0"));
  EXPECT_NE(off.find("\r\n#\r\n# END\r\n"), std::string::npos);
}

TEST(RealmFiles, RealmShapesFollowTheSegmentsOnOneCoordinateSet) {
  RealmRig rig;
  WriteOutputFiles(rig.run);
  std::string text = rig.File();
  size_t cseg = text.find("    coord DEF CSEG Coordinate{");
  ASSERT_NE(cseg, std::string::npos);
  EXPECT_LT(text.find("    coord DEF C1 Coordinate{"), cseg);
  EXPECT_EQ(Count(text, "color DEF COL"), 1);
  EXPECT_EQ(Count(text, "    coord USE CSEG"), 1);  // the line set; faces are in one shape
  std::string realm = text.substr(cseg);
  EXPECT_TRUE(Has(realm, "          1.5 1.0 0.0,")) << realm;  // line realm anchor, placed
  EXPECT_TRUE(Has(realm, "      0 , 1 , 8 ,-1,"));
  EXPECT_TRUE(Has(realm, "      6 , 7 , 10 , 9 ,-1,"));
  // Without inter-realm transparency every face is solid; "Qr" colours its face red.
  EXPECT_TRUE(Has(realm, "               1 , 21 , "));
  EXPECT_EQ(Count(realm, "transparency"), 0);
  EXPECT_TRUE(Has(realm, "      8 , 9 ,-1,"));   // the two-corner link
  EXPECT_TRUE(Has(realm, "      9 , 10 ,-1,"));  // the line realm
}

TEST(RealmFiles, InterRealmTransparencyAndDebugLines) {
  RealmRig rig;
  rig.session.prefs.set("rtrn", "1");
  rig.run.debug.Create((fs::path(rig.run.OutputDir) / "model_debug.txt").string());
  WriteOutputFiles(rig.run);
  std::string realm = rig.File().substr(rig.File().find("CSEG"));
  EXPECT_EQ(Count(realm, "        transparency 0.50"), 1);  // the face not coded "s"
  EXPECT_EQ(Count(realm, "    coord USE CSEG"), 2);
  std::string debug = rig.File("model_debug.txt");
  EXPECT_TRUE(Has(debug, "Inter-realm Link:  1  Vertices: 1  2  9 "));
  EXPECT_TRUE(Has(debug, "Inter-realm Link:  2  Vertices: 7  8  11  10 "));
}

TEST(RealmFiles, AFaceWithoutASegmentGroupIsReportedAndLeftOut) {
  RealmRig rig;
  rig.Link(4, {0, 0, 0}, {1, 2, 3}, "");
  rig.Link(5, {1, 1, 1}, {0, 1, 9}, "");
  rig.run.model.RealmFaceIndex = 6;
  WriteOutputFiles(rig.run);
  EXPECT_EQ(rig.host.messages,
            (std::vector<std::string>{
                "Input file error: Inter-realm face 4 names vertex 1 of segment 0, which has no "
                "such vertex",
                "W02: model segmented VRML file written"}));
  EXPECT_EQ(Count(rig.File("model.off"), "255 0 0"), 3);
}

}  // namespace
}  // namespace kelmor::testing
