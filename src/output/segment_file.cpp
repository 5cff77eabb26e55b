#include "output/segment_file.h"

#include "output/output_call.h"

namespace kelmor {

void WriteSegmentFile(OutputCall&) {
  // Not written yet: the segment file comes with the realm path.
}

}  // namespace kelmor
