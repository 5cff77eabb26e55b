// The whole program against mutated example inputs (fixed seed): whatever the mutation,
// under every stop rule the run ends, ends with one of its statuses, never crashes or
// trips a sanitizer, and never writes an OFF file with negative counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <regex>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Sanitizer builds run the full set; release builds a third of it, as a quick check.
constexpr int Mutants = KELMOR_SANITIZED ? 300 : 100;
constexpr auto Guard = 20'000ms;

// Characters the parser gives a meaning to, and some it must survive.
const std::string Alphabet = std::string("{}[](),;\\/-.+0123456789 nNDdqsfEeBAtOoybXYZ*FTRCVvPL'\n\r\t") +
                             std::string("\0\xff\xef", 3);
const char* const Numbers[] = {"99999", "3001", "-13", "-0", "1e308", "40", "-2", ",,", "-1,-1,"};

// Stop rules in turn; each bounds the run on its own terms.
const std::vector<std::vector<std::string>> StopRules = {
    {"--once", "--max-iterations", "3000"},
    {"--max-iterations", "1500", "--max-attempts", "2"},
    {"--max-attempts", "2", "--max-iterations", "4000", "--write-on-timeout"},
    {"--time-limit", "0.3"},
    {"--once", "--time-limit", "0.3", "--write-on-timeout"},
};

std::string Mutate(std::string text, std::mt19937& rng) {
  auto pick = [&rng](size_t n) { return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  const int edits = 1 + static_cast<int>(pick(3));
  for (int i = 0; i < edits; ++i) {
    const size_t at = pick(text.size() + 1);
    switch (pick(6)) {
      case 0:
        if (at < text.size()) text.erase(at, 1);
        break;
      case 1:
        text.insert(at, 1, Alphabet[pick(Alphabet.size())]);
        break;
      case 2:
        if (at < text.size()) text[at] = Alphabet[pick(Alphabet.size())];
        break;
      case 3:
        text.insert(at, text.substr(pick(text.size()), 1 + pick(40)));
        break;
      case 4:
        if (at < text.size()) text.erase(at, 1 + pick(40));
        break;
      default:
        text.insert(at, Numbers[pick(std::size(Numbers))]);
        break;
    }
  }
  return text;
}

std::vector<fs::path> Examples() {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(fs::path(KELMOR_SOURCE_DIR) / "examples"))
    if (e.path().extension() == ".txt") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Mutants, EveryRunEndsSoundlyUnderEveryStopRule) {
  const TempFolder folder;
  const fs::path& root = folder.path();
  fs::create_directories(root / "run");
  // A sanitizer report must not pass for status 1: make it a crash.
  std::vector<std::string> over = PrivateHome(root);
  over.push_back("ASAN_OPTIONS=abort_on_error=1:detect_leaks=1");
  over.push_back("UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1");
  const auto env = EnvironmentWith(over);
  const std::vector<fs::path> examples = Examples();
  ASSERT_FALSE(examples.empty());
  std::mt19937 rng(20261207);
  int statuses[4] = {};
  for (int i = 0; i < Mutants; ++i) {
    const fs::path& source = examples[static_cast<size_t>(i) % examples.size()];
    const std::string text = Mutate(ReadAll(source), rng);
    const fs::path input = root / "run" / ("m" + std::to_string(i) + ".txt");
    std::ofstream(input, std::ios::binary) << text;
    std::vector<std::string> args = {"run", input.string(), "--settings", (root / "kelmor.ini").string(),
                                     "--quiet", "--seed", std::to_string(i), "--answer", "no"};
    const auto& rule = StopRules[static_cast<size_t>(i) % StopRules.size()];
    args.insert(args.end(), rule.begin(), rule.end());
    ChildResult r = RunChild(KELMOR_EXE, args, env, root, Guard);
    const std::string what = "mutant " + std::to_string(i) + " of " + source.filename().string() +
                             " with " + rule[0] + "\n--- input ---\n" + text + "\n--- stderr ---\n" +
                             r.err.substr(0, 4000);
    ASSERT_FALSE(r.hung) << what;
    ASSERT_EQ(r.signal, 0) << what;
    ASSERT_GE(r.status, 0) << what;
    ASSERT_LE(r.status, 3) << what;
    ++statuses[r.status];
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << what;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << what;
    if (r.status != 0) EXPECT_FALSE(r.err.empty()) << what;
    for (const auto& e : fs::directory_iterator(root / "run")) {
      if (e.path().extension() != ".off") continue;
      EXPECT_FALSE(std::regex_search(ReadAll(e.path()), std::regex(R"(\n\s*-\d+\s+\d+\s+\d+)")))
          << e.path() << "\n" << what;
    }
    fs::remove_all(root / "run");
    fs::create_directories(root / "run");
  }
  // The mutants are not all refused at the door: some relax and write, some fail inside.
  EXPECT_GT(statuses[0], 0);
  EXPECT_GT(statuses[1], 0);
}

}  // namespace
}  // namespace kelmor::testing
