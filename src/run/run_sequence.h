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

// The run's first steps only: the run start, the first block of the input and the
// topology passes, without relaxing. What a caller learns of a model before solving it.
// False when the run would end there (its messages already given to run.host).
bool ReadFirstModel(Run& run);

}  // namespace kelmor
