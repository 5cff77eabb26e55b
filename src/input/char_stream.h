#pragma once

#include <cstddef>
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
  bool Next(char& c) {
    while (pos_ < text_.size()) {
      const auto u = static_cast<unsigned char>(text_[pos_++]);
      if (u == '\'') {
        comment_ = true;
      } else if (u < 30) {
        comment_ = false;
      } else if (!comment_) {
        c = static_cast<char>(u);
        return true;
      }
    }
    return false;
  }

  // Back to the beginning, as when the file is opened again.
  void Rewind() {
    pos_ = 0;
    comment_ = false;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  bool comment_ = false;
};

// The whole file as one text. Raises 76 when it cannot be opened as a file.
std::string ReadWholeFile(const std::string& path);

}  // namespace kelmor
