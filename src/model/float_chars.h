#pragma once

#include <charconv>

namespace kelmor {

// std::to_chars and std::from_chars for doubles, which the C++ library of the WebAssembly
// build (emscripten's libc++) lacks. Where the library has them they are used as they
// are; otherwise printf and strtod give the same digits (the C library there rounds
// correctly, and its locale is always "C"). Each returns the end of what it wrote or read.
char* GeneralDigits(char* first, char* last, double value, int precision);  // "%.*g"
char* FixedDigits(char* first, char* last, double value, int decimals);      // "%.*f"
char* ShortestDigits(char* first, char* last, double value);                // reads back the same
std::from_chars_result ReadDouble(const char* first, const char* last, double& value);

}  // namespace kelmor
