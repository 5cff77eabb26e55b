#include "model/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/error.h"

namespace kelmor {
namespace {

TEST(ReadNumber, TakesTheLeadingDecimalNumber) {
  EXPECT_EQ(ReadNumber("12"), 12);
  EXPECT_EQ(ReadNumber("  -3.5xyz"), -3.5);
  EXPECT_EQ(ReadNumber("5/2"), 5);
  EXPECT_EQ(ReadNumber(".25"), 0.25);
  EXPECT_EQ(ReadNumber("1e3,"), 1000);
  EXPECT_EQ(ReadNumber("1e"), 1);
  EXPECT_EQ(ReadNumber("abc"), 0);
  EXPECT_EQ(ReadNumber(""), 0);
  EXPECT_EQ(ReadNumber("-"), 0);
  EXPECT_EQ(ReadNumber("+7"), 7);
  EXPECT_EQ(ReadNumber(" 1 2.5 "), 12.5);  // blanks inside a number are skipped too
  EXPECT_EQ(ReadNumber("- 3"), -3);
  EXPECT_EQ(ReadNumber("\t4\t.5 "), 4.5);  // tabs as well
  EXPECT_EQ(ReadNumber("1 E +2x"), 100);
  EXPECT_EQ(ReadNumber("3.5e+"), 3.5);     // an exponent without digits is not read
  EXPECT_EQ(ReadNumber("2.e1"), 20);
  EXPECT_EQ(ReadNumber("+.5"), 0.5);
  EXPECT_EQ(ReadNumber("."), 0);
  EXPECT_EQ(ReadNumber("--1"), 0);
  EXPECT_EQ(ReadNumber(std::string("1\0 2", 4)), 1);  // a NUL ends the number
  EXPECT_EQ(ReadNumber(std::string_view("7 8 9").substr(0, 3)), 78);  // only the text given
}

// Whole numbers take a shorter road than the rest; both must give strtod's value of the
// number's prefix, sign of zero included, on either side of the 15-digit limit.
TEST(ReadNumber, WholeNumbersReadAsStrtodReadsTheirPrefix) {
  const struct {
    const char* text;
    const char* prefix;
  } cases[] = {
      {"0", "0"}, {"-0", "-0"}, {"+0", "+0"}, {"007", "007"}, {"-12,", "-12"},
      {"12abc", "12"}, {"12e", "12"}, {"12e+", "12"}, {"12.", "12."}, {"12.5", "12.5"},
      {"12E2", "12E2"}, {"999999999999999", "999999999999999"},
      {"-999999999999999x", "-999999999999999"}, {"9007199254740993", "9007199254740993"},
      {"1234567890123456789012", "1234567890123456789012"}, {"000000000000000000001", "000000000000000000001"},
      {"1 2 3", "123"}, {"- 0", "-0"}, {"32767", "32767"}, {"-32768/3", "-32768"},
  };
  for (const auto& c : cases) {
    const double expected = std::strtod(c.prefix, nullptr);
    const double got = ReadNumber(c.text);
    EXPECT_EQ(got, expected) << c.text;
    EXPECT_EQ(std::signbit(got), std::signbit(expected)) << c.text;
  }
}

TEST(ReadNumber, OverflowingExponentRaisesOverflow) {
  try {
    ReadNumber("1e999");
    FAIL();
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrOverflow);
  }
}

TEST(RoundInt16, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundInt16(2.5), 2);
  EXPECT_EQ(RoundInt16(3.5), 4);
  EXPECT_EQ(RoundInt16(-2.5), -2);
  EXPECT_EQ(RoundInt16(-0.4), 0);
  EXPECT_EQ(RoundInt16(32767.4), 32767);
  EXPECT_EQ(RoundInt16(-32768), -32768);
}

TEST(RoundInt16, BeyondSixteenBitsRaisesOverflow) {
  for (double v : {32767.5, 40000.0, -32769.0, 1e300}) {
    try {
      RoundInt16(v);
      ADD_FAILURE() << v;
    } catch (const KelmorError& e) {
      EXPECT_EQ(e.code(), ErrOverflow) << v;
    }
  }
}

