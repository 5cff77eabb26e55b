#include "support/golden_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/file_text.h"

namespace kelmor::testing {

namespace {

// Line number (from 1) and both lines at the first difference.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string le, la;
  for (int line = 1;; ++line) {
    bool he = static_cast<bool>(std::getline(e, le));
    bool ha = static_cast<bool>(std::getline(a, la));
    if (!he && !ha) return "the files differ only in their last line end";
    if (!he || !ha || le != la)
      return "line " + std::to_string(line) + "\n  expected: " + (he ? "[" + le + "]" : "(end of file)") +
             "\n  actual:   " + (ha ? "[" + la + "]" : "(end of file)");
  }
}

}  // namespace

::testing::AssertionResult MatchesGolden(const std::string& name, const std::string& text) {
  std::filesystem::path expectedPath = std::filesystem::path(KELMOR_GOLDEN_DIR) / name;
  std::filesystem::path actualPath = expectedPath;
  actualPath += ".actual";
  const char* update = std::getenv("UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    WriteAll(expectedPath, text);
    std::filesystem::remove(actualPath);
    return ::testing::AssertionSuccess() << "rewrote " << expectedPath;
  }
  if (!std::filesystem::exists(expectedPath)) {
    WriteAll(actualPath, text);
    return ::testing::AssertionFailure() << "no expected file " << expectedPath << "; wrote " << actualPath
                                         << " (UPDATE_GOLDEN=1 creates it)";
  }
  std::string expected = ReadAll(expectedPath);
  if (expected == text) {
    std::filesystem::remove(actualPath);
    return ::testing::AssertionSuccess();
  }
  WriteAll(actualPath, text);
  return ::testing::AssertionFailure() << name << " differs at " << FirstDifference(expected, text)
                                       << "\n  the whole text is in " << actualPath;
}

}  // namespace kelmor::testing
