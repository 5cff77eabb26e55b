#pragma once

namespace kelmor {

struct Run;

// How an attempt ended, for the run sequence.
enum class LoopOutcome {
  EndRun,       // Quit, a final write, or a detected failure (message already shown)
  NewAttempt,   // restart from random positions (Re-do, stall, duplicate)
  ReRead,       // back to the run start
  NextSegment,  // read the next segment
};

// One attempt: starting positions, the draw window, the global inflation phase and the
// main loop with its end-of-iteration rules and writes (Phase 4 steps 1, 2, 4 to 6).
LoopOutcome RunAttempt(Run& run);

// Centres the solution, tests coincident vertices, computes its signature and the view
// distances; places the model by its four "C" vertices.
void PrepareSolution(Run& run);
bool IsDuplicate(const Run& run);

}  // namespace kelmor
