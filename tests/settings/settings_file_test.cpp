#include "settings/settings_file.h"
#include "support/file_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utime.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kelmor-settings-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  std::string str() const { return path_.string(); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

// Loads a file with the given text; returns the messages shown.
struct Loaded {
  Preferences prefs;
  std::vector<std::string> messages;
};

Loaded Load(const TempDir& dir, const std::string& text) {
  std::string path = dir.file("kelmor.ini");
  WriteAll(path, text);
  Loaded r{Preferences(dir.str()), {}};
  LoadSettings(r.prefs, path, dir.str(), [&r](const std::string& m) { r.messages.push_back(m); });
  return r;
}

const char* kProblem = "Kelmor has detected a problem with kelmor.ini  Delete this file and restart kelmor";

TEST(SettingsFile, MissingFileIsCreatedWithTheDefaultsAndReadBack) {
  TempDir dir;
  std::string path = dir.file("kelmor.ini");
  Preferences prefs(dir.str());
  EXPECT_EQ(prefs.text("scyl"), "molecule");  // start-up values differ from the file defaults
  EXPECT_EQ(prefs.text("lbcf"), "128.128.128");
  std::vector<std::string> messages;
  LoadSettings(prefs, path, dir.str(), [&](const std::string& m) { messages.push_back(m); });
  EXPECT_TRUE(messages.empty());

  Preferences defaults(dir.str());
  defaults.setDefaults(dir.str());
  EXPECT_TRUE(prefs == defaults);
  EXPECT_EQ(prefs.text("scyl"), "cylinder");
  EXPECT_EQ(prefs.text("lbcf"), "28.128.128");

  std::vector<std::string> lines = CrLfLines(ReadAll(path));
  ASSERT_EQ(lines.size(), PreferenceKeys().size() + 2);
  EXPECT_EQ(lines[0], "diri=" + dir.str());
  EXPECT_EQ(lines[1], "diro=" + dir.str());
  EXPECT_EQ(lines[2], "unam=undefined");
  EXPECT_EQ(lines[15], "voff=1");  // voff follows vanm; vcyl comes later
  EXPECT_EQ(lines[18], "cole=0.0.0");
  EXPECT_EQ(lines[19], "edge=0");
  EXPECT_EQ(lines[34], "vcyl=1");
  EXPECT_EQ(lines[35], "scyl=cylinder");
  EXPECT_EQ(lines[42], "vlab=1");
  EXPECT_EQ(lines[49], "rclo=0");
  EXPECT_EQ(lines[lines.size() - 3], "lbcf=28.128.128");
  EXPECT_EQ(lines[lines.size() - 2], "end ");
  EXPECT_EQ(lines.back(), " ");
  // Every key exactly once.
  for (const PrefKey& k : PreferenceKeys()) {
    int seen = 0;
    for (const std::string& l : lines) seen += l.rfind(std::string(k.key) + "=", 0) == 0;
    EXPECT_EQ(seen, 1) << k.key;
  }
}

TEST(SettingsFile, ItemsKeysAndValues) {
  TempDir dir;
  std::string longName(120, 'x');
  longName[98] = 'y';
  Loaded r = Load(dir,
                  "VSOL=0\r\n"
                  "  Unam=" + longName + "\r\n"
                  "usid=Smith, John\r\n"
                  "vfrm=2\r\n"
                  "vswt=1.0\r\n"
                  "beep:1\r\n"  // the fifth character is not examined
                  "vlab=0\n"    // a lone LF ends a line as well
                  "\r\n"
                  "end \r\n"
                  "unam=after the end\r\n");
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], "Unknown line in kelmor.ini: John");
  EXPECT_EQ(r.prefs.text("usid"), "Smith");
  EXPECT_FALSE(r.prefs.flag("vsol"));
  EXPECT_EQ(r.prefs.text("unam"), longName.substr(0, 99));
  EXPECT_FALSE(r.prefs.flag("vfrm"));
  EXPECT_TRUE(r.prefs.flag("vswt"));
  EXPECT_TRUE(r.prefs.flag("beep"));
  EXPECT_EQ(r.prefs.text("vlab"), "0");
  EXPECT_TRUE(r.prefs.flag("vanm"));  // not mentioned: keeps its start-up value
}

