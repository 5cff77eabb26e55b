#pragma once

#include <filesystem>
#include <functional>
#include <ostream>

namespace kelmor {

struct OutputCall;

// A model of two or more segments goes to one segment file, OutputName + ".wrl", one
// segment per call: the first segment written creates the file with the header and the
// colour table, every segment appends its own shape on the coordinate set "C" + segment
// number, placed by the segment's edge length, flips and offset. Then SegmentIndex
// advances; while segments remain NextSegmentPending is set, and after the last one the
// inter-realm section is read and, when there is one, the realm files are written.
void WriteSegmentFile(OutputCall& call);

// Writes one file of the segment path, replacing it or adding to its end. The file's name
// is recorded for the error handler; a file that cannot be written raises 76.
void WriteSegmentPathFile(OutputCall& call, const std::filesystem::path& path, bool append,
                          const std::function<void(std::ostream&)>& write);

}  // namespace kelmor
