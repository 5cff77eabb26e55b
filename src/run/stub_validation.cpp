// Placeholder until the option validation lands.
#include "run/validation.h"

namespace kelmor {
std::optional<std::string> ValidateRunOptions(const RunOptions&) { return std::nullopt; }
std::optional<std::string> ValidateSegmentOptions(const RunOptions&) { return std::nullopt; }
}  // namespace kelmor
