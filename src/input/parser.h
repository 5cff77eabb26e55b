#pragma once

#include <string>
#include <string_view>

namespace kelmor {

struct Run;

// Reads the brace block numbered SegmentIndex of the input file InputName into the model
// (or, with a shape option set, runs the shape generator instead; or, with
// NextSegmentEntry 1, reads only the inter-realm section). End of input inside a block
// raises error 62; limits raise 9; numbers beyond 16 bits raise 6.
void ReadInput(Run& run);

// Reads from text instead of a file (same rules; the file name is used for messages).
void ReadInputText(Run& run, std::string_view text);

// The pre-scan: feature letters ("A": faces to augment, "S": more than one block,
// "t": translucent faces) and the number of blocks, without building the model.
struct ScanResult {
  std::string letters;
  int count = 0;
};
// Raises error 53-like file errors as KelmorError (76 when the file cannot be opened).
ScanResult ScanInput(const std::string& path);
ScanResult ScanInputText(const std::string& text);

}  // namespace kelmor
