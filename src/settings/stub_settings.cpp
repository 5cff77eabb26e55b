// Placeholder until the settings file lands.
#include <filesystem>

#include "settings/settings_file.h"

namespace kelmor {
void LoadSettings(Preferences&, const std::string&, const std::string&, const MessageFn&) {}
SaveResult SaveSettings(Preferences&, const std::string&, bool, const MessageFn&) {
  return SaveResult::Refused;
}
std::string SettingsPath(const std::string& explicitPath, const std::string& programFolder) {
  return explicitPath.empty() ? programFolder + "/kelmor.ini" : explicitPath;
}
std::string ProgramFolder() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : p.parent_path().string();
}
}  // namespace kelmor
