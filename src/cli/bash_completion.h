#pragma once

#include <string>
#include <vector>

#include "cli/option_list.h"

namespace kelmor {

// A bash completion script for kelmor (function _kelmor), from the parser's own option
// list: sub-commands, each one's options, the words an option's value may be, and file
// names where a value or argument is a path. Needs bash 4 and nothing from the
// bash-completion package.
std::string BashCompletion(const std::vector<CommandEntry>& commands);

}  // namespace kelmor
