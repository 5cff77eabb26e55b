#include "run/options.h"

#include <cctype>
#include <functional>
#include <vector>

namespace kelmor {

namespace {

enum class Kind { Box, Group, Text };

struct Control {
  std::string name;
  Kind kind;
  std::function<int*(RunOptions&)> intField;
  std::function<std::string*(RunOptions&)> textField;
  int maxIndex = 2;  // largest value a group or box accepts
  int minIndex = 0;
};

std::vector<Control> BuildControls() {
  std::vector<Control> c;
  auto box = [&](const char* n, int RunOptions::*f) {
    c.push_back({n, Kind::Box, [f](RunOptions& o) { return &(o.*f); }, nullptr, 2, 0});
  };
  auto group = [&](const char* n, int RunOptions::*f, int lo, int hi) {
    c.push_back({n, Kind::Group, [f](RunOptions& o) { return &(o.*f); }, nullptr, hi, lo});
  };
  auto text = [&](const char* n, std::string RunOptions::*f) {
    c.push_back({n, Kind::Text, nullptr, [f](RunOptions& o) { return &(o.*f); }});
  };
  group("InflateOption", &RunOptions::InflateOption, -1, 3);
  text("GlobLim", &RunOptions::GlobLim);
  group("LocalOption", &RunOptions::LocalOption, -1, 3);
  text("LocInfMin1", &RunOptions::LocInfMin1);
  text("LocInfMax1", &RunOptions::LocInfMax1);
  text("LocInfMin2", &RunOptions::LocInfMin2);
  text("LocInfMax2", &RunOptions::LocInfMax2);
  text("LocInfMin3", &RunOptions::LocInfMin3);
  text("LocInfMax3", &RunOptions::LocInfMax3);
  text("SelectFace", &RunOptions::SelectFace);
  box("SqrtHop", &RunOptions::SqrtHop);
  text("SqrtMult", &RunOptions::SqrtMult);
  text("BandLen", &RunOptions::BandLen);
  box("Augment", &RunOptions::Augment);
  text("AugmentVal", &RunOptions::AugmentVal);
  group("AugmentOption", &RunOptions::AugmentOption, -1, 3);
  group("AugmentColour", &RunOptions::AugmentColour, -1, 2);
  box("Weaken", &RunOptions::Weaken);
  text("WeakenLimit", &RunOptions::WeakenLimit);
  box("Once", &RunOptions::Once);
  box("Isomorph", &RunOptions::Isomorph);
  box("Coincidence", &RunOptions::Coincidence);
  box("XYConfine", &RunOptions::XYConfine);
  box("Highlight", &RunOptions::Highlight);
  text("HighlightVal", &RunOptions::HighlightVal);
  box("HighVert", &RunOptions::HighVert);
  box("AllCyl", &RunOptions::AllCyl);
  box("incord", &RunOptions::incord);
  box("StressMap", &RunOptions::StressMap);
  text("StressMult", &RunOptions::StressMult);
  text("StBallMult", &RunOptions::StBallMult);
  box("Smooth", &RunOptions::Smooth);
  text("SmoothAngle", &RunOptions::SmoothAngle);
  box("RegHex", &RunOptions::RegHex);
  text("ForceRhom", &RunOptions::ForceRhom);
  text("ForceRhom2", &RunOptions::ForceRhom2);
  text("ForceRhom3", &RunOptions::ForceRhom3);
  box("Userdata", &RunOptions::Userdata);
  box("Debug", &RunOptions::Debug);
  box("Labelling", &RunOptions::Labelling);
  box("SideLab", &RunOptions::SideLab);
  group("SegColour", &RunOptions::SegColour, 0, 1);
  for (int i = 1; i <= 5; ++i) {
    std::string s = std::to_string(i);
    c.push_back({"SegEdge" + s, Kind::Text, nullptr, [i](RunOptions& o) { return &o.SegEdge[i]; }});
    c.push_back({"SegX" + s, Kind::Text, nullptr, [i](RunOptions& o) { return &o.SegX[i]; }});
    c.push_back({"SegY" + s, Kind::Text, nullptr, [i](RunOptions& o) { return &o.SegY[i]; }});
    c.push_back({"SegZ" + s, Kind::Text, nullptr, [i](RunOptions& o) { return &o.SegZ[i]; }});
    c.push_back({"SegTrans" + s, Kind::Box, [i](RunOptions& o) { return &o.SegTrans[i]; }, nullptr, 2, 0});
    c.push_back({"FlipX" + s, Kind::Box, [i](RunOptions& o) { return &o.FlipX[i]; }, nullptr, 2, 0});
    c.push_back({"FlipY" + s, Kind::Box, [i](RunOptions& o) { return &o.FlipY[i]; }, nullptr, 2, 0});
    c.push_back({"FlipZ" + s, Kind::Box, [i](RunOptions& o) { return &o.FlipZ[i]; }, nullptr, 2, 0});
  }
  return c;
}

const std::vector<Control>& Controls() {
  static const std::vector<Control> controls = BuildControls();
  return controls;
}

std::optional<int> ParseWhole(std::string_view v) {
  if (v.empty()) return std::nullopt;
  size_t i = 0;
  bool neg = false;
  if (v[0] == '-') {
    neg = true;
    i = 1;
  }
  if (i >= v.size()) return std::nullopt;
  int n = 0;
  for (; i < v.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(v[i])) || n > 1000) return std::nullopt;
    n = n * 10 + (v[i] - '0');
  }
  return neg ? -n : n;
}

}  // namespace

std::optional<std::string> SetControl(RunOptions& options, std::string_view name,
                                      std::string_view value) {
  for (const Control& c : Controls()) {
    if (c.name != name) continue;
    if (c.kind == Kind::Text) {
      *c.textField(options) = std::string(value);
      return std::nullopt;
    }
    auto n = ParseWhole(value);
    if (!n || *n < c.minIndex || *n > c.maxIndex) {
      return "option " + std::string(name) + " takes a whole number from " +
             std::to_string(c.minIndex) + " to " + std::to_string(c.maxIndex) + ", not '" +
             std::string(value) + "'";
    }
    *c.intField(options) = *n;
    return std::nullopt;
  }
  return "unknown option control '" + std::string(name) + "' (known: " + ControlNames() + ")";
}

std::string ControlNames() {
  std::string out;
  for (const Control& c : Controls()) {
    if (!out.empty()) out += ", ";
    out += c.name;
  }
  return out;
}

}  // namespace kelmor
