#include "web/page_input.h"

#include <filesystem>

#include "input/foreign_input.h"

namespace kelmor {

namespace {

// A name its files can take: no folder, no extension, never empty.
std::string FileBase(const std::string& name, const char* fallback) {
  std::string base = std::filesystem::path(name).stem().string();
  return base.empty() || base == "." || base == ".." ? fallback : base;
}

Topology DroppedFile(const std::string& text, const std::string& name) {
  const std::string file = std::filesystem::path(name).filename().string();
  const InputKind kind = InputKindOf(file, text);
  if (kind == InputKind::Kelmor) return ParseTopology(text, FileBase(name, "solid"));
  const ForeignText read = ForeignKelmorText(kind, text, file, false);
  if (!read.error.empty()) throw ApiError(read.error);
  if (!read.tooLarge.empty()) throw ApiError(file + ": " + read.tooLarge);
  return ParseTopology(read.text, FileBase(name, "solid"));
}

}  // namespace

Topology PageTopology(PageInputKind kind, const std::string& text, const std::string& name) {
  switch (kind) {
    case PageInputKind::Text: return ParseTopology(text, FileBase(name, "solid"));
    case PageInputKind::File: return DroppedFile(text, name);
    case PageInputKind::Conway: {
      std::string error;
      bool tooLarge = false;
      const std::string kelmorText = ConwayKelmorText(text, error, tooLarge);
      if (kelmorText.empty()) throw ApiError("Conway notation " + text + ": " + error);
      return ParseTopology(kelmorText, FileBase(name, "conway"));
    }
  }
  throw ApiError("unknown kind of input");
}

}  // namespace kelmor
