#pragma once

#include <optional>
#include <string>

#include "export/export_list.h"

namespace kelmor {

// The windows' export choice lives in its own file beside the settings file
// (kelmor-export.ini beside kelmor.ini), so kelmor.ini keeps exactly its own keys.
std::string ExportSettingsPath(const std::string& settingsPath);

// Reads the choice; a missing file is no exports. A line that cannot be read is skipped
// and named in problem (when given); the rest still counts.
ExportRequest ReadExportSettings(const std::string& path, std::string* problem = nullptr);

// Writes the choice, replacing the file; returns the reason when it cannot.
std::optional<std::string> WriteExportSettings(const std::string& path, const ExportRequest& r);

}  // namespace kelmor
