#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run/run.h"
#include "run/run_values.h"
#include "settings/settings_file.h"
#include "support/test_host.h"

// The defaults of kelmor.ini as the settings table gives them, written out here on
// their own rather than taken from the program's key list.
namespace kelmor {
namespace {

namespace fs = std::filesystem;

struct Default {
  const char* key;
  const char* value;
};

// In the order a new file receives them (after diri and diro).
const Default kDefaults[] = {
    {"unam", "undefined"}, {"usid", "undefined"}, {"f001", "100"},      {"f002", "100"},
    {"f003", "10"},        {"f004", "10"},        {"f005", "20"},       {"f006", "100"},
    {"fram", "3"},         {"vsol", "1"},         {"vfrm", "1"},        {"vswt", "1"},
    {"vanm", "1"},         {"voff", "1"},         {"scrn", "3"},        {"colb", "0.0.0"},
    {"cole", "0.0.0"},     {"edge", "0"},         {"nedg", "0"},        {"hedg", "255.255.0"},
    {"beep", "0"},         {"rlin", "255.255.0"}, {"rfac", "192"},      {"rtrn", "1"},
    {"tran", "0.5"},       {"ssol", "solid"},     {"sfrm", "frame"},    {"sswt", "switch"},
    {"sanm", "anim"},      {"vscl", "1"},         {"vxsz", "5"},        {"vxcl", "255"},
    {"vcyl", "1"},         {"scyl", "cylinder"},  {"cyls", "1"},        {"cylc", "255.255.0"},
    {"cy2c", "0.255.255"}, {"extc", "255.0.0"},   {"comc", "255.0.0"},  {"disb", "255.255.0"},
    {"vlab", "1"},         {"otsm", "0"},         {"rcl1", "255.0.255"}, {"rcl2", "128.0.255"},
    {"rcl3", "128.0.128"}, {"hxc1", "0.255.128"}, {"hxc2", "0.128.255"}, {"rclo", "0"},
    {"clp3", "0.0.255"},   {"clp4", "255.128.0"}, {"clp5", "0.255.0"},  {"cl52", "0.160.0"},
    {"clp6", "0.160.255"}, {"clp7", "205"},       {"clp8", "255.0.255"}, {"cl83", "128.0.128"},
    {"clpx", "255.0.0"},   {"clx3", "160.64.0"},  {"cls1", "0.0.255"},  {"cls2", "255.0.0"},
    {"cls3", "0.255.0"},   {"cls4", "255.128.0"}, {"cls5", "255.0.255"}, {"clph", "255.255.0"},
    {"uc00", "128.128.128"}, {"uc01", "128.128.128"}, {"uc02", "128.128.128"}, {"uc03", "128.128.128"},
    {"uc04", "128.128.128"}, {"uc05", "128.128.128"}, {"uc06", "128.128.128"}, {"uc07", "128.128.128"},
    {"uc08", "128.128.128"}, {"uc09", "128.128.128"}, {"uc10", "128.128.128"}, {"uc11", "128.128.128"},
    {"uc12", "128.128.128"}, {"uc13", "128.128.128"}, {"uc14", "128.128.128"}, {"uc15", "128.128.128"},
    {"uc16", "128.128.128"}, {"uc17", "128.128.128"}, {"xcl1", "0.0.0"}, {"xcl2", "255.255.255"},
    {"lbcv", "255.255.255"}, {"lbcf", "28.128.128"},
};

std::string Folder() {
  std::string pattern = (fs::temp_directory_path() / "kelmor-defaults-XXXXXX").string();
  return ::mkdtemp(pattern.data());
}

TEST(SettingsDefaults, ANewFileHoldsTheTableDefaultsInItsOwnOrder) {
  const std::string dir = Folder(), path = dir + "/kelmor.ini";
  Preferences prefs(dir);
  std::vector<std::string> messages;
  LoadSettings(prefs, path, dir, [&](const std::string& m) { messages.push_back(m); });
  EXPECT_TRUE(messages.empty());

  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::string expected = "diri=" + dir + "\r\ndiro=" + dir + "\r\n";
  for (const Default& d : kDefaults) expected += std::string(d.key) + "=" + d.value + "\r\n";
  EXPECT_EQ(all.str(), expected + "end \r\n \r\n");
  for (const Default& d : kDefaults) EXPECT_EQ(prefs.text(d.key), d.value) << d.key;
  EXPECT_EQ(PreferenceKeys().size(), std::size(kDefaults) + 2);
  fs::remove_all(dir);
}

// Before any file is read the set holds the same values, except the molecule suffix and
// the face total label colour.
TEST(SettingsDefaults, StartUpValuesDifferOnlyInTwoKeys) {
  Preferences prefs("/somewhere");
  for (const Default& d : kDefaults) {
    const std::string key = d.key;
    const std::string want = key == "scyl" ? "molecule" : key == "lbcf" ? "128.128.128" : d.value;
    EXPECT_EQ(prefs.text(key), want) << key;
  }
  EXPECT_EQ(prefs.text("diri"), "/somewhere");
}

// Keys are found whatever their case, and only four-letter keys of the table are keys.
TEST(SettingsDefaults, KeysAreFoundInAnyCaseAndNothingElseIs) {
  Preferences prefs("/somewhere");
  const Preferences untouched("/somewhere");
  std::vector<std::string> keys = {"diri", "diro"};
  for (const Default& d : kDefaults) keys.push_back(d.key);
  for (const std::string& key : keys) {
    std::string upper = key, mixed = key;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    mixed[0] = upper[0];
    for (const std::string& spelt : {key, upper, mixed}) {
      const PrefKey* p = FindPreferenceKey(spelt);
      ASSERT_NE(p, nullptr) << spelt;
      EXPECT_EQ(std::string(p->key), key);
      EXPECT_TRUE(prefs.has(spelt));
      EXPECT_EQ(&prefs.text(spelt), &prefs.text(key)) << spelt;
    }
  }
  const std::string notKeys[] = {"", "f", "f00", "f0011", " f001", "f001 ", "f00 ", "zzzz",
                                 "uc18", "f000", std::string("f00\0", 4), "f\xe9""01", "end "};
  for (const std::string& key : notKeys) {
    EXPECT_EQ(FindPreferenceKey(key), nullptr) << key;
    EXPECT_FALSE(prefs.has(key)) << key;
    EXPECT_EQ(prefs.text(key), "") << key;
    prefs.set(key, "1");  // ignored
  }
  EXPECT_TRUE(prefs == untouched);
  prefs.set("UNAM", "Ada");
  EXPECT_EQ(prefs.text("unam"), "Ada");
  EXPECT_FALSE(prefs == untouched);
}

// A run takes its six strengths from f001..f006; Reset restores them.
TEST(SettingsDefaults, ForceStrengthsReachTheRunAndResetRestoresThem) {
  const double strengths[7] = {0, 100, 100, 10, 10, 20, 100};
  Session session;
  TestHost host;
  kelmor::Run run{session, host};
  ReadRunStart(run);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(run.Strength[i], strengths[i]) << "Strength " << i;

  for (const char* key : {"f001", "f002", "f003", "f004", "f005", "f006"}) session.prefs.set(key, "7");
  session.prefs.resetForces();
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(session.prefs.number(kDefaults[1 + i].key), strengths[i]) << i;

  session.prefs.set("f004", "12.5");  // each key feeds its own strength
  session.prefs.set("f006", "3");
  ReadRunStart(run);
  EXPECT_EQ(run.Strength[4], 12.5);
  EXPECT_EQ(run.Strength[6], 3.0);
  EXPECT_EQ(run.Strength[5], 20.0);
}

}  // namespace
}  // namespace kelmor
