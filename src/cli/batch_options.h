#pragma once

#include "batch/batch.h"

namespace CLI {
class App;
}

namespace kelmor {

// Adds the options of `kelmor batch` (with every run option) to its sub-command.
void AddBatchOptions(CLI::App* app, BatchArgs& a);

}  // namespace kelmor
