#include "cli/option_checks.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "run/value_checks.h"

namespace kelmor {

CLI::Validator WholeNumberFrom(long lowest, long highest) {
  const std::string range = "a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest);
  return CLI::Validator(
      [lowest, highest, range](std::string& text) -> std::string {
        auto n = Digits(text[0] == '-' ? std::string_view(text).substr(1) : std::string_view(text));
        if (n && text[0] == '-') *n = -*n;
        if (!n || *n < lowest || *n > highest) return "takes " + range + ", not '" + text + "'";
        return {};
      },
      "");
}

CLI::Validator SettingsFileName() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        if (text.empty()) return "takes the path of a settings file, not an empty text";
        return {};
      },
      "");
}

CLI::Validator PositiveSeconds() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        // Beyond this the deadline would not fit the clock's count of nanoseconds.
        constexpr double kLongest = 3.15e10;
        auto seconds = PlainNumber(text);
        if (!seconds || !(*seconds > 0) || *seconds > kLongest)
          return "takes a number of seconds above 0 and at most " + ReadableNumber(kLongest) + ", not '" + text +
                 "'";
        return {};
      },
      "");
}

CLI::Validator StallWindow() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        auto n = Digits(text);
        if (!n || (*n != 0 && *n < kShortestStallWindow) || *n > 2147483647)
          return "takes 0 (never) or a number of iterations from " + std::to_string(kShortestStallWindow) +
                 " to 2147483647, not '" + text + "' (shorter windows cut off attempts that would solve)";
        return {};
      },
      "");
}

CLI::Validator ControlTextCheck(const std::string& control) {
  return CLI::Validator(
      [control](std::string& text) -> std::string {
        auto problem = ControlTextProblem(control, text);
        return problem ? *problem : std::string();
      },
      "");
}

}  // namespace kelmor
