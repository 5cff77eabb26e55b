#include "model/locale_text.h"

#include "model/numtext.h"

namespace kelmor {

std::string LocaleBareNumber(double value, const std::locale& locale) {
  std::string s = BareNumber(value);
  const char sep = std::use_facet<std::numpunct<char>>(locale).decimal_point();
  for (char& c : s)
    if (c == '.') c = sep;
  return s;
}

}  // namespace kelmor
