#include "model/colour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmor {
namespace {

struct ColourCase {
  const char* text;
  const char* label;
  const char* unit;
  const char* whole;
  std::vector<std::string> messages;
};

TEST(ColourText, ExamplesGiveBothFormsAndTheirMessages) {
  const std::vector<ColourCase> cases = {
      {"255.128.0", "Triangles", "1.000 0.502 0.000", "255 128 0", {}},
      {"300.0.0", "Triangles", "1.000 0.000 0.000", "255 0 0",
       {"Red value in Triangles Colour clipped at 255"}},
      {"128", "Triangles", "0.502 0.502 0.502", "128 128 128", {}},
      {"-5", "VRML Edge", "0.000 0.000 0.000", "0 0 0",
       {"No periods in VRML Edge Edge Colour, single number assumed, clipped at 0"}},
      {"10..20", "Squares", "0.039 0.000 0.078", "10 0 20", {}},
      {"0.0.0", "Offset 128", "0.502 0.502 0.502", "128 128 128", {}},
      {"255.255.255", "Offset 128", "1.502 1.502 1.502", "383 383 383", {}},
      {"999", "Squares", "1.000 1.000 1.000", "255 255 255",
       {"No periods in Squares Colour, single number assumed, clipped at 255"}},
      {"-1.300.-2", "Hexagons", "0.000 1.000 0.000", "0 255 0",
       {"Red value in Hexagons Colour clipped at 0", "Green value in Hexagons Colour clipped at 255",
        "Blue value in Hexagons Colour clipped at 0"}},
      // One full stop: green is what follows it, blue is missing and reads 0.
      {"10.20", "Squares", "0.039 0.078 0.000", "10 20 0", {}},
      {"", "Squares", "0.000 0.000 0.000", "0 0 0", {}},
      {"255.127.5.0", "Squares", "1.000 0.498 0.020", "255 127 5", {}},
  };
  for (const ColourCase& c : cases) {
    std::vector<std::string> unitMessages, wholeMessages;
    EXPECT_EQ(ColourUnitText(c.text, c.label, [&](const std::string& m) { unitMessages.push_back(m); }),
              c.unit)
        << c.text;
    EXPECT_EQ(ColourIntText(c.text, c.label, [&](const std::string& m) { wholeMessages.push_back(m); }),
              c.whole)
        << c.text;
    EXPECT_EQ(unitMessages, c.messages) << c.text;
    EXPECT_EQ(wholeMessages, c.messages) << c.text;
  }
}

TEST(ColourText, OffsetLabelIsMatchedInAnyCaseAndRoundingGoesToEven) {
  EXPECT_EQ(ColourIntText("1.2.3", "oFfSeT 10", nullptr), "11 12 13");
  // Only the blue part can carry a fraction: everything after the second full stop.
  EXPECT_EQ(ColourIntText("1.1.2.5", "x", nullptr), "1 1 2");
  EXPECT_EQ(ColourIntText("1.1.3.5", "x", nullptr), "1 1 4");
  EXPECT_EQ(ColourIntText("1.1.255.5", "x", nullptr), "1 1 255");
  EXPECT_EQ(ColourIntText("255.4", "x", nullptr), "255 4 0");
}

int IndexOf(int size, int step, const std::string& code, int previous = -1) {
  int colour = previous;
  FaceColourIndex(size, step, code, colour);
  return colour;
}

TEST(FaceColour, ChosenBySizeStepAndLetters) {
  EXPECT_EQ(IndexOf(3, 1, ""), 3);
  EXPECT_EQ(IndexOf(4, 1, ""), 4);
  EXPECT_EQ(IndexOf(4, 1, "D"), 14);
  EXPECT_EQ(IndexOf(4, 1, "d"), 15);
  EXPECT_EQ(IndexOf(4, 1, "q"), 32);
  EXPECT_EQ(IndexOf(4, 1, "Dq"), 14);
  EXPECT_EQ(IndexOf(4, 1, "dD"), 14);
  EXPECT_EQ(IndexOf(5, 1, ""), 5);
  EXPECT_EQ(IndexOf(5, 2, ""), 11);
  EXPECT_EQ(IndexOf(6, 1, ""), 6);
  EXPECT_EQ(IndexOf(6, 1, "dD"), 30);
  EXPECT_EQ(IndexOf(6, 1, "d"), 31);
  EXPECT_EQ(IndexOf(7, 1, ""), 7);
  EXPECT_EQ(IndexOf(9, 2, ""), 7);
  EXPECT_EQ(IndexOf(8, 1, ""), 8);
  EXPECT_EQ(IndexOf(8, 3, ""), 12);
  EXPECT_EQ(IndexOf(10, 1, ""), 10);
  EXPECT_EQ(IndexOf(10, 3, ""), 13);
  EXPECT_EQ(IndexOf(12, 5, ""), 7);
}

TEST(FaceColour, CodesOverrideSizeAndTheLatestCodeWins) {
  EXPECT_EQ(IndexOf(3, 1, "Qr"), 21);
  EXPECT_EQ(IndexOf(12, 1, "Qr"), 21);
  EXPECT_EQ(IndexOf(4, 1, "Q3Q7"), 7);
  EXPECT_EQ(IndexOf(4, 1, "Q7Q3"), 7);
  EXPECT_EQ(IndexOf(5, 1, "Q2Qr"), 2);
  EXPECT_EQ(IndexOf(5, 1, "QrQ2"), 2);
  EXPECT_EQ(IndexOf(5, 1, "QhQy"), 29);
  EXPECT_EQ(IndexOf(5, 1, "DQX"), 10);
}

TEST(FaceColour, UnknownCodesAndDigonsKeepThePreviousIndex) {
  EXPECT_EQ(IndexOf(2, 1, "", 17), 17);
  EXPECT_EQ(IndexOf(4, 1, "Qz", 9), 9);
  EXPECT_EQ(IndexOf(4, 1, "Q", 23), 23);
}

TEST(FaceColour, CodeForEveryIndexLeadsBackToAnIndexOfTheSameColour) {
  EXPECT_EQ(ColourCodeFor(29), "Q2");
  EXPECT_EQ(ColourCodeFor(9), "Q7");
  EXPECT_EQ(ColourCodeFor(16), "Q7");
  const int exact[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 21, 22, 23, 24, 25, 26, 27, 28};
  for (int index : exact) EXPECT_EQ(IndexOf(4, 1, ColourCodeFor(index)), index) << index;
}

}  // namespace
}  // namespace kelmor