TEST(BareNumber, SignPositionDigitsAndTrailingBlank) {
  EXPECT_EQ(BareNumber(12), " 12 ");
  EXPECT_EQ(BareNumber(0), " 0 ");
  EXPECT_EQ(BareNumber(-3), "-3 ");
  EXPECT_EQ(BareNumber(0.5), " .5 ");
  EXPECT_EQ(BareNumber(-0.25), "-.25 ");
  EXPECT_EQ(BareNumber(1.5), " 1.5 ");
  EXPECT_EQ(BareNumber(1.0 / 3.0), " .333333333333333 ");
  EXPECT_EQ(BareNumber(1e-7), " 1E-07 ");
  EXPECT_EQ(BareNumber(123456789012345678.0), " 1.23456789012346E+17 ");
}

TEST(NumberText, PatternsWriteAFullStop) {
  EXPECT_EQ(NumberText(0.5019607843, "0.000"), "0.502");
  EXPECT_EQ(NumberText(1.0, "0.000"), "1.000");
  EXPECT_EQ(NumberText(0.0, "#0.0#######"), "0.0");
  EXPECT_EQ(NumberText(-1.25, "#0.0#######"), "-1.25");
  EXPECT_EQ(NumberText(0.123456789, "#0.0#######"), "0.12345679");
  EXPECT_EQ(NumberText(2.0, "#0.00"), "2.00");
  EXPECT_EQ(NumberText(0.5, "#0.00"), "0.50");
  EXPECT_EQ(NumberText(3.0, "#0.0##"), "3.0");
  EXPECT_EQ(NumberText(12.3456, "#0.0##"), "12.346");
  EXPECT_EQ(NumberText(1.0, "0"), "1");
  EXPECT_EQ(NumberText(0.07, "#0.###"), "0.07");
  EXPECT_EQ(NumberText(0.618033988749895, "0.0##"), "0.618");
  EXPECT_EQ(NumberText(1.5707963, "0.0###"), "1.5708");
  EXPECT_EQ(NumberText(0.001, "##0.0###############"), "0.001");
  EXPECT_EQ(NumberText(1.0 / 3.0, "#0.0###############"), "0.333333333333333");
}

TEST(NumberText, TinyNegativeValuesLoseTheirSign) {
  EXPECT_EQ(NumberText(-1e-12, "#0.0#######"), "0.0");
  EXPECT_EQ(NumberText(-0.0, "0.000"), "0.000");
}

TEST(NumberText, WholeNumberWithOptionalDecimalsHasNoPoint) {
  EXPECT_EQ(NumberText(2.0, "#0.###"), "2");
}

// The written digits are those of the exact binary value rounded to nearest, halves to
// the even digit (as printf has always written them): files stay the same byte for byte.
TEST(NumberText, RoundsTheExactValueHalvesToEven) {
  EXPECT_EQ(NumberText(0.125, "0.00"), "0.12");
  EXPECT_EQ(NumberText(0.375, "0.00"), "0.38");
  EXPECT_EQ(NumberText(2.5, "0"), "2");
  EXPECT_EQ(NumberText(3.5, "#0"), "4");
  EXPECT_EQ(NumberText(1.005, "0.00"), "1.00");  // 1.00499999999999989...
  EXPECT_EQ(NumberText(1234.5678, "00000.0"), "01234.6");
  EXPECT_EQ(NumberText(1e20, "0.0"), "100000000000000000000.0");
  EXPECT_EQ(NumberText(-0.0004, "0.00"), "0.00");
  EXPECT_EQ(BareNumber(-2.5e-300), "-2.5E-300 ");
}

// A decimal-comma locale shows only in the locale form; the pattern form keeps its full stop.
struct CommaPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(NumberText, LocaleFormTakesTheLocaleSeparator) {
  std::locale comma(std::locale::classic(), new CommaPoint);
  EXPECT_EQ(LocaleNumberText(0.5019607843, "0.000", comma), "0,502");
  EXPECT_EQ(LocaleNumberText(12.26, "0.0", comma), "12,3");
  EXPECT_EQ(LocaleNumberText(3.0, "0.0", std::locale::classic()), "3.0");
  EXPECT_EQ(NumberText(0.5019607843, "0.000"), "0.502");
}

TEST(ReadNd, SplitsAtTheFirstSlash) {
  EXPECT_EQ(ReadNd("5/2").n, 5);
  EXPECT_EQ(ReadNd("5/2").d, 2);
  EXPECT_EQ(ReadNd("6").d, 1);
  EXPECT_EQ(ReadNd("8/3/1").d, 3);
}

}  // namespace
}  // namespace kelmor
