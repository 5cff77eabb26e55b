#pragma once

#include <gtest/gtest.h>

#include <string>

namespace kelmor::testing {

// Compares text with the expected file tests/golden/<name>. On a mismatch writes the
// text to <name>.actual beside it and names the first line that differs. With
// UPDATE_GOLDEN=1 in the environment the expected file is rewritten instead.
::testing::AssertionResult MatchesGolden(const std::string& name, const std::string& text);

}  // namespace kelmor::testing
