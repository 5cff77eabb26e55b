#pragma once

// The command line run inside the test process, as `kelmor ARGS` would run, with both
// streams caught.
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace kelmor::testing {

struct CliResult {
  int status;
  std::string out, err;
};

inline CliResult RunCliCaught(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace kelmor::testing
