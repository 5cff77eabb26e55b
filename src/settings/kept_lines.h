#pragma once

#include <string>
#include <string_view>

namespace kelmor {

// The parts of an old kelmor.ini that no preference key reads, for a save to keep: the
// items before "end" that name no key (lines added by hand or by another version), one a
// line in the file's CR LF form, and whatever stands after "end" when it is more than blanks.
struct KeptLines {
  std::string items;
  std::string tail;
};
KeptLines LinesToKeep(std::string_view oldText);

// The old file's text for KeptLines, at most the first megabyte (a settings file is a few
// kilobytes); empty when there is none or it cannot be read.
std::string OldSettingsText(const std::string& path);

}  // namespace kelmor
