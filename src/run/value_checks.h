#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelmor {

// Values no run could mean, found before anything is read, whoever gives them (the command
// line, a batch, a window): numbers beyond what the run holds, preference values it cannot
// read, shapes that cannot close. Each message says what the value takes, with bounds
// written as people write them.

// Why the text of control cannot be used, or nothing (also for a control that is no
// text, which SetControl checks).
std::optional<std::string> ControlTextProblem(const std::string& control, const std::string& value);
// Why value cannot be a preference key's value, or nothing.
std::optional<std::string> PreferenceValueProblem(const std::string& key, const std::string& value);
// Why a shape of this kind cannot be built over the n/d text, or nothing.
std::optional<std::string> ShapeSizeProblem(const std::string& kind, const std::string& text);

// A number as a person writes it: 32767, 0.5, 1e+308 (never 309 digits).
std::string ReadableNumber(double value);
// The whole text as one finite number, nothing before or after it.
std::optional<double> PlainNumber(std::string_view text);
// A whole number of decimal digits only (no sign), as a shape's n and d are written.
std::optional<long> Digits(std::string_view text);

}  // namespace kelmor
