#include "settings/kept_lines.h"

#include <fstream>

#include "settings/preferences.h"

namespace kelmor {

namespace {

constexpr size_t kMostRead = size_t{1} << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The loader's end mark: "end" alone in its item, in any case.
bool IsEnd(std::string_view item) {
  return item.size() == 3 && (item[0] | 0x20) == 'e' && (item[1] | 0x20) == 'n' && (item[2] | 0x20) == 'd';
}

}  // namespace

KeptLines LinesToKeep(std::string_view text) {
  KeptLines kept;
  size_t at = 0;
  while (at < text.size()) {
    const size_t stop = text.find_first_of(",\r\n", at);
    const size_t next = stop == std::string_view::npos ? text.size() : stop + 1;
    const std::string_view item = Trimmed(text.substr(at, next - at - (stop == std::string_view::npos ? 0 : 1)));
    at = next;
    if (item.empty()) continue;
    if (IsEnd(item)) {
      // The end line's own line end is written with it.
      if (stop != std::string_view::npos && text[stop] == '\r' && at < text.size() && text[at] == '\n') ++at;
      const std::string_view rest = text.substr(at);
      if (rest.find_first_not_of(" \t\r\n") != std::string_view::npos) kept.tail = rest;
      return kept;
    }
    if (!FindPreferenceKey(item.substr(0, 4))) kept.items.append(item).append("\r\n");
  }
  return kept;
}

std::string OldSettingsText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(kMostRead, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

}  // namespace kelmor
