#pragma once

namespace kelmor {

struct Run;
struct OutputCall;

// Writes every file the preferences select for the current model, one at a time,
// replacing old files (and the stress pass when StressMap is ticked). Segmented input
// goes to the segment file. Raises file errors (76 for a folder that does not exist).
void WriteOutputFiles(Run& run);
// The same within a call whose shared state the caller holds (call.written lists the
// paths in the order they were written).
void WriteOutputFiles(OutputCall& call);

}  // namespace kelmor
