#include "output/off_writer.h"

#include <gtest/gtest.h>

#include "output_rig.h"

namespace kelmor::testing {
namespace {

bool HasLine(const std::string& text, const std::string& line) {
  return text.find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST(OffFile, HighlightSparesTheFixedColours) {
  OutputRig rig({Face{{1, 2, 3, 4}, 1, "Qr"}, Face{{1, 2, 3, 4}, 1, ""}, Face{{1, 2, 3, 4}, 1, "Qh"},
                 Face{{1, 2, 3, 4}, 1, "B"}});
  rig.run.HighlightMode = 1;
  rig.run.HighlightN = 4;
  std::string text = rig.Text(WriteOffFile);
  EXPECT_TRUE(HasLine(text, " 4  0  1  2  3   255 0 0")) << text;
  EXPECT_TRUE(HasLine(text, " 4  0  1  2  3   255 255 0")) << text;  // squares and "Qh" take the highlight colour
  EXPECT_TRUE(HasLine(text, " 4  3  0 ")) << text;  // vertices 1..4, three faces, no edges
}

TEST(OffFile, FourDimensionalLayoutCarriesTheFourthCoordinateAndTheLinks) {
  OutputRig rig({Face{{1, 2, 3}, 1, ""}});
  rig.Place(1, 1, 0, 0), rig.Place(2, 0, 1, 0), rig.Place(3, 0, 0, 1);
  FourOffExtras extras{{0.5, -0.25, 2}, {{1, 4}, {2, 5, 6}}};
  std::string text = rig.Text([&](OutputCall& call, std::ostream& os) { Write4OffFile(call, os, extras); });
  EXPECT_EQ(text.rfind("4OFF\r\n", 0), 0u);
  EXPECT_TRUE(HasLine(text, "# Vertices Faces Edges Cells"));
  EXPECT_TRUE(HasLine(text, " 3  1 0 0"));
  EXPECT_TRUE(HasLine(text, "1.0 0.0 0.0 0.5"));
  EXPECT_TRUE(HasLine(text, "0.0 0.0 1.0 2.0"));
  EXPECT_TRUE(HasLine(text, " 3  0  1  2   0 0 255"));
  EXPECT_TRUE(HasLine(text, " 2  0  3  255 0 0"));
  EXPECT_TRUE(HasLine(text, " 3  1  4  5  255 0 0"));
  EXPECT_NE(text.find("#\r\n# END\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kelmor::testing
