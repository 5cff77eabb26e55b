#pragma once

#include <functional>
#include <optional>
#include <string>

#include "policy/attempt_policies.h"
#include "policy/stall_watch.h"
#include "policy/spectral_search.h"

namespace kelmor {

// Which unattended policies a run takes on: the stall escape (Re-do after `stallWindow`
// iterations without a meaningful fall) and the search (symmetric starts after
// `searchAfter` failed attempts). The command line takes both by default; the windows
// keep the described attempt loop unless the user ticks them.
struct UnattendedChoice {
  bool stallEscape = false;
  long stallWindow = StallRule{}.window;
  bool search = false;
  int searchAfter = SearchRule{}.after;
  bool operator==(const UnattendedChoice&) const = default;
};

// The bounds of the two numbers, shared by the windows and the choice file: a window of
// 1 to 1e9 iterations, 0 to 1e6 failed attempts. nullopt when the value is sound, else
// the reason in the windows' words.
std::optional<std::string> CheckStallWindow(long iterations);
std::optional<std::string> CheckSearchAfter(long attempts);
// Reads a whole number from text (spaces around it allowed); nullopt when it is not one.
std::optional<long> WholeNumber(const std::string& text);

// Adds to `policies` the ones the choice asks for, in the order the run consults them:
// the stall watch, then the search. failedAttempts counts the run's attempts that ended
// without a solution so far.
void AddUnattendedPolicies(AttemptPolicies& policies, const UnattendedChoice& choice,
                           std::function<int()> failedAttempts);

// The windows keep the choice in its own file beside the settings file
// (kelmor-unattended.ini beside kelmor.ini), so kelmor.ini keeps exactly its own keys.
std::string UnattendedChoicePath(const std::string& settingsPath);

// Reads the choice; a missing file is the default (nothing ticked). A line that cannot be
// read leaves its value at the default and is named in `problem` (the first such line,
// with the file and line number); the other lines still count.
UnattendedChoice ReadUnattendedChoice(const std::string& path, std::string* problem = nullptr);

// Writes the choice, replacing the file whole; returns the reason when it cannot.
std::optional<std::string> WriteUnattendedChoice(const std::string& path, const UnattendedChoice& choice);

}  // namespace kelmor
