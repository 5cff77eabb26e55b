#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "files/private_file.h"
#include "files/stale_temporaries.h"
#include "settings/kept_lines.h"
#include "model/numtext.h"
#include "model/error.h"
#include "settings/path_kind.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

// Error numbers the loader can report that the run's handler never needs.
constexpr int ErrDiskFull = 61;

// The order in which a new file receives the defaults, after diri and diro.
constexpr const char* kCreationOrder[] = {
    "unam", "usid", "f001", "f002", "f003", "f004", "f005", "f006", "fram", "vsol",
    "vfrm", "vswt", "vanm", "voff", "scrn", "colb", "cole", "edge", "nedg", "hedg",
    "beep", "rlin", "rfac", "rtrn", "tran", "ssol", "sfrm", "sswt", "sanm", "vscl",
    "vxsz", "vxcl", "vcyl", "scyl", "cyls", "cylc", "cy2c", "extc", "comc", "disb",
    "vlab", "otsm", "rcl1", "rcl2", "rcl3", "hxc1", "hxc2", "rclo", "clp3", "clp4",
    "clp5", "cl52", "clp6", "clp7", "clp8", "cl83", "clpx", "clx3", "cls1", "cls2",
    "cls3", "cls4", "cls5", "clph", "uc00", "uc01", "uc02", "uc03", "uc04", "uc05",
    "uc06", "uc07", "uc08", "uc09", "uc10", "uc11", "uc12", "uc13", "uc14", "uc15",
    "uc16", "uc17", "xcl1", "xcl2", "lbcv", "lbcf"};

constexpr const char* kProblemMessage =
    "Kelmor has detected a problem with kelmor.ini  Delete this file and restart kelmor";

// An item longer than this is shown cut in the unknown-line message; the value never
// needs more than the first 104 characters.
constexpr size_t kMaxItemShown = 200;
// A file with more unknown lines than this is not a settings file: rather than one
// message box per line, loading stops with the problem message.
constexpr int kMaxUnknownLines = 10;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The bytes that end an item: a comma or either line end. A table, so that a long item
// costs one look-up a byte.
constexpr std::array<bool, 256> kItemEnds = [] {
  std::array<bool, 256> ends{};
  ends[','] = ends['\n'] = ends['\r'] = true;
  return ends;
}();

std::string_view TrimmedView(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimmedView(s)); }

int FileErrorCode(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return ErrPathNotFound;
    case EIO:
    case ENXIO:
    case ENODEV: return ErrDevice;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return ErrDiskFull;
    default: return ErrPathAccess;
  }
}

// Reads the comma- and line-separated items of the file, keeping only as much of each
// item as the loader can use, so that a huge or binary file costs no memory. Reads the
// open file a block at a time (its own buffering: no stdio stream), or a text already
// in memory.
class ItemReader {
 public:
  explicit ItemReader(int fd) : fd_(fd) {}
  explicit ItemReader(std::string_view text) : data_(text.data()), end_(text.size()) {}

  enum class Status { Item, EndOfFile, Error };

  // The next non-empty item, blanks trimmed; cut marks an item longer than kept.
  Status next(std::string& item, bool& cut) {
    for (;;) {
      item.clear();
      cut = false;
      bool delimited = false;
      while (pos_ < end_ || fill()) {
        const char* p = data_ + pos_;
        const char* const stop = data_ + end_;
        const char* q = p;
        while (q < stop && !kItemEnds[static_cast<unsigned char>(*q)]) ++q;
        if (item.empty())
          while (p < q && IsBlank(*p)) ++p;
        size_t n = static_cast<size_t>(q - p);
        if (n > kMaxItemShown - item.size()) {
          n = kMaxItemShown - item.size();
          cut = true;
        }
        item.append(p, n);
        pos_ = static_cast<size_t>(q - data_);
        if (q < stop) {
          ++pos_;
          delimited = true;
          break;
        }
      }
      if (error_ != 0) return Status::Error;
      if (!cut)
        while (!item.empty() && IsBlank(item.back())) item.pop_back();
      if (!item.empty()) return Status::Item;
      if (!delimited) return Status::EndOfFile;
    }
  }
  int error() const { return error_; }

 private:
  // The next block of the file; false at its end or on an error (error_ set).
  bool fill() {
    if (fd_ < 0 || error_ != 0) return false;
    ssize_t n = 0;
    do n = ::read(fd_, block_.data(), block_.size());
    while (n < 0 && errno == EINTR);
    if (n < 0) {
      error_ = errno != 0 ? errno : EIO;
      n = 0;
    }
    data_ = block_.data();
    pos_ = 0;
    end_ = static_cast<size_t>(n);
    return n > 0;
  }

  int fd_ = -1;
  std::array<char, 4096> block_{};
  const char* data_ = nullptr;
  size_t pos_ = 0, end_ = 0;
  int error_ = 0;
};

// Control characters of a damaged file are not shown as they are.
std::string Printable(std::string item, bool cut) {
  for (char& c : item)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return cut ? item + "..." : item;
}

