#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelmor {

// The input text, held in memory once and handed out a character at a time with the
// comment rule every reading loop shares: "'" starts a comment, any character below 30
// (line breaks, tabs) ends it, and neither reaches the reader.
class CharStream {
 public:
  explicit CharStream(std::string_view text) : text_(text) {}

  // The next character that survives the comment rule; false at the end of the input.
  // One table step per character: the state after it, or Emit.
  bool Next(char& c) {
    while (pos_ < text_.size()) {
      const auto u = static_cast<unsigned char>(text_[pos_++]);
      const uint8_t step = kSteps[comment_][u];
      if (step == Emit) {
        c = static_cast<char>(u);
        return true;
      }
      comment_ = step;
    }
    return false;
  }

  // Back to the beginning, as when the file is opened again.
  void Rewind() {
    pos_ = 0;
    comment_ = 0;
  }

 private:
  // Steps by state (0 reading, 1 in a comment) and character: 0 or 1 is the next state
  // (nothing read), Emit hands the character out (reading goes on).
  static constexpr uint8_t Emit = 2;
  static constexpr std::array<std::array<uint8_t, 256>, 2> kSteps = [] {
    std::array<std::array<uint8_t, 256>, 2> t{};
    for (unsigned u = 0; u < 256; ++u) {
      const bool quote = u == '\'', low = u < 30;
      t[0][u] = quote ? 1 : low ? 0 : Emit;
      t[1][u] = low ? 0 : 1;
    }
    return t;
  }();

  std::string_view text_;
  size_t pos_ = 0;
  uint8_t comment_ = 0;
};

// The whole file as one text. Raises 76 when it cannot be opened as a file.
std::string ReadWholeFile(const std::string& path);

}  // namespace kelmor
