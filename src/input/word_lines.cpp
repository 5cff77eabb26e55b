#include <algorithm>
#include <charconv>
#include <cmath>

#include "input/foreign_read.h"
#include "model/float_chars.h"

namespace kelmor {

namespace {

bool TextByte(unsigned char c) { return c >= 32 || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::vector<WordLine> SplitWordLines(std::string_view text, std::string& error) {
  std::vector<WordLine> lines;
  WordLine line{1, {}};
  bool comment = false;
  size_t wordStart = std::string_view::npos;
  auto endWord = [&](size_t i) {
    if (wordStart != std::string_view::npos) line.words.push_back(text.substr(wordStart, i - wordStart));
    wordStart = std::string_view::npos;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!TextByte(static_cast<unsigned char>(c))) {
      error = "line " + std::to_string(line.number) + ": byte " + std::to_string(static_cast<unsigned char>(c)) +
              " is binary data, not text";
      return {};
    }
    if (c == '\n') {
      endWord(i);
      if (!line.words.empty()) lines.push_back(std::move(line));
      line = WordLine{line.number + 1, {}};
      comment = false;
      continue;
    }
    if (comment) continue;
    if (c == '#') {
      endWord(i);
      comment = true;
    } else if (Blank(c)) {
      endWord(i);
    } else if (wordStart == std::string_view::npos) {
      wordStart = i;
    }
  }
  endWord(text.size());
  if (!line.words.empty()) lines.push_back(std::move(line));
  return lines;
}

namespace {

// The whole word read as a T ("+" allowed before the digits); nullopt otherwise.
template <class T>
std::optional<T> ReadWhole(std::string_view word) {
  if (!word.empty() && word[0] == '+') word.remove_prefix(1);
  if (word.empty() || word[0] == '+') return std::nullopt;
  T value{};
  std::from_chars_result r;
  if constexpr (std::is_same_v<T, double>)
    r = ReadDouble(word.data(), word.data() + word.size(), value);
  else
    r = std::from_chars(word.data(), word.data() + word.size(), value);
  auto [end, ec] = r;
  if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> FiniteNumber(std::string_view word) {
  std::optional<double> v = ReadWhole<double>(word);
  if (v && !std::isfinite(*v)) return std::nullopt;
  return v;
}

std::optional<long> WholeNumber(std::string_view word) {
  std::optional<int> v = ReadWhole<int>(word);
  if (!v) return std::nullopt;
  return *v;
}

int RepeatedVertex(std::vector<int> face) {
  std::sort(face.begin(), face.end());
  auto twice = std::adjacent_find(face.begin(), face.end());
  return twice == face.end() ? -1 : *twice;
}

}  // namespace kelmor
