#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "input/parser.h"
#include "model/error.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

TEST(ScanInput, PlainSolidHasOneBlockAndNoLetters) {
  ScanResult r = ScanInput((fs::path(KELMOR_SOURCE_DIR) / "examples" / "cube.txt").string());
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.letters, "");
}

TEST(ScanInput, LettersComeInTheOrderASt) {
  ScanResult r = ScanInputText("{t 1,2,3,-1,}\r\n{A1,2,3,-1,}\r\n{4,5,6,-1,}");
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.letters, "ASt");
  EXPECT_EQ(ScanInputText("{1,2,3,-1,}{4,5,6,-1,}").letters, "S");
  EXPECT_EQ(ScanInputText("{1,2,3,t,-1,}").letters, "t");
}

TEST(ScanInput, LettersBeforeTheFirstBlockAreNotNoted) {
  EXPECT_EQ(ScanInputText("A,t\n{1,2,3,-1,}").letters, "");
  // A field is judged whole: its "{" counts before its letters are looked at.
  EXPECT_EQ(ScanInputText("A{1,2,3,-1,}").letters, "A");
}

TEST(ScanInput, CommentsHideBracesAndLetters) {
  ScanResult r = ScanInputText("' A {cube}\n{1,2,3,-1, ' faces, t and {more}\n}");
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.letters, "");
}

TEST(ScanInput, EveryBraceCountsEvenWithinOneField) {
  ScanResult r = ScanInputText("{P}{1,2,3,-1,}");
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.letters, "S");
}

TEST(ScanInput, NoBlockCountsZero) {
  ScanResult r = ScanInputText("1,2,3,-1,\nA t");
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.letters, "");
}

TEST(ScanInput, MissingFileRaisesPathNotFound) {
  try {
    ScanInput((fs::temp_directory_path() / "kelmor_no_such_scan.txt").string());
    FAIL();
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrPathNotFound);
  }
  try {
    ScanInput(fs::temp_directory_path().string());  // a folder is no input file
    FAIL();
  } catch (const KelmorError& e) {
    EXPECT_EQ(e.code(), ErrPathNotFound);
  }
}

}  // namespace
}  // namespace kelmor
