#include "output/report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <sstream>

#include "output_rig.h"

namespace kelmor::testing {
namespace {

std::string Report(OutputRig& rig) {
  return rig.Text([](OutputCall& call, std::ostream& os) { WriteReport(call, os); });
}

bool HasLine(const std::string& text, const std::string& line) {
  return text.find(line + "\r\n") != std::string::npos;
}

TEST(Report, PerfectModelHasNoDeviationLines) {
  OutputRig rig(Cube());
  PlaceCube(rig);
  rig.BuildEdges();
  std::string text = Report(rig);
  EXPECT_TRUE(HasLine(text, "# Aggregate Edge Deformation (E):        0 "));
  EXPECT_TRUE(HasLine(text, "# Maximum Single Edge Distortion (SE):   0 "));
  EXPECT_TRUE(HasLine(text, "# Aggregate Angle Deformation (A):       0  degrees"));
  EXPECT_EQ(text.find("# Edge :"), std::string::npos);
  EXPECT_EQ(text.find("# side :"), std::string::npos);
}

struct CommaPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

// The plain figure lines follow the locale's decimal separator as the summary line does,
// so a reader never sees "E=0,068" beside ".068".
TEST(Report, FiguresAndSummaryShareTheLocalesSeparator) {
  OutputRig rig(Cube());
  PlaceCube(rig);
  rig.Place(6, 0.5, 0.5, 0.7);
  rig.BuildEdges();
  rig.run.relax.EdgeDeform = 0.0681483474218635;
  rig.run.relax.PolyDeform = 0.25;
  OutputCall call(rig.run);
  call.locale = std::locale(std::locale::classic(), new CommaPoint);
  std::ostringstream os;
  WriteReport(call, os);
  const std::string text = os.str();
  EXPECT_TRUE(HasLine(text, "# Aggregate Edge Deformation (E):        ,0681483474218635 ")) << text;
  EXPECT_TRUE(HasLine(text, "# Polygonal Deformation (P):             ,25 ")) << text;
  EXPECT_NE(text.find("(E=0,068, P=0,250, A="), std::string::npos) << text;
  call.locale = std::locale::classic();
  std::ostringstream plain;
  WriteReport(call, plain);
  EXPECT_TRUE(HasLine(plain.str(), "# Aggregate Edge Deformation (E):        .0681483474218635 "));
}

TEST(Report, DeviatingEdgesAndSidesAreListedAndSEIsTheLargest) {
  OutputRig rig(Cube());
  PlaceCube(rig);
  rig.Place(6, 0.5, 0.5, 0.7);  // three edges at vertex 6 change length
  rig.BuildEdges();
  rig.run.relax.PolyDeform = 0.25;
  rig.run.relax.FaceDeform[2] = 0.25;
  OutputCall call(rig.run);
  std::ostringstream os;
  WriteReport(call, os);
  std::string text = os.str();
  EXPECT_NEAR(call.SE, 0.2, 1e-12);
  EXPECT_TRUE(HasLine(text, "# Edge : 11 Vertices : 2  6 Deformation :0.2  Elongation")) << text;
  EXPECT_TRUE(HasLine(text, "# side : 2 Vertices : 4  Nos. ( 4  5  6  7 )  Deformation 0.25")) << text;
  EXPECT_TRUE(HasLine(text, "# Edge : 6 Vertices : 5  6 Deformation :0.0198039  Elongation"));
  rig.Place(6, 0.5, 0.5, 0.3);
  rig.MeasureEdges();
  EXPECT_TRUE(HasLine(Report(rig), "# Edge : 11 Vertices : 2  6 Deformation :0.2  Compression"));
}

TEST(Report, RhombusOfDiagonalRootTwoIsARightAngle) {
  OutputRig rig(Cube(0, {"D"}));
  PlaceCube(rig);
  rig.BuildEdges();
  rig.run.relax.DiagShort1 = std::sqrt(2.0);
  std::string text = Report(rig);
  EXPECT_TRUE(HasLine(text, "# Rhombus acute angle: 1.5708 radians, 90.0 degrees.")) << text;
  EXPECT_TRUE(HasLine(text, "# Angle deformation above assumption that all rhombi have acute angle as above"));
  EXPECT_NEAR(AngleDeformation(rig.run), 0.0, 1e-9);

  rig.run.RhombusAngle[1] = Pi / 2;
  EXPECT_TRUE(HasLine(Report(rig), "# Forced rhombus acute angle: 1.5708 radians, 90.0 degrees."));
}

TEST(Report, FlatRhombusReportsNoAngle) {
  OutputRig rig({Face{{0, 1, 2, 3}, 1, "d"}});
  rig.Place(0, 0, 0, 0), rig.Place(1, 1, 0, 0), rig.Place(2, 2, 0, 0), rig.Place(3, 1, 0, 0);
  EXPECT_TRUE(HasLine(Report(rig), "# Type 2 Rhombus acute angle: 0.0 radians, 0.0 degrees."));
}

TEST(Report, EnteredModelWithoutUserDataHasOnlyTheShapeLines) {
  OutputRig rig(Cube(0, {"q"}));
  PlaceCube(rig);
  rig.Place(6, 0.5, 0.5, 0.7);
  rig.BuildEdges();
  rig.session.options.incord = 1;
  std::string text = Report(rig);
  for (const char* absent : {"(E)", "(SE)", "(P)", "(A)", "Summary", "# Edge :", "# side :", "radians\r\n#"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  EXPECT_TRUE(HasLine(text, "# Type 3 Rhombus acute angle: 1.5708 radians, 90.0 degrees."));

  rig.session.options.Userdata = 1;
  text = Report(rig);
  EXPECT_NE(text.find("(E)"), std::string::npos);
  EXPECT_EQ(text.find("# Edge :"), std::string::npos);  // still none: the model is as entered
  EXPECT_TRUE(HasLine(text, "# USERDATA information"));
  EXPECT_TRUE(HasLine(text, "# END OF USER DATA"));
}

TEST(Report, AngleDeformationMeasuresFamiliesAgainstTheirOwnShape) {
  // A unit rhombus of 60 degrees in each family letter: no deformation against its family.
  OutputRig rig({Face{{0, 1, 2, 3}, 1, "D"}, Face{{4, 5, 6, 7}, 1, "q"}, Face{{8, 9, 10, 11}, 1, ""}});
  const double h = std::sqrt(3.0) / 2;
  for (int base : {0, 4, 8}) {
    rig.Place(base, 0, 0, base), rig.Place(base + 1, 1, 0, base);
    rig.Place(base + 2, 1.5, h, base), rig.Place(base + 3, 0.5, h, base);
  }
  rig.run.relax.DiagShort1 = 1;
  rig.run.relax.DiagShort3 = 1;
  // Only the plain square-shaped face counts: 4 corners, each 30 degrees off 90.
  EXPECT_NEAR(AngleDeformation(rig.run), 120.0, 1e-9);
}

TEST(Report, RegularStarHasNoAngleDeformationWhicheverWayItsStepRuns) {
  // {5/2} and {5/3} on the same regular pentagon: both are the pentagram, 36 degree corners.
  OutputRig rig({Face{{0, 1, 2, 3, 4}, 2, ""}, Face{{0, 1, 2, 3, 4}, 3, ""}});
  for (int i = 0; i < 5; ++i) rig.Place(i, std::cos(2 * Pi * i / 5), std::sin(2 * Pi * i / 5), 0);
  EXPECT_NEAR(AngleDeformation(rig.run), 0.0, 1e-9);
}

TEST(Report, DistortedHexagonApexComesFromItsEqualDiagonals) {
  // A regular hexagon: all long diagonals equal, apex at position 2, angle 120 degrees.
  OutputRig rig({Face{{0, 1, 2, 3, 4, 5}, 1, "D"}});
  for (int i = 0; i < 6; ++i) rig.Place(i, std::cos(Pi * i / 3), std::sin(Pi * i / 3), 0);
  EXPECT_EQ(HexagonApexText(rig.run, 1), "2.0944 radians, 120.0 degrees.");
  rig.run.relax.HexPairD = 2;
  EXPECT_NEAR(AngleDeformation(rig.run), 0.0, 1e-9);
  // Three different diagonals: no apex, the line is still written.
  rig.Place(0, 1.5, 0, 0), rig.Place(1, 0.5, 1.2, 0);
  EXPECT_NE(HexagonApexText(rig.run, 1).find(" degrees."), std::string::npos);
}

TEST(Report, StressPassMarksEveryEdgeForDecoration) {
  OutputRig rig(Cube());
  PlaceCube(rig);
  rig.Place(6, 0.5, 0.5, 0.7);
  rig.BuildEdges();
  rig.run.StressPass = 1;
  Report(rig);
  EXPECT_EQ(rig.run.model.CylinderMarks, 1);
  for (int f = 1; f <= 6; ++f) EXPECT_NE(rig.run.model.FaceCode[f].find('o'), std::string::npos) << f;
}

}  // namespace
}  // namespace kelmor::testing
