#include "input/char_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kelmor {
namespace {

std::string AllOf(CharStream& in) {
  std::string out;
  char c;
  while (in.Next(c)) out += c;
  return out;
}

// "'" opens a comment that any character below 30 closes (29 does, 30 does not); neither
// the quote nor the closing character is read, wherever they stand.
TEST(CharStream, CommentsAndControlCharactersAreNotRead) {
  const struct {
    std::string_view text, read;
  } cases[] = {
      {"1,2,", "1,2,"},
      {"1,'note\n2,", "1,2,"},
      {"1,'a'b\n2", "1,2"},               // a quote inside a comment changes nothing
      {"'x\t5", "5"},                     // a tab ends it too
      {std::string_view("'x\x1d" "7", 4), "7"},  // 29 ends it
      {std::string_view("'x\x1e" "7", 4), ""},   // 30 does not
      {std::string_view("a\x1e" "b", 3), "a\x1e" "b"},  // and is read outside one
      {std::string_view("a\0b", 3), "ab"},
      {"\r\n{1}\r\n", "{1}"},
      {"'open to the end", ""},
      {"''\n'", ""},
      {"\xff\x80'\xff\n\xfe", "\xff\x80\xfe"},  // high bytes are read like any other
  };
  for (const auto& c : cases) {
    CharStream in(c.text);
    EXPECT_EQ(AllOf(in), c.read) << c.text;
    in.Rewind();  // as when the file is opened again: no comment carried over
    EXPECT_EQ(AllOf(in), c.read) << c.text;
  }
}

TEST(CharStream, RewindClosesACommentLeftOpen) {
  CharStream in("9'tail");
  EXPECT_EQ(AllOf(in), "9");
  in.Rewind();
  char c = 0;
  ASSERT_TRUE(in.Next(c));
  EXPECT_EQ(c, '9');
}

}  // namespace
}  // namespace kelmor
