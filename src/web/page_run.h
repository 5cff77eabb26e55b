#pragma once

#include "kelmor/kelmor.h"
#include "web/page_host.h"

namespace kelmor {

struct PageResult {
  SolveResult result;
  // shapes[i] is the shape of result.solutions[i]; solutions beyond them (files written
  // without a relaxation) have none.
  std::vector<SolutionSnapshot> shapes;
};

// A run of the page: the topology relaxed with the options through a PageHost that sends
// figures and frames at most every frameMillis. Each solution's files are the described
// files followed by its glb and STL. Throws ApiError for options the run-time window
// would refuse, with the window's message.
PageResult PageSolve(const Topology& topology, const Options& options, PageCallbacks callbacks,
                     double frameMillis);

}  // namespace kelmor
