#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

enum class PrefKind { Text, Number, Colour, Flag, Choice, Path };

struct PrefKey {
  const char* key;       // four letters
  PrefKind kind;
  const char* defaultValue;  // the value written when the file is created
  const char* meaning;
};

// Every key, in the order the preferences window writes them.
const std::vector<PrefKey>& PreferenceKeys();
const PrefKey* FindPreferenceKey(std::string_view key);  // case-insensitive; nullptr if unknown

// How a flag or the vertex-label choice reads a value: on only when its leading number
// is exactly 1 ("1", "1.0", " 1x"); "2", "0.9", "", "abc" are off.
bool OnWhenOne(std::string_view value);

// The preference set: one entry per key, held as text; flags and the vertex-label
// choice are held as "0" or "1". Lives as long as the program (in the Session).
class Preferences {
 public:
  // Built-in start-up values: the defaults, except scyl "molecule", lbcf 128.128.128
  // and the folders, which start as programFolder.
  explicit Preferences(std::string programFolder = ".");

  const std::string& text(std::string_view key) const;  // unknown key: empty text
  // The value of PreferenceKeys()[index], for index below the number of keys.
  const std::string& textAt(size_t index) const { return values_[index]; }
  double number(std::string_view key) const;             // leading number of the text
  bool flag(std::string_view key) const;                 // "1"
  // Unknown key: ignored. Flags and the vertex-label choice are stored as "1" when the
  // value reads as exactly 1 and as "0" otherwise, whoever sets them.
  void set(std::string_view key, std::string_view value);
  void setFlag(std::string_view key, bool on) { set(key, on ? "1" : "0"); }
  bool has(std::string_view key) const;

  // Resets the six force strengths to 100, 100, 10, 10, 20, 100.
  void resetForces();

  // Sets every key to the default written into a new file.
  void setDefaults(const std::string& programFolder);

  bool operator==(const Preferences& other) const { return values_ == other.values_; }

 private:
  std::vector<std::string> values_;  // one per key, in the order of PreferenceKeys()
};

}  // namespace kelmor
