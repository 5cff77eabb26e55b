// Settings files reached by odd paths: a save keeps the lines it does not know, a loop of
// symbolic links is refused with words and left as it is, a dangling link is saved to the
// file it names, and the error numbers for a missing folder come with a plain line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/kelmor_child.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

TEST(SettingsPaths, SaveKeepsLinesItDoesNotKnow) {
  KelmorChild kelmor("settings_keep");
  std::ofstream(kelmor.ini(), std::ios::binary) << "f001=50\r\nmine=my own\r\nedge=1\r\nend \r\n' notes after the end\r\n";
  ChildResult r = kelmor({"prefs", "--pref", "f002=70", "--save"});
  ASSERT_EQ(CrashSigns(r), "");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string saved = ReadAll(kelmor.ini());
  EXPECT_NE(saved.find("f001=50\r\n"), std::string::npos);
  EXPECT_NE(saved.find("f002=70\r\n"), std::string::npos);
  EXPECT_NE(saved.find("mine=my own\r\nend \r\n' notes after the end\r\n"), std::string::npos) << saved;

  // A file with nothing unknown saves exactly as before: the keys, then "end".
  fs::remove(kelmor.ini());
  ASSERT_EQ(kelmor({"prefs", "--save"}).status, 0);
  const std::string plain = ReadAll(kelmor.ini());
  EXPECT_EQ(plain.rfind("end \r\n"), plain.size() - 6);
  EXPECT_EQ(plain.find("mine"), std::string::npos);
}

TEST(SettingsPaths, LoopOfLinksIsRefusedAndLeftAlone) {
  KelmorChild kelmor("settings_loop");
  const fs::path a = kelmor.dir / "a.ini", b = kelmor.dir / "b.ini";
  fs::create_symlink(b, a);
  fs::create_symlink(a, b);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"prefs", "--settings", a.string()},
        {"prefs", "--settings", a.string(), "--save"},
        {"run", kelmor.cube(), "--settings", a.string(), "--quiet"}}) {
    ChildResult r = kelmor(args);
    ASSERT_EQ(CrashSigns(r), "");
    EXPECT_EQ(r.status, 2) << args.back() << "\n" << r.err;
    EXPECT_NE(r.err.find("is a loop of symbolic links"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_symlink(a) && fs::is_symlink(b)) << "the loop was replaced";
  }
  // As input it is named for what it is too.
  ChildResult r = kelmor({"run", a.string(), "--quiet"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("is a loop of symbolic links, not an input file"), std::string::npos) << r.err;
}

TEST(SettingsPaths, DanglingLinkIsSavedToItsTarget) {
  KelmorChild kelmor("settings_dangling");
  fs::create_directories(kelmor.dir / "real");
  const fs::path link = kelmor.dir / "kelmor.ini", target = kelmor.dir / "real" / "kelmor.ini";
  fs::create_symlink(fs::path("real") / "kelmor.ini", link);  // relative, as people make them
  ChildResult r = kelmor({"prefs", "--pref", "f003=12", "--save"});
  ASSERT_EQ(CrashSigns(r), "");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(link)) << "the link was replaced by a file";
  EXPECT_NE(ReadAll(target).find("f003=12\r\n"), std::string::npos);
}

TEST(SettingsPaths, ErrorNumbersComeWithWords) {
  KelmorChild kelmor("settings_missing");
  const std::string missing = (kelmor.dir / "no" / "such" / "kelmor.ini").string();
  std::ofstream(kelmor.dir / "plain") << "x";
  const std::string underFile = (kelmor.dir / "plain" / "kelmor.ini").string();
  for (const std::string& path : {missing, underFile}) {
    ChildResult r = kelmor({"prefs", "--settings", path});
    ASSERT_EQ(CrashSigns(r), "");
    EXPECT_NE(r.err.find("Kelmor has detected error number 76\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("The settings file " + path + " cannot be reached: a folder on its path does not exist"),
              std::string::npos)
        << r.err;
  }
}

}  // namespace
}  // namespace kelmor::testing
