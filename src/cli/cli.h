#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelmor {

// Exit status of the command line.
enum ExitStatus : int {
  ExitWritten = 0,    // the run ended with files written
  ExitNotWritten = 1, // the run ended without writing
  ExitRefused = 2,    // options refused
  ExitAbandoned = 3,  // the run was abandoned by an error
};

// kelmor run|shape|scan|prefs ...; returns the exit status.
int RunCli(int argc, char** argv);
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelmor
