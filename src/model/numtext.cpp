#include "model/numtext.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale>

#include "model/error.h"
#include "model/float_chars.h"

namespace kelmor {

namespace {
// Whole numbers of up to this many digits are below 2^53: a double holds them exactly.
constexpr size_t MaxExactDigits = 15;
}  // namespace

double ReadNumber(std::string_view input) {
  // Blanks are skipped wherever they stand ("1 2" reads 12), as numbers typed into the
  // windows and written in files always have been; most texts have none to skip.
  std::string stripped;
  if (!input.empty() && (std::memchr(input.data(), ' ', input.size()) || std::memchr(input.data(), '\t', input.size()))) {
    stripped.reserve(input.size());
    for (char c : input)
      if (c != ' ' && c != '\t') stripped += c;
    input = stripped;
  }
  const std::string_view text = input;
  // Find the longest prefix that has the shape of a decimal number.
  size_t i = 0;
  auto digitAt = [&](size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t first = i;
  uint64_t whole = 0;  // the integer part, while it has at most MaxExactDigits digits
  while (digitAt(i)) {
    if (i - first < MaxExactDigits) whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
    ++i;
  }
  bool digits = i > first;
  // A whole number short enough to be exact as a double (most texts read are vertex
  // numbers): the value strtod would give, without it.
  if (digits && i - first <= MaxExactDigits && (i == text.size() || (text[i] != '.' && text[i] != 'e' && text[i] != 'E'))) {
    const double v = static_cast<double>(whole);
    return negative ? -v : v;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (digitAt(i)) {
      ++i;
      digits = true;
    }
  }
  if (!digits) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t k = i + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    if (digitAt(k)) {
      while (digitAt(k)) ++k;
      i = k;
    }
  }
  // strtod is locale-dependent for the decimal point; the prefix uses ".", so parse it
  // with the C locale's rules by hand-normalising nothing else.
  const std::string num(text.substr(0, i));
  char* end = nullptr;
  double v = std::strtod(num.c_str(), &end);
  if (!std::isfinite(v)) raiseError(ErrOverflow);
  return v;
}

double RoundEven(double value) { return std::nearbyint(value); }  // default mode: to even

int16_t RoundInt16(double value) {
  if (!std::isfinite(value)) raiseError(ErrOverflow);
  double r = RoundEven(value);
  if (r < -32768.0 || r > 32767.0) raiseError(ErrOverflow);
  return static_cast<int16_t>(r);
}

std::string BareNumber(double value) {
  if (value == 0.0) return " 0 ";
  // The digits of printf's "%.15G" (std::to_chars gives exactly those of "%.15g").
  char buf[64];
  char* end = GeneralDigits(buf, buf + sizeof buf, std::fabs(value), 15);
  for (char* c = buf; c != end; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  std::string_view digits(buf, static_cast<size_t>(end - buf));
  // "%G" writes "0.5"; list print writes ".5". Exponent form keeps two digits ("1E-07").
  if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.remove_prefix(1);
  std::string text(value < 0 ? "-" : " ");
  text += digits;
  text += ' ';
  return text;
}

namespace {

struct Pattern {
  int minInt = 0;   // "0" digits before the point
  int minDec = 0;   // "0" digits after the point
  int maxDec = 0;   // all digit places after the point
};

Pattern ParsePattern(std::string_view pattern) {
  Pattern p;
  size_t dot = pattern.find('.');
  std::string_view intPart = pattern.substr(0, dot);
  for (char c : intPart)
    if (c == '0') ++p.minInt;
  if (dot != std::string_view::npos) {
    for (char c : pattern.substr(dot + 1)) {
      if (c == '0') {
        ++p.minDec;
        ++p.maxDec;
      } else if (c == '#') {
        ++p.maxDec;
      }
    }
  }
  return p;
}

}  // namespace

std::string NumberText(double value, std::string_view pattern) {
  const Pattern p = ParsePattern(pattern);
  if (!std::isfinite(value)) raiseError(ErrOverflow);
  // Numbers carry at most 15 significant digits, as the system's number formatting does.
  int decimals = p.maxDec;
  if (value != 0.0) {
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    decimals = std::max(0, std::min(p.maxDec, 14 - exponent));
  }
  // The digits of printf's "%.*f": correctly rounded, halves to even, whatever the locale.
  char buf[512];
  const char* end = FixedDigits(buf, buf + sizeof buf, std::fabs(value), decimals);
  const std::string_view s(buf, static_cast<size_t>(end - buf));
  const size_t dot = s.find('.');
  std::string_view intPart = s.substr(0, dot);
  std::string_view decPart = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
  const size_t minInt = static_cast<size_t>(p.minInt), minDec = static_cast<size_t>(p.minDec);
  while (decPart.size() > minDec && decPart.back() == '0') decPart.remove_suffix(1);
  // Integer digits: "#" places drop a lone leading zero, "0" places pad.
  if (intPart == "0" && minInt == 0) intPart = {};
  const auto nonZero = [](std::string_view digits) { return digits.find_first_not_of('0') != std::string_view::npos; };
  const bool negative = value < 0 && (nonZero(intPart) || nonZero(decPart));
  std::string out;
  out.reserve(s.size() + minInt + minDec + 2);
  if (negative) out += '-';
  if (intPart.size() < minInt) out.append(minInt - intPart.size(), '0');
  out += intPart;
  // A whole number under a pattern without required decimals is written without the
  // point, so that every reader takes it as a plain number.
  if (!decPart.empty() || minDec > 0) {
    out += '.';
    out += decPart;
    if (decPart.size() < minDec) out.append(minDec - decPart.size(), '0');
  }
  if (out.empty() || out == "-") out += '0';
  return out;
}

std::string LocaleNumberText(double value, std::string_view pattern, const std::locale& locale) {
  std::string s = NumberText(value, pattern);
  const char sep = std::use_facet<std::numpunct<char>>(locale).decimal_point();
  for (char& c : s)
    if (c == '.') c = sep;
  return s;
}

namespace {

// The decimal separator of a locale read from the C library, as libstdc++'s own numpunct
// does (its first byte).
class UserDecimalPoint : public std::numpunct<char> {
 public:
  explicit UserDecimalPoint(char point) : point_(point) {}

 protected:
  char do_decimal_point() const override { return point_; }

 private:
  char point_;
};

}  // namespace

const std::locale& UserLocale() {
  // Made once and only read after: runs in parallel threads then never build and free
  // C-library locales at the same time (which is slow, and whose internal locking the
  // thread sanitizer cannot see). Only the numeric category is loaded (one file, where the
  // whole locale takes more than a dozen): the separator is all that is read from it.
  static const std::locale user = [] {
    const locale_t numeric = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (numeric == static_cast<locale_t>(nullptr)) return std::locale::classic();  // an unknown locale: full stop
    const char* point = ::nl_langinfo_l(RADIXCHAR, numeric);
    const char sep = point != nullptr && *point != 0 ? *point : '.';
    ::freelocale(numeric);
    return sep == '.' ? std::locale::classic() : std::locale(std::locale::classic(), new UserDecimalPoint(sep));
  }();
  return user;
}

std::string LocaleNumberText(double value, std::string_view pattern) {
  return LocaleNumberText(value, pattern, UserLocale());
}

NdValue ReadNd(std::string_view text) {
  NdValue v;
  size_t slash = text.find('/');
  if (slash == std::string_view::npos) {
    v.n = RoundInt16(ReadNumber(text));
    v.d = 1;
  } else {
    v.n = RoundInt16(ReadNumber(text.substr(0, slash)));
    v.d = RoundInt16(ReadNumber(text.substr(slash + 1)));
  }
  return v;
}

}  // namespace kelmor