// The file a chain of symbolic links ends at, whether or not it exists yet (a dangling
// kelmor.ini link is saved to the file it names); path itself when it is no link, and
// nothing for a loop.
std::optional<fs::path> LinkTarget(const fs::path& path) {
  // The kernel's own bound on links followed while resolving one path.
  constexpr int kMostLinks = 40;
  fs::path at = path;
  for (int hop = 0; hop <= kMostLinks; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(at, ec)) return at;
    fs::path next = fs::read_symlink(at, ec);
    if (ec) return at;
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return std::nullopt;
}

// Writes text to a temporary file beside path, then renames it over path, so that a
// failure at any point leaves the previous file as it was. Returns 0 or the errno.
int ReplaceFile(const std::string& path, const std::string& text) {
  std::optional<fs::path> target = LinkTarget(path);
  if (!target) return ELOOP;
  try {
    ReplaceFileWith(*target, text);
    return 0;
  } catch (const FileWriteError& e) {
    return e.errnum();
  }
}

// Removes the temporaries of saves that were killed. Saves write them beside the file a
// symbolic link names, as ReplaceFile follows it; otherwise beside the path as given.
void RemoveStaleSettingsTemporaries(const std::string& path) {
  std::optional<fs::path> real = LinkTarget(path);
  if (!real) return;
  RemoveStaleTemporaries(real->parent_path().empty() ? fs::path(".") : real->parent_path(),
                         real->filename().string());
}

std::string NotASettingsFile(const std::string& path, const std::string& kind) {
  return "Kelmor cannot use " + path + " as its settings file: it is " + kind +
         ", not a regular file.";
}

// A value that would break the line structure of the file is kept on its line.
std::string OneLine(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  return value;
}

std::string CreationText(const std::string& programFolder) {
  std::string folder = OneLine(programFolder);
  std::string text = "diri=" + folder + "\r\n" + "diro=" + folder + "\r\n";
  for (const char* key : kCreationOrder) {
    const PrefKey* p = FindPreferenceKey(key);
    text += std::string(key) + "=" + (p ? p->defaultValue : "") + "\r\n";
  }
  return text + "end \r\n \r\n";
}

// A folder that exists (after symbolic links).
bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Applies one item; false when the item names no key. The folder message is shown once
// for each folder key found bad (a key repeated in a damaged file is not told twice).
bool ApplyItem(Preferences& prefs, std::string_view key, std::string_view value,
               const std::string& programFolder, const MessageFn& message, std::string& foldersReported) {
  const PrefKey* p = FindPreferenceKey(key);
  if (!p) return false;
  if (p->kind == PrefKind::Path) {
    if (!IsFolder(std::string(value))) {
      if (foldersReported.find(p->key) == std::string::npos)
        message("One of your default file paths was not found.  Kelmor has reset your file paths to " +
                programFolder);
      foldersReported += std::string(p->key) + " ";
      prefs.set("diri", programFolder);
      prefs.set("diro", programFolder);
      return true;
    }
  }
  prefs.set(p->key, value);  // flags and the label choice are read as on only for 1
  return true;
}

// The system's words, and a line that says in plain words what went wrong with which file.
void ReportLoadError(int err, const std::string& path, const MessageFn& message) {
  const int code = FileErrorCode(err);
  if (code == ErrDevice) {
    message(kProblemMessage);
    return;
  }
  std::string plain = "The settings file " + path;
  if (code == ErrPathNotFound)
    plain += " cannot be reached: a folder on its path does not exist (" + std::string(std::strerror(err)) + ").";
  else
    plain += " cannot be used: " + std::string(std::strerror(err)) + ".";
  message("Kelmor has detected error number " + std::to_string(code) + "\n" + plain);
}

// Applies the file's items in order, up to "end" or the first reason to stop.
void ApplyItems(Preferences& prefs, ItemReader& reader, const std::string& path, const std::string& programFolder,
                const MessageFn& message) {
  std::string item;
  item.reserve(kMaxItemShown);  // the longest item kept: never grown on the way
  bool cut = false;
  int unknown = 0;
  std::string foldersReported;
  for (;;) {
    ItemReader::Status status = reader.next(item, cut);
    if (status == ItemReader::Status::Error) {
      ReportLoadError(reader.error(), path, message);
      break;
    }
    if (status == ItemReader::Status::EndOfFile) {
      message(kProblemMessage);
      break;
    }
    const std::string_view key = std::string_view(item).substr(0, 4);
    if (key.size() == 3 && (key[0] | 0x20) == 'e' && (key[1] | 0x20) == 'n' && (key[2] | 0x20) == 'd')
      break;
    const std::string_view value = item.size() > 5 ? TrimmedView(std::string_view(item).substr(5, 99)) : std::string_view();
    if (ApplyItem(prefs, key, value, programFolder, message, foldersReported)) continue;
    if (++unknown > kMaxUnknownLines) {
      message(kProblemMessage);
      break;
    }
    message("Unknown line in kelmor.ini: " + Printable(item, cut));
  }
}

}  // namespace

