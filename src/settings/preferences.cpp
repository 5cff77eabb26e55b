#include "settings/preferences.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/numtext.h"
#include "model/error.h"

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

// A key's four letters in lower case as one number, so that a look-up compares numbers
// rather than texts; -1 for anything that is not four letters long. Only A-Z are lowered:
// keys are plain ASCII, and no other byte can make an unknown key match a known one, so
// the look-up does not depend on the locale.
int64_t KeyCode(std::string_view key) {
  if (key.size() != 4) return -1;
  int64_t code = 0;
  for (char c : key) {
    const auto byte = static_cast<unsigned char>(c);
    code = code << 8 | (static_cast<unsigned>(byte - 'A') < 26u ? byte | 0x20 : byte);
  }
  return code;
}

// Every key's place in PreferenceKeys(), found by its code in an open-addressed table a few
// times larger than the key list, so that a look-up mostly compares one number.
class KeyTable {
 public:
  KeyTable() {
    slots_.fill({-1, -1});
    const std::vector<PrefKey>& keys = PreferenceKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
      const int64_t code = KeyCode(keys[i].key);
      size_t s = Slot(code);
      while (slots_[s].index >= 0) s = (s + 1) % kSlots;
      slots_[s] = {code, static_cast<int>(i)};
    }
  }
  int find(int64_t code) const {
    for (size_t s = Slot(code);; s = (s + 1) % kSlots) {
      if (slots_[s].index < 0 || slots_[s].code == code) return slots_[s].index;
    }
  }

 private:
  static constexpr size_t kSlots = 512;
  static size_t Slot(int64_t code) { return static_cast<size_t>(static_cast<uint32_t>(code) * 2654435761u >> 23); }
  struct Entry {
    int64_t code;
    int index;
  };
  std::array<Entry, kSlots> slots_;
};

// The key's place in PreferenceKeys(), case-insensitive; -1 when unknown.
int KeyIndex(std::string_view key) {
  static const KeyTable table;
  const int64_t code = KeyCode(key);
  return code < 0 ? -1 : table.find(code);
}

// The place of a key that is certainly in the list.
size_t KnownKeyIndex(std::string_view key) { return static_cast<size_t>(KeyIndex(key)); }

// Every key's default, in the order of PreferenceKeys(), made once: setting the defaults
// copies texts of known length instead of measuring and copying 94 C strings each time.
const std::vector<std::string>& DefaultValues() {
  static const std::vector<std::string> values = [] {
    std::vector<std::string> v;
    for (const PrefKey& k : PreferenceKeys()) v.emplace_back(k.defaultValue);
    return v;
  }();
  return values;
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
  const int i = KeyIndex(key);
  return i < 0 ? nullptr : &PreferenceKeys()[static_cast<size_t>(i)];
}

Preferences::Preferences(std::string programFolder) {
  setDefaults(programFolder);
  static const size_t scyl = KnownKeyIndex("scyl"), lbcf = KnownKeyIndex("lbcf");
  values_[scyl] = "molecule";
  values_[lbcf] = "128.128.128";
}

void Preferences::setDefaults(const std::string& programFolder) {
  static const size_t diri = KnownKeyIndex("diri"), diro = KnownKeyIndex("diro");
  values_ = DefaultValues();
  values_[diri] = programFolder;
  values_[diro] = programFolder;
}

const std::string& Preferences::text(std::string_view key) const {
  static const std::string empty;
  const size_t i = static_cast<size_t>(KeyIndex(key));  // unknown: past every index
  return i < values_.size() ? values_[i] : empty;
}

double Preferences::number(std::string_view key) const { return ReadNumber(text(key)); }

bool Preferences::flag(std::string_view key) const { return text(key) == "1"; }

bool Preferences::has(std::string_view key) const { return KeyIndex(key) >= 0; }

void Preferences::set(std::string_view key, std::string_view value) {
  const size_t i = static_cast<size_t>(KeyIndex(key));  // unknown: past every index
  if (i >= values_.size()) return;
  const PrefKind kind = PreferenceKeys()[i].kind;
  if (kind == PrefKind::Flag || kind == PrefKind::Choice)
    values_[i] = OnWhenOne(value) ? "1" : "0";
  else
    values_[i].assign(value.data(), value.size());  // the old text's room, when it is enough
}

void Preferences::resetForces() {
  set("f001", "100");
  set("f002", "100");
  set("f003", "10");
  set("f004", "10");
  set("f005", "20");
  set("f006", "100");
}

}  // namespace kelmor
