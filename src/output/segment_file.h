#pragma once

#include <filesystem>
#include <functional>
#include <ostream>

namespace kelmor {

struct OutputCall;

// A model of two or more segments goes to one segment file, OutputName + ".wrl", one
// segment per call: the first segment written starts the file with the header and the
// colour table, every segment adds its own shape on the coordinate set "C" + segment
// number, placed by the segment's edge length, flips and offset. Then SegmentIndex
// advances; while segments remain NextSegmentPending is set, and after the last one the
// inter-realm section is read and, when there is one, the realm files are written. The
// file is built under a temporary name and replaces the old one only when complete.
void WriteSegmentFile(OutputCall& call);

}  // namespace kelmor
