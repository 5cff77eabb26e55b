// Malformed inputs and odd options through the real program: every run ends quickly with
// status 1, 2 or 3, says what is wrong on standard error in the system's words, and
// leaves no model file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A sanitizer build runs several times slower; the guard only catches runs that hang.
constexpr auto Guard = KELMOR_SANITIZED ? 20'000ms : 2'000ms;

struct BadInput {
  const char* name;
  std::string text;               // the input file
  std::vector<std::string> args;  // beside "run FILE"
  int status;
  const char* says;               // on standard error
};

std::string Repeat(const std::string& piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

std::string Face(int corners) {
  std::string s;
  for (int v = 0; v < corners; ++v) s += std::to_string(v) + ",";
  return s;
}

const char* const Resume62 = "KELMOR has come across error, attempting to resume 62\n";
const char* const NoFaces = "Input error: No faces found";
const char* const Unclosed = "Input error: End of file inside a block, check for its closing \"}\"";
const char* const MissingComma = "Input error: Possible missing comma at end of line";
const char* const Subscript = "Error: Subscript out of range.  Input file too large?";
const char* const Overflow = "Error: Overflow.  Try reducing some Force Strengths";

std::vector<BadInput> Cases() {
  const std::string cube = "{1,5,4,0,-1,2,0,4,6,-1,3,2,6,7,-1,1,3,7,5,-1,4,5,7,6,-1,0,2,3,1,-1,}";
  return {
      {"empty", "", {}, 1, Resume62},
      {"only_blanks", "  \n\t \n", {}, 1, NoFaces},
      {"no_brace", "1,2,3,-1,\n", {}, 1, NoFaces},
      {"only_comments", "' a cube, one day\n' { not yet }\n", {}, 1, NoFaces},
      {"empty_block", "{ }", {}, 1, NoFaces},
      {"block_of_blanks", "{\n\n}\n", {}, 1, NoFaces},
      {"closing_brace_only", "}", {}, 1, NoFaces},
      {"open_brace_only", "{", {}, 1, Unclosed},
      {"unclosed_block", "{ 1,2,3,-1,", {}, 1, Unclosed},
      {"nested_unclosed", "{ 1,2,3,-1, {", {}, 1, Unclosed},
      {"unclosed_after_comment", "{ 1,2,3,-1, ' }", {}, 1, Unclosed},
      {"star_step_13", "{ 1,2,3,-13, }", {}, 1, MissingComma},
      {"star_step_13_on_13_corners", "{" + Face(13) + "-13,}", {}, 1, MissingComma},
      {"step_above_size", "{ 1,2,3,-4, }", {}, 1, MissingComma},
      {"glued_lines", "{1,2,3,-1\n4,5,6,-1,}", {}, 1, MissingComma},
      {"cr_only_line_ends", "{1,2,3,-1\r4,5,6,-1,\r}", {}, 1, MissingComma},
      {"closing_number_alone", "{ -1, }", {}, 1, MissingComma},
      {"missing_comma_after_good_faces", "{1,2,3,-1, 2,3,4,-1 3,4,1,-1,}", {}, 1, MissingComma},
      {"face_never_closed", "{ 1,2,3,-1}", {}, 1, NoFaces},
      {"band_only", "{ 4,5,-1, }", {}, 1, NoFaces},
      {"vertices_without_face", "{ ,,, }", {}, 1, NoFaces},
      {"minus_zero", "{ -0, }", {}, 1, NoFaces},
      {"double_minus", "{ 1,2,--1, }", {}, 1, NoFaces},
      {"letters_only", "{ a b c x }", {}, 1, NoFaces},
      {"starting_positions_only", "{ (0,0,1,0,1,0,) }", {}, 1, NoFaces},
      {"eof_in_starting_positions", "{ (0,0,1,0,1", {}, 1,
       "Unexpected End of File in input, check for closing brackets"},
      {"binary_junk", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x01\xff\xfe", 20), {}, 1, NoFaces},
      {"nul_bytes_in_block", std::string("{\0\0\0}", 5), {}, 1, NoFaces},
      {"nul_glues_a_line", std::string("{1,2,3,-1\0" "4,5,6,-1,}", 20), {}, 1, MissingComma},
      {"byte_order_mark_empty", "\xEF\xBB\xBF{ }", {}, 1, NoFaces},
      {"byte_order_mark_glued", "\xEF\xBB\xBF{1,2,3,-1\r\n4,5,6,-1,}", {}, 1, MissingComma},
      {"realm_face_of_five", "{P}\n{LX}\n[\n1,1,1,1,1,-2,\n0,0,0,0,0,-1,\n]\n", {}, 1,
       "Input file error: Realm face can have at most four vertices"},
      {"huge_vertex_number", "{ 1" + std::string(400, '0') + ",2,3,-1, }", {}, 3, Overflow},
      {"huge_starting_positions", "{ (1e308,-1e308,1e308,-1e308,1e308,1e308,)" + cube.substr(1), {"--once"}, 3,
       Overflow},
      {"vertex_past_16_bits", "{ 99999,1,2,-1, }", {}, 3, Overflow},
      {"closing_number_past_16_bits", "{ 1,2,3,-2147483648, }", {}, 3, Overflow},
      {"very_long_number", "{" + std::string(5000, '9') + ",1,2,-1,}", {}, 3, Overflow},
      {"vertex_3001", "{ 1,2,3001,-1, }", {}, 3, Subscript},
      {"a_41st_vertex", "{" + Face(41) + "-1,}", {}, 3, Subscript},
      {"face_3001", "{" + Repeat("0,1,2,-1,", 3001) + "}", {}, 3, Subscript},
      // Options that are refused before anything is read.
      {"seed_minus_one", cube, {"--seed", "-1"}, 2, "the seed is a whole number from 0"},
      {"seed_fraction", cube, {"--seed", "1.5"}, 2, "the seed is a whole number from 0"},
      {"seed_too_large", cube, {"--seed", "18446744073709551616"}, 2, "the seed is a whole number from 0"},
      {"unknown_control", cube, {"--set", "NoSuchBox=1"}, 2, "unknown option control 'NoSuchBox'"},
      {"weaken_limit_two", cube, {"--weaken", "2", "--once"}, 2, "Error: Weaken limit must be >=3"},
      {"negative_iterations", cube, {"--max-iterations", "-5"}, 2, "--max-iterations"},
      {"negative_time_limit", cube, {"--time-limit", "-1"}, 2, "--time-limit"},
      {"segment_edge_below_zero", cube, {"--set", "SegEdge1=-1"}, 2,
       "Error: Segment 1 edge length must be >= 0"},
  };
}

class BadInputs : public ::testing::TestWithParam<BadInput> {};

// No written model: no VRML or OFF file at all, and above all no OFF file whose counts
// line is negative.
void ExpectNoModelFiles(const fs::path& dir) {
  for (const auto& e : fs::directory_iterator(dir)) {
    const fs::path& p = e.path();
    if (p.extension() == ".off") {
      std::string text = ReadAll(p);
      EXPECT_FALSE(std::regex_search(text, std::regex(R"(\n\s*-\d+\s+\d+\s+\d+)"))) << p;
    }
    EXPECT_NE(p.extension(), ".off") << p;
    EXPECT_NE(p.extension(), ".wrl") << p;
  }
}

TEST_P(BadInputs, EndsSoonWithItsStatusAndTheSystemsWords) {
  const BadInput& c = GetParam();
  const TempFolder folder;
  const fs::path& root = folder.path();
  fs::create_directories(root / "in");
  const fs::path input = root / "in" / (std::string(c.name) + ".txt");
  std::ofstream(input, std::ios::binary) << c.text;
  std::vector<std::string> args = {"run", input.string(), "--settings", (root / "kelmor.ini").string(),
                                   "--quiet"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  ChildResult r = RunChild(KELMOR_EXE, args, EnvironmentWith(PrivateHome(root)), root, Guard);
  EXPECT_FALSE(r.hung) << "still running after the guard";
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  ExpectNoModelFiles(root / "in");
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInputs, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Inputs and settings files that are not files: named for what they are, never waited on.
TEST(NotAFile, InputsAndSettingsAreRefusedWithWhatTheyAre) {
  const TempFolder folder;
  const fs::path& root = folder.path();
  fs::create_directories(root / "folder.txt");
  ASSERT_EQ(mkfifo((root / "pipe.txt").c_str(), 0600), 0);
  std::ofstream(root / "cube.txt") << "{1,5,4,0,-1,2,0,4,6,-1,3,2,6,7,-1,1,3,7,5,-1,4,5,7,6,-1,0,2,3,1,-1,}";
  const std::string ini = (root / "kelmor.ini").string();
  struct Row {
    std::vector<std::string> args;
    const char* says;
  };
  const Row rows[] = {
      {{"run", (root / "folder.txt").string(), "--settings", ini}, "is a folder, not an input file"},
      {{"run", (root / "pipe.txt").string(), "--settings", ini}, "is a FIFO (named pipe), not an input file"},
      {{"run", "/dev/null", "--settings", ini}, "is a device, not an input file"},
      {{"run", (root / "none.txt").string(), "--settings", ini}, "input file"},
      {{"scan", (root / "pipe.txt").string()}, "is a FIFO (named pipe)"},
      {{"run", (root / "cube.txt").string(), "--settings", (root / "pipe.txt").string()},
       "is a FIFO (named pipe): Kelmor cannot use it"},
      {{"prefs", "--save", "--settings", "/dev/null"}, "is a device: Kelmor cannot use it"},
      {{"prefs", "--settings", (root / "folder.txt").string()}, "is a folder: Kelmor cannot use it"},
  };
  const auto env = EnvironmentWith(PrivateHome(root));
  for (const Row& row : rows) {
    ChildResult r = RunChild(KELMOR_EXE, row.args, env, root, Guard);
    EXPECT_FALSE(r.hung) << row.args[1];
    EXPECT_EQ(r.status, 2) << row.args[1] << "\n" << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
  }
  struct stat st {};
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device node was replaced";
}

}  // namespace
}  // namespace kelmor::testing
