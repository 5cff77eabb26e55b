#pragma once

// A file's bytes as one string and a string as a file's whole bytes: how tests read back
// what a run wrote and plant what a run will meet.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace kelmor::testing {

// Empty when the file cannot be read.
inline std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline void WriteAll(const std::filesystem::path& p, std::string_view text) {
  std::ofstream(p, std::ios::binary) << text;
}

}  // namespace kelmor::testing
