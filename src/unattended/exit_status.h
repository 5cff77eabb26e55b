#pragma once

namespace kelmor {

// Exit status of an unattended run, as the command line and each batch input report it.
enum ExitStatus : int {
  ExitWritten = 0,     // the run ended with files written
  ExitNotWritten = 1,  // the run ended without writing
  ExitRefused = 2,     // options refused
  ExitAbandoned = 3,   // the run was abandoned by an error
};

}  // namespace kelmor
