// A name from outside (the input's file name, the user's name) that holds a line break or
// another control character keeps every written file valid: inside the files it is shown
// escaped, while the files themselves keep the name as given.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "render/solid_mesh.h"
#include "support/kelmor_child.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

struct OddName {
  const char* name;
  std::string base;     // the input's name without ".txt"
  std::string shown;    // how the files show it
};

std::string VrmlEscaped(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch == '\\') out += '\\';
    out += ch;
  }
  return out;
}

class NamesInFiles : public ::testing::TestWithParam<OddName> {};

// Every line of the OFF file's head up to its counts is a comment or the header itself.
void ExpectOffHeadIntact(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "OFF\r");
  while (std::getline(in, line) && !line.empty() && line[0] == '#') {
  }
  const size_t first = line.find_first_not_of(' ');
  ASSERT_NE(first, std::string::npos);
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(line[first]))) << "a header line is no comment: " << line;
}

TEST_P(NamesInFiles, StayValidAndKeepTheFileName) {
  const OddName& c = GetParam();
  KelmorChild kelmor(std::string("names_") + c.name);
  const fs::path input = kelmor.dir / (c.base + ".txt");
  fs::copy_file(kelmor.cube(), input);
  ChildResult r = kelmor({"run", input.string(), "--out", kelmor.out(), "--quiet", "--seed", "1", "--pref",
                          "unam=Ann\nLee", "--userdata"});
  ASSERT_EQ(CrashSigns(r), "");
  ASSERT_EQ(r.status, 0) << r.err;
  const fs::path off = fs::path(kelmor.out()) / (c.base + ".off");
  ASSERT_TRUE(fs::exists(off)) << "the file keeps the name as given";
  const std::string text = ReadAll(off);
  ExpectOffHeadIntact(text);
  EXPECT_NE(text.find("#    " + c.shown + "   Generation Date"), std::string::npos) << text.substr(0, 300);
  EXPECT_NE(text.find("# Model by:  Ann\\nLee"), std::string::npos);
  render::SolidMesh mesh;
  EXPECT_EQ(render::ReadOffFile(off.string(), mesh), std::nullopt) << "Kelmor's own reader refuses it";

  // Inside a VRML string the escape's backslash is itself escaped.
  const std::string solid = ReadAll(fs::path(kelmor.out()) / (c.base + "_solid.wrl"));
  EXPECT_NE(solid.find("title \"" + VrmlEscaped(c.shown) + "   Generation Date"), std::string::npos)
      << solid.substr(0, 300);
  EXPECT_NE(solid.find("# Output name: " + c.shown + "\r\n"), std::string::npos);
  EXPECT_NE(solid.find("\"Author: Ann\\\\nLee\""), std::string::npos);
  EXPECT_NE(solid.find("# Model by:  Ann\\nLee"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cases, NamesInFiles,
                         ::testing::Values(OddName{"line_break", "new\nline", "new\\nline"},
                                           OddName{"carriage_return", "cr\rname", "cr\\rname"},
                                           OddName{"tab_and_escape", "a\tb\x1b", "a\\tb\\x1b"},
                                           OddName{"delete", "del\x7f", "del\\x7f"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmor::testing
