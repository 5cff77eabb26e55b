// The settings loader on arbitrary bytes: whatever kelmor.ini holds, loading ends with
// messages at worst, never a crash, and leaves a preference set that saves and reloads.
// The input is read from a file, as the program reads kelmor.ini.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_file.h"

namespace {

// One private folder per fuzzing process, made on first use.
const std::string& Folder() {
  static const std::string folder = [] {
    // In the folder make fuzz gives (and removes afterwards, whatever became of the
    // process), else memory-backed when available: every save syncs the file to disk.
    std::error_code ec;
    const char* given = std::getenv("KELMOR_FUZZ_FOLDER");
    std::filesystem::path base = given && *given ? std::filesystem::path(given)
                                 : std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::string pattern = (base / "kelmor-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return folder;
}

// The loaded preference sets whose round trip has already been checked, by a 64-bit hash
// of every value. The round trip (save, reload, compare) depends on nothing but the
// loaded set, so a set met again cannot show anything new; mutated inputs often load
// to a set already met (a change in an unknown line, after "end", in blanks). Held in a
// fixed table, emptied when three quarters full: nothing is allocated per input.
class CheckedSets {
 public:
  // True when hash was already recorded; records it otherwise.
  bool seen(uint64_t hash) {
    if (hash == 0) hash = 1;  // 0 marks a free slot
    size_t s = static_cast<size_t>(hash) & (kSlots - 1);
    for (; slots_[s] != 0; s = (s + 1) & (kSlots - 1))
      if (slots_[s] == hash) return true;
    if (++held_ > kSlots / 4 * 3) {
      slots_.fill(0);
      held_ = 1;
      s = static_cast<size_t>(hash) & (kSlots - 1);
    }
    slots_[s] = hash;
    return false;
  }

 private:
  static constexpr size_t kSlots = size_t{1} << 16;
  std::array<uint64_t, kSlots> slots_{};
  size_t held_ = 0;
};

// FNV-1a, value by value in key order, each value followed by a byte no loaded value
// holds (values are items: never a line end), so that "ab","c" and "a","bc" differ.
constexpr uint64_t kHashStart = 14695981039346656037ull;
uint64_t HashOn(uint64_t h, std::string_view value) {
  for (const char c : value) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return (h ^ '\n') * 1099511628211ull;
}

void RemoveFolder() {
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Folder();
  std::atexit(RemoveFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = Folder() + "/kelmor.ini";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  kelmor::Preferences prefs(Folder());
  size_t messages = 0;
  // The file alone: the clean-up of killed saves' temporaries that LoadSettings adds reads
  // the folder, never the file's text, and is left to the settings tests.
  kelmor::ReadSettingsFile(prefs, path, Folder(), [&messages](const std::string&) { ++messages; });
  // A damaged file gives a handful of messages, never one per line: at most ten unknown
  // lines, the folder message once for each of the two folder keys, and the closing one.
  if (messages > 13) std::abort();
  uint64_t hash = kHashStart;  // of the loaded set, for the round trip below
  const std::vector<kelmor::PrefKey>& keys = kelmor::PreferenceKeys();
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string& value = prefs.textAt(i);
    if (value.size() > 99 && keys[i].kind != kelmor::PrefKind::Path) std::abort();
    hash = HashOn(hash, value);
  }

  // What was loaded saves and reads back to the same set. The saver's text is read back
  // from memory: writing it out and renaming it into place does not depend on the text,
  // and the settings tests cover it.
  static CheckedSets checked;
  if (checked.seen(hash)) return 0;
  std::string saved, unused;
  const kelmor::MessageFn quiet = [](const std::string&) {};
  if (kelmor::SettingsText(prefs, false, quiet, saved) == kelmor::SaveResult::Saved) {
    kelmor::Preferences again(Folder());
    kelmor::ReadSettingsText(again, saved, Folder(), quiet);
    // An empty suffix is saved as one blank and reads back empty; the next save's
    // clean-up (run-only: nothing written) makes it one blank again.
    kelmor::SettingsText(again, true, quiet, unused);
    if (!(again == prefs)) std::abort();
  }
  return 0;
}
