#include "run/debug_file.h"

#include <fstream>

#include "model/numtext.h"
#include "run/error.h"

namespace kelmor {

ListLine& ListLine::operator<<(double value) {
  text_ += BareNumber(value);
  return *this;
}

void DebugFile::Create(const std::string& path) {
  path_ = path;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) raiseError(ErrPathNotFound, path);
  out << "KELMOR Debug File\r\n" << path << "\r\n" << " \r\n";
  if (!out) raiseError(ErrPathAccess, path);
  on_ = true;
}

void DebugFile::Line(std::string_view text) {
  if (!on_) return;
  std::ofstream out(path_, std::ios::binary | std::ios::app);
  if (out) out << text << "\r\n";
  if (!out) {
    // Reported once: the file stays off for the rest of the run.
    on_ = false;
    raiseError(ErrPathNotFound, path_);
  }
}

}  // namespace kelmor
