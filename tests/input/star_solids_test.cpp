// The star solids of examples/stars: twelve pentagrams {5/2} each, closed surfaces, and
// starting positions that already are the solid with unit edges.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "input/parser.h"
#include "run/run.h"
#include "support/test_host.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

TEST(StarSolids, TwelvePentagramsMeetingAlongEveryEdgeTwiceWithUnitEdges) {
  struct Case {
    const char* file;
    int vertices;
    int facesPerVertex;
  } cases[] = {{"small_stellated_dodecahedron.txt", 12, 5}, {"great_stellated_dodecahedron.txt", 20, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::ifstream in(fs::path(KELMOR_SOURCE_DIR) / "examples" / "stars" / c.file);
    std::stringstream text;
    text << in.rdbuf();
    Session session;
    TestHost host;
    kelmor::Run run{session, host};
    run.model.Reset();
    run.InputName = c.file;
    ReadInputText(run, text.str());
    const Model& m = run.model;
    ASSERT_EQ(m.PolygonCount, 12);
    EXPECT_EQ(m.MinVertex, 0);
    EXPECT_EQ(m.MaxVertex, c.vertices - 1);
    std::map<std::pair<int, int>, int> edgeFaces;
    std::map<int, int> vertexFaces;
    for (int f = 1; f <= m.PolygonCount; ++f) {
      ASSERT_EQ(m.FaceSize[f], 5);
      ASSERT_EQ(m.FaceStep[f], 2);
      double cx = 0, cy = 0, cz = 0;
      for (int p = 1; p <= 5; ++p) {
        const int v = m.FaceVertex(f, p);
        ++vertexFaces[v];
        cx += m.VertexX[v] / 5, cy += m.VertexY[v] / 5, cz += m.VertexZ[v] / 5;
      }
      for (int j = 0; j < 5; ++j) {
        // The outline visits positions 2j mod 5: the sides of the pentagram.
        const int a = m.FaceVertex(f, (2 * j) % 5 + 1), b = m.FaceVertex(f, (2 * j + 2) % 5 + 1);
        ++edgeFaces[{std::min(a, b), std::max(a, b)}];
        const double length = std::hypot(m.VertexX[a] - m.VertexX[b], m.VertexY[a] - m.VertexY[b],
                                         m.VertexZ[a] - m.VertexZ[b]);
        EXPECT_NEAR(length, 1.0, 1e-12);
        // Every corner as far from the face's centre: a regular pentagram.
        const double r = std::hypot(m.VertexX[a] - cx, m.VertexY[a] - cy, m.VertexZ[a] - cz);
        EXPECT_NEAR(r, 1 / (2 * std::sin(2 * M_PI / 5)), 1e-12);
      }
    }
    EXPECT_EQ(edgeFaces.size(), 30u);
    for (const auto& [edge, faces] : edgeFaces) EXPECT_EQ(faces, 2) << edge.first << "-" << edge.second;
    for (const auto& [v, faces] : vertexFaces) EXPECT_EQ(faces, c.facesPerVertex) << "vertex " << v;
  }
}

}  // namespace
}  // namespace kelmor
