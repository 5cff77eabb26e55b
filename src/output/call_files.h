#pragma once

#include <filesystem>
#include <functional>
#include <ostream>

namespace kelmor {

struct OutputCall;

// A writer call writes each of its files completely under a private temporary name
// first; only when every file of the call is complete and on the disk are they moved
// into place, one after the other, and the folder synced (CommitFiles: the disk is
// waited for once for the call's files, not once a file). A call that fails on any file therefore leaves every earlier file in
// the folder as it was. Failures raise FileWriteError (error 76) naming the file, whose
// name is also kept in CurrentFileName for the error handler.

// Writes one file of the call to its temporary and keeps it for CommitCallFiles.
void WriteCallFile(OutputCall& call, const std::filesystem::path& path,
                   const std::function<void(std::ostream&)>& write);

// Moves the call's complete files into place, durably, in the order written, and lists
// them in call.written.
void CommitCallFiles(OutputCall& call);

// The segment file is built over several calls: the first segment starts it afresh (a
// new temporary, whatever an earlier one held), the others add to it.
void AddToSegmentFile(OutputCall& call, const std::filesystem::path& path, bool append,
                      const std::function<void(std::ostream&)>& write);
// The segment file is complete: it joins the call's files to be moved into place.
void CompleteSegmentFile(OutputCall& call);

}  // namespace kelmor
