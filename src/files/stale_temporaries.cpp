#include "files/stale_temporaries.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include "files/private_file.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

bool AllAlnum(const std::string& text) {
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return !text.empty();
}

bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

long TemporaryOwner(const std::string& name) {
  const std::string prefix = TemporaryPrefix, suffix = TemporarySuffix;
  if (name.size() < prefix.size() + suffix.size() + 8 || name.rfind(prefix, 0) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return 0;
  const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  const size_t dash = middle.find('-');
  if (dash == std::string::npos || dash == 0 || dash > 10 || middle.size() - dash - 1 != 6) return 0;
  long pid = 0;
  for (size_t i = 0; i < dash; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(middle[i]))) return 0;
    pid = pid * 10 + (middle[i] - '0');
  }
  return AllAlnum(middle.substr(dash + 1)) ? pid : 0;
}

int RemoveStaleTemporaries(const fs::path& folder, const std::string& settingsName) {
  int removed = 0;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  const long self = ::getpid();
  const std::time_t now = std::time(nullptr);
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    bool stale = false;
    const long owner = TemporaryOwner(name);
    const bool settingsTemporary = owner == 0 && !settingsName.empty() && name.size() == settingsName.size() + 7 &&
                                   name.rfind(settingsName + ".", 0) == 0 &&
                                   AllAlnum(name.substr(settingsName.size() + 1));
    // Only the names of temporaries are looked at closer: a folder of thousands of
    // results costs one read of its names.
    if (owner == 0 && !settingsTemporary) continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (owner > 0) {
      stale = owner != self && ProcessGone(owner);
    } else {
      stale = now - st.st_mtime > 60;
    }
    if (stale && ::unlink(it->path().c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace kelmor
