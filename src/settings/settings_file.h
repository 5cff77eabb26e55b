#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "settings/preferences.h"

namespace kelmor {

using MessageFn = std::function<void(const std::string&)>;

// Reads kelmor.ini into the preference set, creating the file with the defaults first
// when it is missing, then removes the temporaries that killed saves left beside it.
// Problems are reported through message in the system's words; values already loaded stay.
void LoadSettings(Preferences& prefs, const std::string& path, const std::string& programFolder,
                  const MessageFn& message);

// LoadSettings without the clean-up of temporaries: the file alone. False, after the
// message, when path is a folder, a FIFO or a device (nothing read or created).
bool ReadSettingsFile(Preferences& prefs, const std::string& path, const std::string& programFolder,
                      const MessageFn& message);

// Refused: a check failed (window stays open). Failed: the file could not be written;
// the previous file is left as it was.
enum class SaveResult { Saved, RunOnly, Refused, Failed };

// The preferences window's OK: suffix clean-up and clash check, run-only mode (nothing
// written), the transparency check, then every key in order and "end ". The file is
// replaced atomically: a save interrupted half-way leaves the old file intact.
SaveResult SaveSettings(Preferences& prefs, const std::string& path, bool runOnly,
                        const MessageFn& message);

// The file's text, already in memory, read into the preference set as LoadSettings reads
// the file (the same items, values and messages).
void ReadSettingsText(Preferences& prefs, std::string_view text, const std::string& programFolder,
                      const MessageFn& message);

// What SaveSettings checks and would write: the same clean-up, checks and messages, with
// the file's text in text when the result is Saved. Nothing is written.
SaveResult SettingsText(Preferences& prefs, bool runOnly, const MessageFn& message, std::string& text);

// Where kelmor.ini lives: an explicit path (--settings) wins, then $KELMOR_INI, then the
// program's folder when it can be written, else $XDG_CONFIG_HOME/kelmor/kelmor.ini
// (~/.config/kelmor/kelmor.ini).
std::string SettingsPath(const std::string& explicitPath, const std::string& programFolder);

// The folder that holds the running program.
std::string ProgramFolder();

}  // namespace kelmor
