#pragma once

namespace kelmor {

struct Run;

enum class RunOutcome {
  Written,    // the run ended and files were written
  Ended,      // the run ended without writing (Quit, a detected failure, nothing to do)
  Abandoned,  // a run-time error abandoned the run
  WriteFailed,  // an output file could not be written: the run ended there
};

// The run's own words when the input holds no model.
inline constexpr const char* UnclosedBlockMessage =
    "Input error: End of file inside a block, check for its closing \"}\"";
inline constexpr const char* NoFacesMessage =
    "Input error: No faces found, a face is its vertex numbers between \"{\" and \"}\"";

// Turns the chosen input and the run-time options into relaxed, written models. Returns
// only when the run is over. All messages and questions go through run.host.
RunOutcome RunSequence(Run& run);

}  // namespace kelmor
