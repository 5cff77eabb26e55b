// The page offers glb and STL. 3MF (minizip) and OBJ (assimp) would pull libraries that
// are not built to WebAssembly; the page never asks for them, and a request says so.
#include <stdexcept>

#include "export/format_writers.h"

namespace kelmor {

std::vector<FurtherFile> Write3mf(const Mesh&, const std::string&, const std::string&) {
  throw std::runtime_error("3MF files are made by the command line, not the page");
}

std::vector<FurtherFile> WriteObj(const Mesh&, const std::string&, const std::string&) {
  throw std::runtime_error("OBJ files are made by the command line, not the page");
}

}  // namespace kelmor
