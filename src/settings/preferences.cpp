#include "settings/preferences.h"

#include <algorithm>
#include <cctype>

#include "model/numtext.h"
#include "run/error.h"

namespace kelmor {

namespace {

using K = PrefKind;

std::vector<PrefKey> BuildKeys() {
  std::vector<PrefKey> keys = {
      {"diri", K::Path, "", "input folder of the file-selection window"},
      {"diro", K::Path, "", "output folder of the file-selection window"},
      {"unam", K::Text, "undefined", "user's name, copied into output files"},
      {"usid", K::Text, "undefined", "user's e-mail address, copied into output files"},
      {"f001", K::Number, "100", "relative strength of triangle-triangle edges"},
      {"f002", K::Number, "100", "relative strength of triangle-polygon and polygon-polygon edges"},
      {"f003", K::Number, "10", "relative strength of edges used by the hop algorithm"},
      {"f004", K::Number, "10", "relative strength of polygon diameter forces"},
      {"f005", K::Number, "20", "relative strength of dihedral bands used by local inflation"},
      {"f006", K::Number, "100", "relative strength of temporary bands removed before final relaxation"},
      {"fram", K::Number, "3", "framework edge width, percent of the distance to the polygon's centre"},
      {"vsol", K::Flag, "1", "write the solid VRML file"},
      {"vfrm", K::Flag, "1", "write the framework VRML file"},
      {"vswt", K::Flag, "1", "write the switchable VRML file"},
      {"vanm", K::Flag, "1", "write the animated VRML file"},
      {"vcyl", K::Flag, "1", "write the molecule (cylinder) VRML file"},
      {"voff", K::Flag, "1", "write the OFF file"},
      {"scrn", K::Number, "3", "drawing-window limit n: the window shows (-n,-n) to (n,n)"},
      {"beep", K::Flag, "0", "beep"},
      {"colb", K::Colour, "0.0.0", "VRML background colour"},
      {"cole", K::Colour, "0.0.0", "matched edge colour"},
      {"nedg", K::Colour, "0", "unmatched edge colour"},
      {"edge", K::Flag, "0", "display edges"},
      {"rlin", K::Colour, "255.255.0", "inter-realm line colour"},
      {"rfac", K::Colour, "192", "inter-realm face colour"},
      {"rtrn", K::Flag, "1", "inter-realm transparency"},
      {"tran", K::Number, "0.5", "transparency level, 0 (transparent) to 1 (opaque)"},
      {"hedg", K::Colour, "255.255.0", "highlight edge colour"},
      {"ssol", K::Text, "solid", "file-name suffix of the solid VRML file"},
      {"sfrm", K::Text, "frame", "suffix of the framework VRML file"},
      {"sswt", K::Text, "switch", "suffix of the switchable VRML file"},
      {"sanm", K::Text, "anim", "suffix of the animated VRML file"},
      {"scyl", K::Text, "cylinder", "suffix of the molecule VRML file"},
      {"vxsz", K::Number, "5", "size of highlight vertex spheres, percent"},
      {"vxcl", K::Colour, "255", "highlight vertex colour"},
      {"vlab", K::Choice, "1", "vertex-label mode: 1 billboard, 0 standard"},
      {"vscl", K::Number, "1", "viewpoint scale"},
      {"cyls", K::Number, "1", "edge cylinder diameter, percent of the edge length"},
      {"cylc", K::Colour, "255.255.0", "colour of the first set of edge cylinders"},
      {"cy2c", K::Colour, "0.255.255", "colour of the second set of edge cylinders"},
      {"extc", K::Colour, "255.0.0", "colour of extended edge cones"},
      {"comc", K::Colour, "255.0.0", "colour of compressed edge cones"},
      {"disb", K::Colour, "255.255.0", "colour of side distortion spheres"},
      {"otsm", K::Flag, "0", "output folder is the same as the input folder"},
      {"rcl1", K::Colour, "255.0.255", "rhombus colour, set 1 (D)"},
      {"rcl2", K::Colour, "128.0.255", "rhombus colour, set 2 (d)"},
      {"rcl3", K::Colour, "128.0.128", "rhombus colour, set 3 (q)"},
      {"rclo", K::Flag, "0", "rhombus colour override"},
      {"hxc1", K::Colour, "0.255.128", "distorted hexagon colour, set 1 (D)"},
      {"hxc2", K::Colour, "0.128.255", "distorted hexagon colour, set 2 (d)"},
      {"clp3", K::Colour, "0.0.255", "triangle colour"},
      {"clp4", K::Colour, "255.128.0", "square colour"},
      {"clp5", K::Colour, "0.255.0", "pentagon colour"},
      {"cl52", K::Colour, "0.160.0", "pentagram (5/2-gon) colour"},
      {"clp6", K::Colour, "0.160.255", "hexagon colour"},
      {"clp7", K::Colour, "205", "apolydronic (all other polygons) colour"},
      {"clp8", K::Colour, "255.0.255", "octagon colour"},
      {"cl83", K::Colour, "128.0.128", "octagram (8/3-gon) colour"},
      {"clpx", K::Colour, "255.0.0", "decagon colour"},
      {"clx3", K::Colour, "160.64.0", "decagram (10/3-gon) colour"},
      {"cls1", K::Colour, "0.0.255", "colour of segment 1"},
      {"cls2", K::Colour, "255.0.0", "colour of segment 2"},
      {"cls3", K::Colour, "0.255.0", "colour of segment 3"},
      {"cls4", K::Colour, "255.128.0", "colour of segment 4"},
      {"cls5", K::Colour, "255.0.255", "colour of segment 5"},
      {"clph", K::Colour, "255.255.0", "highlight colour"},
  };
  static const char* userKeys[18] = {"uc00", "uc01", "uc02", "uc03", "uc04", "uc05",
                                     "uc06", "uc07", "uc08", "uc09", "uc10", "uc11",
                                     "uc12", "uc13", "uc14", "uc15", "uc16", "uc17"};
  for (const char* k : userKeys) keys.push_back({k, K::Colour, "128.128.128", "user-defined colour"});
  keys.push_back({"xcl1", K::Colour, "0.0.0", "left colour of the colour range bar"});
  keys.push_back({"xcl2", K::Colour, "255.255.255", "right colour of the colour range bar"});
  keys.push_back({"lbcv", K::Colour, "255.255.255", "vertex label colour"});
  keys.push_back({"lbcf", K::Colour, "28.128.128", "face total label colour"});
  return keys;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool OnWhenOne(std::string_view value) {
  try {
    return ReadNumber(value) == 1.0;
  } catch (const KelmorError&) {
    return false;  // a number too large to read is certainly not 1
  }
}

const std::vector<PrefKey>& PreferenceKeys() {
  static const std::vector<PrefKey> keys = BuildKeys();
  return keys;
}

const PrefKey* FindPreferenceKey(std::string_view key) {
  std::string k = Lower(key);
  for (const PrefKey& p : PreferenceKeys())
    if (k == p.key) return &p;
  return nullptr;
}

Preferences::Preferences(std::string programFolder) {
  setDefaults(programFolder);
  values_["scyl"] = "molecule";
  values_["lbcf"] = "128.128.128";
}

void Preferences::setDefaults(const std::string& programFolder) {
  for (const PrefKey& p : PreferenceKeys()) values_[p.key] = p.defaultValue;
  values_["diri"] = programFolder;
  values_["diro"] = programFolder;
}

const std::string& Preferences::text(std::string_view key) const {
  static const std::string empty;
  auto it = values_.find(Lower(key));
  return it == values_.end() ? empty : it->second;
}

double Preferences::number(std::string_view key) const { return ReadNumber(text(key)); }

bool Preferences::flag(std::string_view key) const { return text(key) == "1"; }

bool Preferences::has(std::string_view key) const { return FindPreferenceKey(key) != nullptr; }

void Preferences::set(std::string_view key, std::string value) {
  const PrefKey* p = FindPreferenceKey(key);
  if (!p) return;
  if (p->kind == PrefKind::Flag || p->kind == PrefKind::Choice) value = OnWhenOne(value) ? "1" : "0";
  values_[p->key] = std::move(value);
}

void Preferences::resetForces() {
  values_["f001"] = "100";
  values_["f002"] = "100";
  values_["f003"] = "10";
  values_["f004"] = "10";
  values_["f005"] = "20";
  values_["f006"] = "100";
}

}  // namespace kelmor
