#include "facts/facts_file.h"

#include <filesystem>

#include "files/private_file.h"
#include "model/error.h"

namespace kelmor {

void FactsFile::take(const SolutionSnapshot& shape) {
  pending_ = ComputeFacts(SolidOf(shape));
  name_ = shape.name + shape.suffix;
  path_ = (std::filesystem::path(shape.folder) / (name_ + "_facts.txt")).string();
}

FactsFile::Written FactsFile::write() {
  Written w{path_, std::nullopt};
  try {
    ReplaceFileWith(path_, FactsText(name_, *pending_));
  } catch (const FileWriteError& e) {
    w.failure = "the facts file '" + e.path() + "' could not be written: " + e.reason();
  }
  pending_.reset();
  return w;
}

}  // namespace kelmor
