#pragma once

// Readable, stable names for the cases of parameterised suites: `ctest -R` selects them and
// they stay the same from build to build (a printed struct would show its pointers' bytes).

#include <cctype>
#include <string>

namespace kelmor::testing {

// The text with every character that gtest does not allow in a name made an underscore:
// "5/2" becomes "5_2".
inline std::string CaseName(std::string text) {
  for (char& c : text)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return text;
}

// Name generator for suites whose parameter is a C string.
struct TextParamName {
  template <class Info>
  std::string operator()(const Info& info) const {
    return CaseName(info.param);
  }
};

}  // namespace kelmor::testing
