// Colour text on arbitrary bytes: "label\ntext". Reading either gives three components
// inside 0..255 (plus the label's offset) with at most one message per component, or
// raises a KelmorError for the run's error handler; never anything else.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/colour.h"
#include "model/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\n');
  std::string_view label = cut == std::string_view::npos ? std::string_view() : input.substr(0, cut);
  std::string_view text = cut == std::string_view::npos ? input : input.substr(cut + 1);

  int messages = 0;
  kelmor::MessageFn count = [&messages](const std::string&) { ++messages; };
  try {
    kelmor::ColourComponents c = kelmor::ReadColourText(text, label, count);
    if (messages > 3) std::abort();
    int spread[3] = {c.red, c.green, c.blue};
    int lowest = spread[0], highest = spread[0];
    for (int v : spread) {
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
    }
    if (highest - lowest > 255) std::abort();
    kelmor::ColourUnitText(c);
    kelmor::ColourIntText(c);
  } catch (const kelmor::KelmorError&) {
    // Overflow in a number: the run's error handler reports it.
  }

  int colour = size > 0 ? data[0] - 128 : 0;
  int sides = size > 1 ? data[1] - 128 : 3;
  int step = size > 2 ? data[2] - 128 : 1;
  kelmor::FaceColourIndex(sides, step, text, colour);
  // Without a "Q" code a face of three or more sides always gets an index of the table.
  if (sides >= 3 && text.find('Q') == std::string_view::npos && (colour < 0 || colour > 32)) std::abort();
  const std::string code = kelmor::ColourCodeFor(colour);
  if (code.size() != 2 || code[0] != 'Q') std::abort();
  return 0;
}