// Only the three letters "end", in any case, end the file; a key matches in any case of
// its ASCII letters and in no other spelling.
TEST(SettingsFile, EndMarkerAndKeySpellings) {
  struct Case {
    const char* item;
    bool ends;       // the line after it is not applied
    bool unknown;    // reported as an unknown line
  };
  const Case cases[] = {
      {"END", true, false},     {"eNd", true, false},   {"end ", true, false},
      {"ends", false, true},    {"end=", false, true},  {"en", false, true},
      {"e\xCE" "d", false, true},  {"UNAM=Bo", false, false}, {"\xD5nam=Bo", false, true},
      {"f\x10" "01=5", false, true},
  };
  for (const Case& c : cases) {
    TempDir dir;
    Loaded r = Load(dir, std::string(c.item) + "\r\nf001=7\r\nend \r\n");
    EXPECT_EQ(r.prefs.text("f001"), c.ends ? "100" : "7") << c.item;
    EXPECT_EQ(r.messages.size(), c.unknown ? 1u : 0u) << c.item;
    if (std::string(c.item) == "UNAM=Bo") EXPECT_EQ(r.prefs.text("unam"), "Bo");
  }
}

// A save killed half-way leaves its temporary beside the real file; loading removes it
// there once it is old, also when kelmor.ini is a symbolic link into another folder.
TEST(SettingsFile, LoadingRemovesOldSaveTemporariesBesideTheRealFile) {
  for (const bool linked : {false, true}) {
    TempDir dir;
    const fs::path real = fs::path(dir.str()) / (linked ? "elsewhere" : "") / "kelmor.ini";
    fs::create_directories(real.parent_path());
    WriteAll(real.string(), "f001=5\r\nend \r\n");
    if (linked) fs::create_symlink(real, dir.file("kelmor.ini"));
    const fs::path old = real.parent_path() / "kelmor.ini.Ab12Cd", fresh = real.parent_path() / "kelmor.ini.Xy34Zw";
    WriteAll(old.string(), "x");
    WriteAll(fresh.string(), "x");
    struct utimbuf longAgo {1000000000, 1000000000};
    ::utime(old.c_str(), &longAgo);
    Preferences prefs(dir.str());
    LoadSettings(prefs, dir.file("kelmor.ini"), dir.str(), [](const std::string&) {});
    EXPECT_EQ(prefs.text("f001"), "5") << linked;
    EXPECT_FALSE(fs::exists(old)) << linked;
    EXPECT_TRUE(fs::exists(fresh)) << linked;
  }
}

// A file that opens but cannot be read (the kernel answers EIO for the first page of a
// process's memory) is reported, and the preferences keep their values.
TEST(SettingsFile, ReadErrorIsReportedAndNothingIsApplied) {
  if (::access("/proc/self/mem", R_OK) != 0) GTEST_SKIP() << "no /proc/self/mem";
  TempDir dir;
  Preferences prefs(dir.str());
  std::vector<std::string> messages;
  LoadSettings(prefs, "/proc/self/mem", dir.str(), [&messages](const std::string& m) { messages.push_back(m); });
  EXPECT_EQ(messages, std::vector<std::string>{kProblem});
  EXPECT_TRUE(prefs == Preferences(dir.str()));
}

TEST(SettingsFile, FileWithoutEndLineIsReportedAfterApplyingEveryLine) {
  TempDir dir;
  Loaded r = Load(dir, "f001=50\r\nf006=7");
  EXPECT_EQ(r.prefs.text("f001"), "50");
  EXPECT_EQ(r.prefs.text("f006"), "7");
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], kProblem);
  EXPECT_EQ(Load(dir, "").messages, std::vector<std::string>{kProblem});
}

TEST(SettingsFile, MissingFolderResetsBothFoldersAndLoadingGoesOn) {
  TempDir dir;
  Loaded r = Load(dir, "diri=/tmp\r\ndiro=" + dir.file("no-such-folder") + "\r\nf002=1\r\nend \r\n");
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0],
            "One of your default file paths was not found.  Kelmor has reset your file paths to " +
                dir.str());
  EXPECT_EQ(r.prefs.text("diri"), dir.str());
  EXPECT_EQ(r.prefs.text("diro"), dir.str());
  EXPECT_EQ(r.prefs.text("f002"), "1");

  // A good folder after the reset is taken; the message comes once for each bad key,
  // not again for a key repeated.
  r = Load(dir, "diri=/nowhere/a\r\ndiro=/nowhere/b\r\ndiro=/nowhere/c\r\ndiro=/tmp\r\nend \r\n");
  EXPECT_EQ(r.messages.size(), 2u);
  EXPECT_EQ(r.prefs.text("diri"), dir.str());
  EXPECT_EQ(r.prefs.text("diro"), "/tmp");
}