void LoadSettings(Preferences& prefs, const std::string& path, const std::string& programFolder,
                  const MessageFn& message) {
  if (ReadSettingsFile(prefs, path, programFolder, message)) RemoveStaleSettingsTemporaries(path);
}

bool ReadSettingsFile(Preferences& prefs, const std::string& path, const std::string& programFolder,
                      const MessageFn& message) {
  // Reading a FIFO would wait for a writer for ever, and a device is no settings file.
  if (std::string kind = NonFileKind(path); !kind.empty()) {
    message(NotASettingsFile(path, kind) + "  Kelmor goes on with the default preferences.");
    return false;
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    if (int err = ReplaceFile(path, CreationText(programFolder))) {
      ReportLoadError(err, path, message);
      return true;
    }
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) {
    ReportLoadError(errno, path, message);
    return true;
  }
  ItemReader reader(fd);
  ApplyItems(prefs, reader, path, programFolder, message);
  ::close(fd);
  return true;
}

void ReadSettingsText(Preferences& prefs, std::string_view text, const std::string& programFolder,
                      const MessageFn& message) {
  ItemReader reader(text);
  ApplyItems(prefs, reader, "in memory", programFolder, message);
}

SaveResult SettingsText(Preferences& prefs, bool runOnly, const MessageFn& message, std::string& text) {
  static const char* suffixKeys[5] = {"ssol", "sfrm", "sswt", "sanm", "scyl"};
  static const char* outputKeys[5] = {"vsol", "vfrm", "vswt", "vanm", "vcyl"};
  for (const char* key : suffixKeys) {
    const std::string& suffix = prefs.text(key);
    prefs.set(key, suffix.empty() ? std::string(" ") : Trim(suffix));
  }
  static const int pairs[10][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3},
                                   {2, 3}, {0, 4}, {1, 4}, {2, 4}, {3, 4}};
  for (const auto& pair : pairs) {
    int a = pair[0], b = pair[1];
    if (prefs.flag(outputKeys[a]) && prefs.flag(outputKeys[b]) &&
        prefs.text(suffixKeys[a]) == prefs.text(suffixKeys[b])) {
      message("Error: Suffixes for selected output files must be different");
      return SaveResult::Refused;
    }
  }
  if (runOnly) return SaveResult::RunOnly;

  double level = 0;
  try {
    level = ReadNumber(prefs.text("tran"));
  } catch (const KelmorError&) {
    level = -1;  // too large to read: out of range either way
  }
  if (level < 0 || level > 1) {
    message("Error: Transparency Level must be between 0 and 1");
    return SaveResult::Refused;
  }

  text.clear();
  const std::vector<PrefKey>& keys = PreferenceKeys();
  for (size_t i = 0; i < keys.size(); ++i) {
    const PrefKey& p = keys[i];
    const std::string& value = prefs.textAt(i);
    text.append(p.key).append("=");
    if (p.kind == PrefKind::Flag || p.kind == PrefKind::Choice)
      text.append(value == "1" ? "1" : "0");
    else
      text.append(OneLine(value));
    text.append("\r\n");
  }
  text += "end \r\n";
  return SaveResult::Saved;
}

SaveResult SaveSettings(Preferences& prefs, const std::string& path, bool runOnly,
                        const MessageFn& message) {
  std::string text;
  if (SaveResult checked = SettingsText(prefs, runOnly, message, text); checked != SaveResult::Saved)
    return checked;
  // Saving renames a new file over the path: a device or a folder there is never replaced.
  if (std::string kind = NonFileKind(path); !kind.empty()) {
    message(NotASettingsFile(path, kind) + "  Your preferences have not been saved.");
    return SaveResult::Failed;
  }
  // Lines no key reads are kept (before "end"), and so is anything after "end".
  const KeptLines kept = LinesToKeep(OldSettingsText(path));
  text.insert(text.size() - std::strlen("end \r\n"), kept.items);
  text += kept.tail;
  if (int err = ReplaceFile(path, text)) {
    message("Kelmor could not save your preferences to " + path + ": " + std::strerror(err) +
            ".  Your previous settings file has not been changed.");
    return SaveResult::Failed;
  }
  message("Kelmor User Preferences Updated");
  return SaveResult::Saved;
}

std::string SettingsPath(const std::string& explicitPath, const std::string& programFolder) {
  if (!explicitPath.empty()) return explicitPath;
  if (const char* env = std::getenv("KELMOR_INI"); env && *env) return env;
  std::error_code ec;
  if (!programFolder.empty() && fs::is_directory(programFolder, ec) &&
      ::access(programFolder.c_str(), W_OK) == 0)
    return (fs::path(programFolder) / "kelmor.ini").string();
  fs::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = fs::path(home) / ".config";
  } else {
    base = fs::temp_directory_path(ec);
  }
  fs::path folder = base / "kelmor";
  fs::create_directories(folder, ec);
  return (folder / "kelmor.ini").string();
}

std::string ProgramFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

}  // namespace kelmor
