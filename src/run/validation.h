#pragma once

#include <optional>
#include <string>

#include "run/options.h"

namespace kelmor {

// The RunTime window's OK validation, in its fixed order: the first failure's message.
std::optional<std::string> ValidateRunOptions(const RunOptions& options);

// The SegmentOptions window's Run validation of the five rows.
std::optional<std::string> ValidateSegmentOptions(const RunOptions& options);

}  // namespace kelmor
