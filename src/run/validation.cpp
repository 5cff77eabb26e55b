#include "run/validation.h"

#include <limits>

#include "model/numtext.h"
#include "model/error.h"

namespace kelmor {

namespace {

// The leading number of a field. A number too large for a double is taken as the
// infinity of its sign, so the checks compare it as the user meant it and the run that
// follows reports the overflow through its error handler.
double FieldNumber(const std::string& text) {
  try {
    return ReadNumber(text);
  } catch (const KelmorError&) {
    size_t i = text.find_first_not_of(" \t");
    bool negative = i != std::string::npos && text[i] == '-';
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  }
}

std::optional<std::string> ValidateLocalDiagonal(const RunOptions& o) {
  const int option = o.LocalOption;
  if (option < 0) return "Error: With Local Diagonal inflation you must choose a local inflation option";
  const double min1 = FieldNumber(o.LocInfMin1), max1 = FieldNumber(o.LocInfMax1);
  const double min2 = FieldNumber(o.LocInfMin2), max2 = FieldNumber(o.LocInfMax2);
  const double min3 = FieldNumber(o.LocInfMin3), max3 = FieldNumber(o.LocInfMax3);
  const double selected = FieldNumber(o.SelectFace);
  if ((option == 0 || option == 2) && !(min1 > 0)) return "Error: Local Inflation Minimum must be > 0";
  if ((option == 1 || option == 3) && !(min1 < max1)) return "Error: Local Inflation Maximum must be > Minimum";
  if (option == 2) {
    if (!(min2 > 0)) return "Error: Local Inflation Minimum for Star Faces must be > 0";
    if (min3 > 0 && !(selected > 0)) return "Error: Selected Faces n/d must be > 0";
    if (selected > 0 && !(min3 > 0)) return "Error: Local Inflation Minimum for Selected Faces must be > 0";
  }
  if (option == 3) {
    if (!(min2 < max2)) return "Error: Local Inflation for Star Faces Maximum must be > Minimum";
    if (selected > 0) {
      if (!(min3 < max3)) return "Error: Local Inflation for Selected Faces Maximum must be > Minimum";
      if (!(max3 > 0)) return "Error: Local Inflation Maximum for Selected Faces must be > 0";
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ValidateRunOptions(const RunOptions& o) {
  if (o.InflateOption < 0) return "Error: You must choose an inflation option";
  if (o.InflateOption == 0 && FieldNumber(o.GlobLim) < 1) return "Error: Global Limit must be >= 1";
  if (o.InflateOption == 3) {
    if (auto e = ValidateLocalDiagonal(o)) return e;
  }
  if (o.BandframeEnabled && !(FieldNumber(o.BandLen) > 0)) return "Error: Band Length must be > 0";
  if (Ticked(o.Weaken) && FieldNumber(o.WeakenLimit) < 3) return "Error: Weaken limit must be >=3";
  if (Ticked(o.Augment)) {
    if (!(FieldNumber(o.AugmentVal) > 0)) return "Error: Augmented Side n/d must be > 0";
    if (o.AugmentOption < 0) return "Error: You must choose an Augment Option";
    if (o.AugmentColour < 0) return "Error: You must choose an Augment Colour";
  }
  return std::nullopt;
}

std::optional<std::string> ValidateSegmentOptions(const RunOptions& o) {
  for (int i = 1; i <= 5; ++i) {
    const std::string& edge = o.SegEdge[static_cast<size_t>(i)];
    const std::string row = std::to_string(i);
    if (FieldNumber(edge) < 0) return "Error: Segment " + row + " edge length must be >= 0";
    // A comma would silently end the number ("1,5" reads as 1).
    if (edge.find(',') != std::string::npos)
      return "Error: Segment " + row +
             " edge length must not contain a comma; use a full stop as decimal point";
  }
  return std::nullopt;
}

}  // namespace kelmor
