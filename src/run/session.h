#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "run/options.h"
#include "settings/preferences.h"

namespace kelmor {

// Lives as long as the program: the preference set, the values the option windows
// hold, and the few values that survive from one run to the next.
struct Session {
  Preferences prefs;
  RunOptions options;
  SpecialChoice special;
  InputSelection input;
  std::string settingsPath;   // kelmor.ini in use
  std::string programFolder;  // where the program lives
  std::string VersionText = KELMOR_VERSION;

  // Fixed seed for reproducible runs; without it each run start seeds from the clock.
  std::optional<uint64_t> seed;

  // Kept across runs: the write reference of the convergence rules.
  long ReferenceIteration = 0;
  double WriteReference = 0;
  int AllVerticesHighlighted = 0;

  // Preferences window opened from RunTime: values apply to the next run only.
  bool prefsRunOnly = false;
};

}  // namespace kelmor
