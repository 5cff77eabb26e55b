#pragma once

#include <string>
#include <vector>

#include "cli/option_list.h"

namespace kelmor {

// The manual page kelmor(1) in man(7) markup, from the parser's own option list (see
// ListCommandLine), so that it never lists an option --help does not.
std::string ManPage(const std::vector<CommandEntry>& commands);

// Text made safe for roff: backslashes, minus signs and a leading dot or quote escaped.
std::string RoffText(const std::string& text);

}  // namespace kelmor
