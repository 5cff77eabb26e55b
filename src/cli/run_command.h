#pragma once

#include "unattended/run_args.h"
#include "unattended/unattended_run.h"

namespace CLI {
class App;
}

namespace kelmor {

// Adds the run options (and the INPUT argument when withInput) to a sub-command.
void AddRunOptions(CLI::App* app, RunArgs& a, bool withInput);

}  // namespace kelmor
