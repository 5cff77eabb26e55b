#pragma once

#include "kelmor/kelmor.h"
#include "run/session.h"

namespace kelmor {

// The session a library solve runs in: the preferences of a new kelmor.ini with the
// options' overrides, and the run-time controls the typed options stand for, set as the
// windows would set them for this topology (segmented input greys what cannot apply).
// Throws ApiError for a preference key or value, or an option, the windows would refuse.
Session SessionFromOptions(const Topology& topology, const Options& options);

}  // namespace kelmor
