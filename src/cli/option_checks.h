#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "run/value_checks.h"

namespace kelmor {

// The checks that refuse option values no run could mean, before anything is read:
// limits of 0 or non-finite, values the run would overflow on, shapes that cannot close.
// Each message says what the option takes, with bounds written as people write them.

// The shortest --stall window that judges falls soundly. The figures come every ten
// iterations and a solving attempt's E + P does not fall steadily: measured over the example
// solids (seeds 1 and 2, 30 attempts each), below 30 even the cube stalls on every attempt
// and never writes, at 250 the truncated icosidodecahedron still does, from 300 all solve.
inline constexpr long kShortestStallWindow = 300;

// The most a count option (attempts, iterations, solutions) takes.
inline constexpr long kMostCount = 2147483647;

// A whole number from lowest to highest.
CLI::Validator WholeNumberFrom(long lowest, long highest);
// A settings file's name: an empty one (an unset shell variable, say) is refused rather
// than taken as "the program-wide kelmor.ini".
CLI::Validator SettingsFileName();
// A number of seconds above 0 (and below a thousand years), as --time-limit takes.
CLI::Validator PositiveSeconds();
// 0 (never) or a window of at least kShortestStallWindow iterations.
CLI::Validator StallWindow();
// Refuses the values of one text control that the run could not read (numbers beyond
// what it holds, an angle that would be copied into the VRML files as it stands).
CLI::Validator ControlTextCheck(const std::string& control);

}  // namespace kelmor