TEST(SettingsFile, DamagedFilesNeverStopTheProgram) {
  TempDir dir;
  // Binary bytes, control characters and one huge item: a few messages, then the stop.
  std::string junk("\x01\x02\x00\xff,", 5);
  for (int i = 0; i < 20; ++i) junk += "zz" + std::string(1, static_cast<char>(i)) + "\n";
  junk += std::string(5'000'000, 'q');
  Loaded r = Load(dir, junk);
  ASSERT_EQ(r.messages.size(), 11u);
  EXPECT_EQ(r.messages[0], "Unknown line in kelmor.ini: ???\xff");
  EXPECT_EQ(r.messages[1], "Unknown line in kelmor.ini: zz?");
  EXPECT_EQ(r.messages.back(), kProblem);

  r = Load(dir, std::string(1'000'000, 'q') + "\nend");
  EXPECT_EQ(r.messages, std::vector<std::string>{"Unknown line in kelmor.ini: " + std::string(200, 'q') + "..."});
  r = Load(dir, "unam=" + std::string(1'000'000, 'n'));
  EXPECT_EQ(r.prefs.text("unam").size(), 99u);

}

// The file is read a block at a time: items, blanks and a cut item that straddle a block
// edge read as they do from the same text in memory, and as expected.
TEST(SettingsFile, ItemsAcrossBlockEdgesReadAsFromMemory) {
  TempDir dir;
  const std::string longItem = "colour=" + std::string(300, 'x');
  const std::vector<std::string> wantMessages = {
      "Unknown line in kelmor.ini: " + longItem.substr(0, 200) + "..."};
  for (size_t lead : {4080u, 4088u, 4090u, 4093u, 4094u, 4095u, 4096u, 4097u, 8000u, 8191u}) {
    const std::string text = std::string(lead, ',') + "  unam=Ada  \r\nF001=5\n\t" + longItem +
                             "\r\n" + std::string(lead % 7, ' ') + "usid=Ada Lovelace,end \r\nf002=1\r\n";
    Loaded fromFile = Load(dir, text);
    Loaded fromText{Preferences(dir.str()), {}};
    ReadSettingsText(fromText.prefs, text, dir.str(),
                     [&fromText](const std::string& m) { fromText.messages.push_back(m); });
    EXPECT_EQ(fromFile.messages, wantMessages) << lead;
    EXPECT_EQ(fromText.messages, wantMessages) << lead;
    EXPECT_TRUE(fromFile.prefs == fromText.prefs) << lead;
    EXPECT_EQ(fromFile.prefs.text("unam"), "Ada") << lead;
    EXPECT_EQ(fromFile.prefs.text("f001"), "5") << lead;
    EXPECT_EQ(fromFile.prefs.text("usid"), "Ada Lovelace") << lead;
    EXPECT_EQ(fromFile.prefs.text("f002"), "100") << lead;  // after "end"
  }
}

