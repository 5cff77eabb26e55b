#include "web/page_run.h"

namespace kelmor {

PageResult PageSolve(const Topology& topology, const Options& options, PageCallbacks callbacks,
                     double frameMillis) {
  // One attempt only in once and weaken mode, and for segments (whose boxes are greyed).
  const bool single = options.mode != RunMode::Repeat || topology.letters.find('S') != std::string::npos;
  PageHost host(options, std::move(callbacks), single, frameMillis);
  PageResult out{Solve(topology, options, host), std::move(host.solutionShapes())};
  out.result.messages = host.messages();
  return out;
}

}  // namespace kelmor
