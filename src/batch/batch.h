#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "unattended/run_args.h"

namespace kelmor {

// kelmor batch INPUT... [--list FILE] --out DIR [--jobs N] [--resume] [--shard K/N]
//              [--exit-zero-unless-broken] [--heartbeat SECONDS] [run options]
// kelmor batch --merge DIR... --out DIR [--prefer solved|first]
struct BatchArgs {
  RunArgs run;  // every run option; run.out is the batch's output folder
  std::vector<std::string> inputs;
  std::string list;
  int jobs = 0;  // 0: one a core
  bool resume = false;
  std::string shard;
  std::vector<std::string> merge;
  std::string prefer;                 // --merge: which of two different rows to keep
  bool exitZeroUnlessBroken = false;  // unsolved inputs do not fail the batch
  double heartbeat = 60;              // seconds between lines on a long input, with no terminal
};

// Runs the batch; returns 0 when every input was solved or written (with
// exitZeroUnlessBroken: when every input has its row), 1 when some were not (or the batch
// was interrupted), 2 when options were refused or the folder belongs to another batch, 3
// when the batch itself failed.
int RunBatch(const BatchArgs& a, std::ostream& out, std::ostream& err);

}  // namespace kelmor
