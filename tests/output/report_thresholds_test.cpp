#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "output/report.h"
#include "output_rig.h"

// The report's bounds and formulas, each met from both sides.
namespace kelmor::testing {
namespace {

std::string Report(OutputRig& rig) {
  return rig.Text([](OutputCall& call, std::ostream& os) { WriteReport(call, os); });
}

// SE is the largest absolute deviation above 1e-10, compressions counted as much as
// elongations.
TEST(ReportThresholds, LargestSingleEdgeDistortionEitherWay) {
  struct Case {
    const char* what;
    std::vector<double> devs;
    double se;
  } cases[] = {{"compression largest", {0.2, -0.3, 0.1}, 0.3},
               {"elongation largest", {-0.2, 0.3}, 0.3},
               {"compression last", {0.05, -0.01, -0.07}, 0.07},
               {"just above the floor", {-1.1e-10}, 1.1e-10},
               {"at the floor", {1e-10, -1e-10}, 0},
               {"none", {0, 0}, 0}};
  for (const Case& c : cases) {
    OutputRig rig(Cube());
    rig.run.edges.EdgeTotal = static_cast<int>(c.devs.size());
    for (size_t e = 0; e < c.devs.size(); ++e) rig.run.edges.EdgeDev[e + 1] = c.devs[e];
    EXPECT_EQ(MaxEdgeDistortion(rig.run), c.se) << c.what;
  }
}

// Edge lines need E and the edge's own deviation above 1e-10; side lines need P and the
// face's deformation above 1e-10.
TEST(ReportThresholds, EdgeAndSideLinesStartAboveOneTenBillionth) {
  struct Case {
    double total, own;
    bool listed;
  } cases[] = {{1.1e-10, 1.1e-10, true}, {1.1e-10, 0.9e-10, false}, {0.9e-10, 0.9e-10, false}, {1, -1.1e-10, true}};
  for (const Case& c : cases) {
    OutputRig rig(Cube());
    PlaceCube(rig);
    rig.BuildEdges();
    rig.run.edges.EdgeDev[3] = c.own;
    rig.run.relax.EdgeDeform = c.total;
    rig.run.relax.PolyDeform = c.total;
    rig.run.relax.FaceDeform[2] = c.own;
    const std::string text = Report(rig);
    EXPECT_EQ(text.find("# Edge : 3 ") != std::string::npos, c.listed) << c.total << " " << c.own << "\n" << text;
    EXPECT_EQ(text.find("# side : 2 ") != std::string::npos, c.listed && c.own > 0) << c.total << " " << c.own;
    EXPECT_EQ(text.find("Compression") != std::string::npos, c.listed && c.own < 0);
  }
}

// Rhombus line: d = |A1 - A3|; 2 or more reads as 0, above √2 it is the other diagonal.
TEST(ReportThresholds, RhombusDiagonalBounds) {
  struct Case {
    double d;
    const char* text;
  } cases[] = {{1.0, "acute angle: 1.0472 radians, 60.0 degrees."},
               {1.41, "acute angle: 1.5648 radians, 89.659 degrees."},
               {1.42, "acute angle: 1.5626 radians, 89.53 degrees."},
               {1.99, "acute angle: 0.2001 radians, 11.464 degrees."},
               {2.0, "acute angle: 0.0 radians, 0.0 degrees."},
               {2.5, "acute angle: 0.0 radians, 0.0 degrees."}};
  for (const Case& c : cases) {
    OutputRig rig({Face{{0, 1, 2, 3}, 1, "D"}});
    rig.Place(0, c.d / 2, 0, 0), rig.Place(2, -c.d / 2, 0, 0);
    EXPECT_EQ(RhombusAngleText(rig.run, 1), c.text) << c.d;
  }
}

// A distorted hexagon of unit edges with apex angles a at its first and fourth corners
// and b = π − a/2 at the others; its pair diagonal h gives a = 2·asin(√(h² − 1)/2).
void PlaceDistortedHexagon(OutputRig& rig, double a) {
  const double inner[6] = {a, Pi - a / 2, Pi - a / 2, a, Pi - a / 2, Pi - a / 2};
  double x = 0, y = 0, heading = 0;
  for (int v = 0; v < 6; ++v) {
    rig.Place(v, x, y, 0);
    x += std::cos(heading), y += std::sin(heading);
    heading += Pi - inner[(v + 1) % 6];
  }
}

TEST(ReportThresholds, DistortedHexagonIdealAnglesComeFromThePairDiagonal) {
  const double h = 1.8, apex = 2 * std::asin(std::sqrt(h * h - 1) / 2);
  struct Case {
    const char* letter;
    double measure;  // the family measure the report reads
    bool exact;
  } cases[] = {{"D", h, true}, {"D", h + 0.01, false}, {"D", h - 0.01, false}, {"d", h, true}, {"d", h + 0.01, false}};
  for (const Case& c : cases) {
    OutputRig rig({Face{{0, 1, 2, 3, 4, 5}, 1, c.letter}});
    PlaceDistortedHexagon(rig, apex);
    (c.letter[0] == 'D' ? rig.run.relax.HexPairD : rig.run.relax.HexPaird) = c.measure;
    const double A = AngleDeformation(rig.run);
    if (c.exact)
      EXPECT_NEAR(A, 0, 1e-9) << c.letter;
    else
      EXPECT_GT(A, 1) << c.letter << " " << c.measure;
  }
  // Without a measure the hexagon is held against the regular 120 degrees.
  OutputRig plain({Face{{0, 1, 2, 3, 4, 5}, 1, "D"}});
  PlaceDistortedHexagon(plain, apex);
  EXPECT_NEAR(AngleDeformation(plain.run), 2 * (120 - apex * 180 / Pi) + 4 * (Pi - apex / 2 - 2 * Pi / 3) * 180 / Pi,
              1e-9);
}

// A rhombus corner is held against the nearer of the family's two angles.
TEST(ReportThresholds, RhombusCornersTakeTheNearerFamilyAngle) {
  const double acute = 1.2;  // the family's acute angle
  struct Case {
    double corner;  // the rhombus's own acute angle
    double expected;  // degrees
  } cases[] = {{1.2, 0}, {1.25, 4 * 0.05 * 180 / Pi}, {1.15, 4 * 0.05 * 180 / Pi}};
  for (const Case& c : cases) {
    OutputRig rig({Face{{0, 1, 2, 3}, 1, "D"}});
    const double p = 2 * std::cos(c.corner / 2), q = 2 * std::sin(c.corner / 2);
    rig.Place(0, p / 2, 0, 0), rig.Place(1, 0, q / 2, 0), rig.Place(2, -p / 2, 0, 0), rig.Place(3, 0, -q / 2, 0);
    rig.run.relax.DiagShort1 = 2 * std::sin(acute / 2);
    EXPECT_NEAR(AngleDeformation(rig.run), c.expected, 1e-9) << c.corner;
  }
}

// The apex of a distorted hexagon is where two long diagonals agree within 0.00001. The
// same hexagon (apex angle a at two opposite vertices) is entered from three starting
// corners, so that each pair of diagonals in turn is the agreeing one; stretching one of
// that pair beyond the tolerance leaves no apex and the first corner stands in. Where the
// first corner is itself an apex, a vertex is first turned about the far end of its
// diagonal, which keeps both diagonals and changes the angle the first corner would give.
TEST(ReportThresholds, HexagonApexNeedsTwoDiagonalsWithinOneHundredThousandth) {
  const double apex = 2 * std::asin(std::sqrt(1.8 * 1.8 - 1) / 2);
  struct Case {
    const char* pair;
    std::vector<int> face;
    int moved, from;     // vertex moved along the diagonal away from the other end
    int turned, pivot;   // vertex turned by 0.05 rad about another (-1: none)
  } cases[] = {{"first and third", {5, 0, 1, 2, 3, 4}, 4, 1, -1, -1},
               {"second and third", {0, 1, 2, 3, 4, 5}, 5, 2, 1, 4},
               {"first and second", {4, 5, 0, 1, 2, 3}, 4, 1, -1, -1}};
  for (const Case& c : cases) {
    auto text = [&](double stretch) {
      OutputRig rig({Face{c.face, 1, "D"}});
      PlaceDistortedHexagon(rig, apex);
      Model& m = rig.run.model;
      if (c.turned >= 0) {
        const double x = m.PosX[c.turned] - m.PosX[c.pivot], y = m.PosY[c.turned] - m.PosY[c.pivot];
        m.PosX[c.turned] = m.PosX[c.pivot] + x * std::cos(0.05) - y * std::sin(0.05);
        m.PosY[c.turned] = m.PosY[c.pivot] + x * std::sin(0.05) + y * std::cos(0.05);
      }
      const double dx = m.PosX[c.moved] - m.PosX[c.from], dy = m.PosY[c.moved] - m.PosY[c.from];
      const double d = std::hypot(dx, dy);
      m.PosX[c.moved] += stretch * dx / d, m.PosY[c.moved] += stretch * dy / d;
      return HexagonApexText(rig.run, 1);
    };
    const std::string exact = text(0);
    EXPECT_EQ(exact, "1.6911 radians, 96.892 degrees.") << c.pair;
    EXPECT_EQ(text(0.9e-5), exact) << c.pair;
    EXPECT_NE(text(1.1e-5), exact) << c.pair;
  }
}

}  // namespace
}  // namespace kelmor::testing
