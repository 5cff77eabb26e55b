#include "run/value_checks.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

#include "model/error.h"
#include "model/float_chars.h"
#include "model/limits.h"
#include "model/numtext.h"
#include "run/run_values.h"
#include "settings/preferences.h"

namespace kelmor {

namespace {

// How the run reads a text control.
enum class Reading {
  Number,   // the leading number, as a double
  Whole,    // the leading number rounded to a 16-bit whole number
  Nd,       // n/d, both rounded to 16-bit whole numbers
  Rhombus,  // an angle, r30, mr30, r12 or Pn/d
  Angle,    // copied into the VRML files as it stands: a plain number of degrees
};

struct TextControl {
  std::string_view prefix;  // the name, or the name without its row digit 1..5
  bool rowed;
  Reading reading;
};

constexpr TextControl kTextControls[] = {
    {"GlobLim", false, Reading::Whole},     {"LocInfMin", true, Reading::Number},
    {"LocInfMax", true, Reading::Number},   {"SelectFace", false, Reading::Nd},
    {"SqrtMult", false, Reading::Number},   {"BandLen", false, Reading::Number},
    {"AugmentVal", false, Reading::Nd},     {"WeakenLimit", false, Reading::Number},
    {"HighlightVal", false, Reading::Nd},   {"StressMult", false, Reading::Number},
    {"StBallMult", false, Reading::Number}, {"SmoothAngle", false, Reading::Angle},
    {"ForceRhom", false, Reading::Rhombus}, {"ForceRhom2", false, Reading::Rhombus},
    {"ForceRhom3", false, Reading::Rhombus}, {"SegEdge", true, Reading::Number},
    {"SegX", true, Reading::Number},        {"SegY", true, Reading::Number},
    {"SegZ", true, Reading::Number},
};

const TextControl* FindTextControl(std::string_view name) {
  for (const TextControl& c : kTextControls) {
    if (!c.rowed && name == c.prefix) return &c;
    if (c.rowed && name.size() == c.prefix.size() + 1 && name.substr(0, c.prefix.size()) == c.prefix &&
        name.back() >= '1' && name.back() <= '5')
      return &c;
  }
  return nullptr;
}

// True when reading the text as the run does raises no overflow.
bool Readable(Reading reading, const std::string& text) {
  try {
    switch (reading) {
      case Reading::Number: ReadNumber(text); break;
      case Reading::Whole: RoundInt16(ReadNumber(text)); break;
      case Reading::Nd: ReadNd(text); break;
      case Reading::Rhombus: ComputeRhombus(text); break;
      case Reading::Angle: break;
    }
    return true;
  } catch (const KelmorError&) {
    return false;
  }
}

std::string RangeOf(Reading reading) {
  const std::string largest = ReadableNumber(std::numeric_limits<double>::max());
  switch (reading) {
    case Reading::Number: return "a number from -" + largest + " to " + largest;
    case Reading::Whole: return "a whole number up to 32767";
    case Reading::Nd: return "n or n/d, whole numbers from -32768 to 32767";
    case Reading::Rhombus: return "an angle in degrees (up to " + largest + "), r30, mr30, r12 or Pn/d";
    case Reading::Angle: return "an angle in degrees from 0 to 180";
  }
  return {};
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

// The whole text as one finite number, nothing before or after it.
std::optional<double> PlainNumber(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = ReadDouble(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A whole number of decimal digits only, as a shape's n and d are written.
std::optional<long> Digits(std::string_view text) {
  long value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text[0] == '-' || text[0] == '+' || ec != std::errc() || ptr != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::string ReadableNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::optional<std::string> ControlTextProblem(const std::string& control, const std::string& value) {
  const TextControl* c = FindTextControl(control);
  if (!c) return std::nullopt;
  bool ok = Readable(c->reading, value);
  if (c->reading == Reading::Angle) {
    auto degrees = PlainNumber(value);
    ok = degrees && *degrees >= 0 && *degrees <= 180;
  }
  if (ok) return std::nullopt;
  return control + " takes " + RangeOf(c->reading) + ", not '" + value + "'";
}

std::optional<std::string> PreferenceValueProblem(const std::string& key, const std::string& value) {
  const PrefKey* p = FindPreferenceKey(key);
  if (!p) return std::nullopt;
  if (p->kind == PrefKind::Number && !Readable(Reading::Number, value))
    return std::string(p->key) + " (" + p->meaning + ") takes a number such as " + p->defaultValue +
           ", at most " + ReadableNumber(std::numeric_limits<double>::max()) + ", not '" + value + "'";
  if (p->kind == PrefKind::Colour) {
    size_t from = 0;
    for (;;) {
      size_t dot = value.find('.', from);
      if (!Readable(Reading::Number, value.substr(from, dot == std::string::npos ? dot : dot - from)))
        return std::string(p->key) + " (" + p->meaning + ") takes a colour R.G.B of whole numbers from 0 to 255, "
               "such as " + p->defaultValue + ", not '" + value + "'";
      if (dot == std::string::npos) break;
      from = dot + 1;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ShapeSizeProblem(const std::string& kind, const std::string& text) {
  const std::string_view t = Trimmed(text);
  const size_t slash = t.find('/');
  const auto n = Digits(Trimmed(t.substr(0, slash)));
  const auto d = slash == std::string_view::npos ? std::optional<long>(1) : Digits(Trimmed(t.substr(slash + 1)));
  const std::string given = ", not '" + text + "'";
  if (!n || !d)
    return "shape takes N or N/D, whole numbers such as 5 or 7/2" + given;
  if (*n < 3 || *n > MaxFaceVertices)
    return "shape takes a polygon of 3 to " + std::to_string(MaxFaceVertices) +
           " sides (no face has more corners)" + given;
  // A step sharing a factor with n (n/2 among them) comes back to its first corner before
  // it has visited them all, so that corners coincide; d and n - d draw the same star the
  // other way round (the crossed antiprism 5/3 is one).
  if (*d < 1 || *d >= *n || std::gcd(*n, *d) != 1)
    return "shape takes a star step D from 1 to N - 1 that shares no factor with N (" + std::to_string(*n) +
           "/" + std::to_string(*d) + " is no polygon)" + given;
  // Unit edges reach the apex only over a base of circumradius 1/(2 sin(pi d/n)) up to 1:
  // pyramid 7 or 13/2 would be stalled and started again for ever.
  if (kind == "pyramid" && (6 * *d < *n || 6 * *d > 5 * *n))
    return "shape pyramid takes N/D with D/N from 1/6 to 5/6: over a wider base unit edges cannot meet at "
           "an apex" + given;
  return std::nullopt;
}

}  // namespace kelmor
