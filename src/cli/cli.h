#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "unattended/exit_status.h"

namespace kelmor {

// kelmor run|shape|scan|prefs ...; returns the exit status.
int RunCli(int argc, char** argv);
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelmor
