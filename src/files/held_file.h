#pragma once

#include <string>

namespace kelmor {

// A complete file kept in memory instead of on the disk: the path it would be written to
// and every byte it would hold. Solving through the library keeps a solution's files this
// way, so that a caller can look at them, send them elsewhere, or commit them to a folder
// later (all or nothing, like any other file Kelmor writes).
struct HeldFile {
  std::string path;
  std::string bytes;
};

}  // namespace kelmor
