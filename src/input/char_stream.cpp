#include "input/char_stream.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/error.h"

namespace kelmor {

std::string ReadWholeFile(const std::string& path) {
  std::error_code ec;
  // A folder opens on some systems but reads nothing; it is not an input file.
  if (std::filesystem::is_directory(path, ec)) raiseError(ErrPathNotFound, path);
  std::ifstream in(path, std::ios::binary);
  if (!in) raiseError(ErrPathNotFound, path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) raiseError(ErrPathAccess, path);
  return text;
}

}  // namespace kelmor
