// The example solids through the parser and every topology step, checked against the
// counts their headers give.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "input/parser.h"
#include "support/file_text.h"
#include "topology/face_rows.h"
#include "topology/topology.h"
#include "topology_rig.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

// Parses the input text into a fresh rig and runs the topology steps of a pass.
void Topology(TopologyRig& rig, const std::string& text) {
  Run& run = rig.run;
  run.model.Reset();
  run.model.ResetSegment();
  run.InputName = "input.txt";
  ReadInputText(run, text);
  CollapseStarPolygons(run);
  RemoveUnusedVertices(run);
  TidyFaces(run);
  BuildEdgeTable(run);
  BuildAdjacency(run);
  run.infl.InflateMode = 1;
  BuildHopDistances(run);
}

TEST(ExampleSolids, CountsMatchTheirHeadersAndHopsAreWhole) {
  int solids = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(KELMOR_SOURCE_DIR) / "examples")) {
    if (entry.path().extension() != ".txt") continue;
    if (ScanInput(entry.path().string()).count > 1) continue;  // segments, not one solid
    const std::string text = ReadAll(entry.path());
    std::smatch counts;
    ASSERT_TRUE(std::regex_search(text, counts, std::regex(R"(V (\d+)\s+E (\d+)\s+F (\d+))")))
        << entry.path();
    TopologyRig rig({});
    rig.host.defaultYesNo = false;
    Topology(rig, text);
    SCOPED_TRACE(entry.path().filename().string());
    const Model& m = rig.run.model;
    const EdgeTable& t = rig.run.edges;
    EXPECT_EQ(m.MaxVertex - m.MinVertex + 1, std::stoi(counts[1]));
    EXPECT_EQ(t.EdgeTotal, std::stoi(counts[2]));
    EXPECT_EQ(m.PolygonCount, std::stoi(counts[3]));
    // Every table holds the model's rows only: a cube's hop table is 8 x 8.
    const size_t vertices = static_cast<size_t>(m.MaxVertex - m.MinVertex + 1);
    EXPECT_EQ(rig.run.infl.HopDistance.size(), vertices * vertices);
    EXPECT_LE(m.FaceVertex.heldRows(), LastFaceRow(m) + 1);
    EXPECT_LE(m.FaceCode.heldRows(), LastFaceRow(m) + 1);
    EXPECT_LE(m.VertexFlags.heldRows(), m.MaxVertex + 1);
    EXPECT_LE(t.Neighbour.heldRows(), m.MaxVertex + 1);
    EXPECT_LE(t.EdgeEnds.heldRows(), t.EdgeTotal + 2);
    EXPECT_LE(m.EdgeList.heldRows(), m.EdgeCount + 1);
    int degrees = 0;
    for (int v = m.MinVertex; v <= m.MaxVertex; ++v) degrees += t.VertexDegree[v];
    EXPECT_EQ(degrees, 2 * t.EdgeTotal);
    for (int e = 1; e <= t.EdgeTotal; ++e) {
      EXPECT_NE(t.EdgeFaces(e, 2), 0) << "edge " << e << " has one face";
      EXPECT_EQ(t.EdgeClass[e], 1);
    }
    const InflationState& in = rig.run.infl;
    for (int a = m.MinVertex; a <= m.MaxVertex; ++a) {
      EXPECT_EQ(in.Hop(a, a), 2.0f);
      for (int b = m.MinVertex; b <= m.MaxVertex; ++b) {
        float h = in.Hop(a, b);
        EXPECT_EQ(h, in.Hop(b, a));
        if (a != b && (h < 1 || h != std::floor(h))) ADD_FAILURE() << a << "," << b << ": " << h;
      }
    }
    ++solids;
  }
  EXPECT_EQ(solids, 18);
}

TEST(ExampleSolids, ParsedBandsAreReadFromTheRowsAfterThePolygons) {
  TopologyRig rig({});
  rig.DebugOn();
  rig.run.edges.BandLength = 2.5;
  Topology(rig,
           "{\n1,5,4,0,-1,\n2,0,4,6,-1,\n3,1,0,2,-1,\n5,1,3,7,-1,\n6,4,5,7,-1,\n7,3,2,6,-1,\n"
           "0,7,-1,\n1,6,-1,\n}\n");
  EXPECT_EQ(rig.run.model.PolygonCount, 6);
  EXPECT_EQ(rig.run.model.DigonCount, 2);
  EXPECT_EQ(rig.run.edges.EdgeTotal, 12);
  EXPECT_EQ(rig.DebugLinesStarting("Band found"),
            (std::vector<std::string>{"Band found between vertices  0  and  7 ",
                                      "Band found between vertices  1  and  6 "}));
  EXPECT_EQ(rig.run.infl.Hop(0, 7), 2.5f);
  EXPECT_EQ(rig.run.infl.Hop(0, 6), 2.0f);  // still the face diagonal
}

}  // namespace
}  // namespace kelmor::testing
