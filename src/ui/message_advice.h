#pragma once

#include <string>

namespace kelmor {

// The plain reason behind a message box's text and what to do about it, shown under the
// text (which stays as it is); empty for a text that says enough by itself. For the error
// handler's "attempting to resume N", the error N in plain words and what OK and Cancel
// each do.
std::string MessageAdvice(const std::string& text);

}  // namespace kelmor
