#pragma once

#include <filesystem>
#include <string>

namespace kelmor {

// The process id in a temporary name of PrivateFile, or 0 when the name is not one.
long TemporaryOwner(const std::string& name);

// Removes from folder the temporaries left by runs that no longer exist (killed while
// writing): PrivateFile temporaries whose process is gone and, when settingsName is given,
// the "NAME.XXXXXX" temporaries earlier versions made beside the settings file once they
// are over a minute old. Temporaries of live runs, other files and anything that is not a
// plain file are left alone. Returns how many were removed; errors are ignored.
int RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& settingsName = {});

}  // namespace kelmor
