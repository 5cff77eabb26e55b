#pragma once

#include <cstdint>
#include <locale>
#include <string>
#include <string_view>

namespace kelmor {

// Every conversion between numbers and text goes through here, so that no writer
// formats a number by hand.

// The leading decimal number of a text: blanks skipped, "." as decimal point whatever
// the locale, optional sign and exponent; a text that does not begin with a number reads 0.
double ReadNumber(std::string_view text);

// Rounds to the nearest 16-bit integer, halves to the even neighbour. A value outside
// -32768..32767 (or not finite) raises error 6 (overflow).
int16_t RoundInt16(double value);

// Rounds to the nearest whole number, halves to the even neighbour (no range check).
double RoundEven(double value);

// Bare number field (list-print form): a blank for zero and positive values or "-",
// the digits (up to 15 significant, no leading zero between -1 and 1, a whole-valued
// double without a fraction), and one trailing blank. 12 -> " 12 ", -0.5 -> "-.5 ".
std::string BareNumber(double value);

// Formats value with a digit pattern ("#0.0#######", "0.000", "#0.###", ...): "0" is a
// digit always written, "#" a digit written only when significant, "." the decimal
// point. Always writes a full stop, whatever the locale.
std::string NumberText(double value, std::string_view pattern);

// NumberText with the decimal separator of a locale instead of the full stop (the one
// place that keeps it is the summary line of the deformation report); by default the
// user's locale from the environment.
std::string LocaleNumberText(double value, std::string_view pattern, const std::locale& locale);
std::string LocaleNumberText(double value, std::string_view pattern);
// The user's decimal separator from the environment (LC_ALL, LC_NUMERIC, LANG), as a
// locale that is the classic one apart from it (the classic one when the environment
// names no usable locale), read the first time it is asked for.
const std::locale& UserLocale();

// Reads an n/d text: n before the first "/", d after it; without "/" d is 1. Both rounded.
struct NdValue {
  int n = 0;
  int d = 1;
};
NdValue ReadNd(std::string_view text);

}  // namespace kelmor
