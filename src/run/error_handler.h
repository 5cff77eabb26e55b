#pragma once

#include <string>

#include "model/error.h"

namespace kelmor {

struct Run;

enum class ErrorAction { Resume, Abandon };

// The run's one error handler: asks "KELMOR has come across error, attempting to resume",
// shows the code's message, and says whether the run resumes after the failed step.
// Cancel on the prompt abandons whatever the code.
ErrorAction HandleRunError(Run& run, int code);

// A file that could not be written ends the run: the error's message names the file and
// says why, and the run ends at once (RunAbandoned with writeFailed), never resuming as
// if the files were there.
[[noreturn]] void EndRunOnWriteFailure(Run& run, const FileWriteError& e);

// Runs one step of the run sequence; a KelmorError inside it goes to the handler, which
// either lets the run resume after the step (returns false) or abandons the run (throws
// RunAbandoned). Returns true when the step completed.
template <class F>
bool GuardedStep(Run& run, F&& step) {
  try {
    step();
    return true;
  } catch (const KelmorError& e) {
    if (HandleRunError(run, e.code()) == ErrorAction::Abandon) throw RunAbandoned{true};
    return false;
  }
}

// A write step: as GuardedStep, but a file that could not be written ends the run.
template <class F>
bool GuardedWrite(Run& run, F&& step) {
  return GuardedStep(run, [&] {
    try {
      step();
    } catch (const FileWriteError& e) {
      EndRunOnWriteFailure(run, e);
    }
  });
}

}  // namespace kelmor
