#include "model/float_chars.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kelmor {

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 170000
namespace {

char* Printed(char* first, char* last, const char* format, int precision, double value) {
  const int n = std::snprintf(first, static_cast<size_t>(last - first), format, precision, value);
  return n < 0 || n >= last - first ? first : first + n;
}

}  // namespace

char* GeneralDigits(char* first, char* last, double value, int precision) {
  return Printed(first, last, "%.*g", precision, value);
}

char* FixedDigits(char* first, char* last, double value, int decimals) {
  return Printed(first, last, "%.*f", decimals, value);
}

char* ShortestDigits(char* first, char* last, double value) {
  char* end = first;
  for (int precision = 1; precision <= 17; ++precision) {
    end = GeneralDigits(first, last, value, precision);
    if (std::strtod(std::string(first, end).c_str(), nullptr) == value) break;
  }
  return end;
}

std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
  // from_chars reads neither blanks before the number nor hexadecimal; strtod does.
  const std::string text(first, last);
  if (text.empty() || text.find_first_of(" \t\n\r\f\vxX") != std::string::npos)
    return {first, std::errc::invalid_argument};
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return {first, std::errc::invalid_argument};
  value = v;
  return {first + (end - text.c_str()), std::errc()};
}
#else
char* GeneralDigits(char* first, char* last, double value, int precision) {
  return std::to_chars(first, last, value, std::chars_format::general, precision).ptr;
}

char* FixedDigits(char* first, char* last, double value, int decimals) {
  return std::to_chars(first, last, value, std::chars_format::fixed, decimals).ptr;
}

char* ShortestDigits(char* first, char* last, double value) { return std::to_chars(first, last, value).ptr; }

std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value);
}
#endif

}  // namespace kelmor
