#include <algorithm>
#include <string>
#include <string_view>

#include "input/char_stream.h"
#include "input/parser.h"

namespace kelmor {

namespace {

// Gathers the pre-scan's findings one field at a time.
struct ScanState {
  int count = 0;
  bool augment = false;      // a face letter "A" inside or after the first block
  bool translucent = false;  // a face letter "t" inside or after the first block

  void Field(std::string_view field) {
    count += static_cast<int>(std::count(field.begin(), field.end(), '{'));
    if (count < 1) return;
    if (field.find('A') != std::string_view::npos) augment = true;
    if (field.find('t') != std::string_view::npos) translucent = true;
  }

  ScanResult Result() const {
    ScanResult r;
    r.count = count;
    if (augment) r.letters += 'A';
    if (count > 1) r.letters += 'S';
    if (translucent) r.letters += 't';
    return r;
  }
};

}  // namespace

ScanResult ScanInputText(const std::string& text) {
  // Fields end at a comma or a line end. A comment runs from "'" to the next control
  // character, as the parser reads it, so braces and letters in comment text never count
  // (even after a comma inside the comment).
  ScanState state;
  std::string field;
  bool comment = false;
  for (const char ch : text) {
    const auto u = static_cast<unsigned char>(ch);
    if (u == '\n' || u == '\r' || (u == ',' && !comment)) {
      state.Field(field);
      field.clear();
      if (u != ',') comment = false;
    } else if (u < 30) {
      comment = false;
    } else if (u == '\'') {
      comment = true;
    } else if (!comment) {
      field += ch;
    }
  }
  state.Field(field);
  return state.Result();
}

ScanResult ScanInput(const std::string& path) { return ScanInputText(ReadWholeFile(path)); }

}  // namespace kelmor