// Only a regular file (or nothing yet) is read or replaced: a folder, a FIFO (reading it
// would wait for ever) or a device node is named and left as it is; the start-up values stay.
TEST(SettingsFile, PathsThatAreNotFilesAreNamedAndLeftAlone) {
  TempDir dir;
  const std::string fifo = dir.file("pipe.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    const char* kind;
  } rows[] = {{dir.str(), "a folder"}, {fifo, "a FIFO (named pipe)"}, {"/dev/null", "a device"}};
  for (const auto& row : rows) {
    Preferences prefs(dir.str());
    std::vector<std::string> messages;
    auto note = [&](const std::string& m) { messages.push_back(m); };
    LoadSettings(prefs, row.path, dir.str(), note);
    const std::string named = "Kelmor cannot use " + row.path + " as its settings file: it is " + row.kind +
                              ", not a regular file.";
    ASSERT_EQ(messages.size(), 1u) << row.path;
    EXPECT_EQ(messages[0], named + "  Kelmor goes on with the default preferences.");
    EXPECT_EQ(prefs.text("scyl"), "molecule");
    messages.clear();
    EXPECT_EQ(SaveSettings(prefs, row.path, false, note), SaveResult::Failed) << row.path;
    EXPECT_EQ(messages, std::vector<std::string>{named + "  Your preferences have not been saved."});
  }
  struct stat st {};
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

class SaveTest : public ::testing::Test {
 protected:
  SaveResult Save(bool runOnly) {
    messages.clear();
    return SaveSettings(prefs, path, runOnly, [this](const std::string& m) { messages.push_back(m); });
  }
  TempDir dir;
  std::string path = dir.file("kelmor.ini");
  Preferences prefs{dir.str()};
  std::vector<std::string> messages;
};

TEST_F(SaveTest, SuffixClashRefusedOnlyBetweenSelectedOutputs) {
  prefs.set("sswt", "  solid ");
  EXPECT_EQ(Save(false), SaveResult::Refused);
  EXPECT_EQ(messages, std::vector<std::string>{"Error: Suffixes for selected output files must be different"});
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(prefs.text("sswt"), "solid");  // cleaned up even when refused

  prefs.setFlag("vswt", false);
  EXPECT_EQ(Save(false), SaveResult::Saved);
  EXPECT_EQ(messages, std::vector<std::string>{"Kelmor User Preferences Updated"});

  // Two empty suffixes become one blank each, and then clash.
  prefs.set("sanm", "");
  prefs.set("scyl", "");
  EXPECT_EQ(Save(false), SaveResult::Refused);
  EXPECT_EQ(prefs.text("scyl"), " ");
}

TEST_F(SaveTest, TransparencyCheckedOnlyWhenSavingForGood) {
  prefs.set("tran", "1.5");
  EXPECT_EQ(Save(false), SaveResult::Refused);
  EXPECT_EQ(messages, std::vector<std::string>{"Error: Transparency Level must be between 0 and 1"});
  EXPECT_EQ(Save(true), SaveResult::RunOnly);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(fs::exists(path));
  prefs.set("tran", "1e999");
  EXPECT_EQ(Save(false), SaveResult::Refused);
}

TEST_F(SaveTest, SavedFileReadsBackTheSameSet) {
  prefs.set("vlab", "0");
  prefs.set("unam", "Ann\r\nLee");  // a line break would split the file's line
  prefs.set("vcyl", "1.0");
  ASSERT_EQ(Save(false), SaveResult::Saved);
  std::vector<std::string> lines = CrLfLines(ReadAll(path));
  ASSERT_EQ(lines.size(), PreferenceKeys().size() + 1);
  for (size_t i = 0; i < PreferenceKeys().size(); ++i)
    EXPECT_EQ(lines[i].substr(0, 5), std::string(PreferenceKeys()[i].key) + "=");
  EXPECT_EQ(lines.back(), "end ");
  std::string text;  // the saver's text without the file: the same bytes
  EXPECT_EQ(SettingsText(prefs, false, [](const std::string&) {}, text), SaveResult::Saved);
  EXPECT_EQ(text, ReadAll(path));

  Preferences again(dir.str());
  std::vector<std::string> loadMessages;
  LoadSettings(again, path, dir.str(), [&](const std::string& m) { loadMessages.push_back(m); });
  EXPECT_TRUE(loadMessages.empty());
  EXPECT_EQ(again.text("vlab"), "0");
  EXPECT_EQ(again.text("unam"), "Ann  Lee");
  EXPECT_TRUE(again.flag("vcyl"));
  EXPECT_EQ(again.text("scyl"), "molecule");  // saved from the start-up value
  prefs.set("unam", "Ann  Lee");
  EXPECT_TRUE(again == prefs);
}

TEST_F(SaveTest, FailedWriteLeavesThePreviousFile) {
  WriteAll(path, "f001=1\r\nend \r\n");
  const std::string before = ReadAll(path);

  // The disk fills half-way through the new file.
  struct rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100;
  ::setrlimit(RLIMIT_FSIZE, &small);
  SaveResult r = Save(false);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(r, SaveResult::Failed);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("could not save"), std::string::npos) << messages[0];
  EXPECT_EQ(ReadAll(path), before);
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir.str())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1) << "temporary file left behind";

  // A folder in the way of the file.
  fs::create_directory(dir.file("taken"));
  EXPECT_EQ(SaveSettings(prefs, dir.file("taken"), false, [](const std::string&) {}), SaveResult::Failed);
  EXPECT_TRUE(fs::is_directory(dir.file("taken")));
}

TEST(SettingsPath, ExplicitThenEnvironmentThenProgramFolderThenConfigFolder) {
  TempDir dir;
  const char* oldIni = std::getenv("KELMOR_INI");
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  std::string savedIni = oldIni ? oldIni : "", savedXdg = oldXdg ? oldXdg : "";

  ::unsetenv("KELMOR_INI");
  ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
  EXPECT_EQ(SettingsPath("/x/my.ini", dir.str()), "/x/my.ini");
  EXPECT_EQ(SettingsPath("", dir.str()), dir.file("kelmor.ini"));
  EXPECT_EQ(SettingsPath("", dir.file("gone")), dir.file("config") + "/kelmor/kelmor.ini");
  EXPECT_TRUE(fs::is_directory(dir.file("config") + "/kelmor"));
  ::setenv("KELMOR_INI", "/y/env.ini", 1);
  EXPECT_EQ(SettingsPath("", dir.str()), "/y/env.ini");

  if (oldIni) ::setenv("KELMOR_INI", savedIni.c_str(), 1); else ::unsetenv("KELMOR_INI");
  if (oldXdg) ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kelmor
