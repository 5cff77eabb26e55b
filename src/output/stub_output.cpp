// Placeholder until the writers land.
#include "output/writer.h"
#include "run/run.h"

namespace kelmor {
void WriteOutputFiles(Run&) {}
}  // namespace kelmor
