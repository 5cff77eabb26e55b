#pragma once

#include <string>
#include <string_view>

namespace kelmor {

// One line in list-print style: texts as they stand, numbers as bare number fields
// (" 12 ", "-.5 "), items following each other directly.
class ListLine {
 public:
  ListLine& operator<<(std::string_view text) {
    text_ += text;
    return *this;
  }
  ListLine& operator<<(const char* text) { return *this << std::string_view(text); }
  ListLine& operator<<(const std::string& text) { return *this << std::string_view(text); }
  ListLine& operator<<(double value);
  ListLine& operator<<(int value) { return *this << static_cast<double>(value); }
  ListLine& operator<<(long value) { return *this << static_cast<double>(value); }
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

// The run's debug file. Never held open: every line is appended and the file closed
// again, so it is complete whatever ends the run. Does nothing while off.
class DebugFile {
 public:
  // Creates the file afresh with its three header lines; turns the file on.
  void Create(const std::string& path);
  void Off() { on_ = false; }
  bool on() const { return on_; }
  const std::string& path() const { return path_; }
  void Line(const ListLine& line) { Line(line.str()); }
  void Line(std::string_view text);

 private:
  bool on_ = false;
  std::string path_;
};

}  // namespace kelmor
