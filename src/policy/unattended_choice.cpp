#include "policy/unattended_choice.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "files/private_file.h"
#include "model/error.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

constexpr long MaxStallWindow = 1000000000;
constexpr long MaxSearchAfter = 1000000;

const char* OnOff(bool on) { return on ? "on" : "off"; }

}  // namespace

std::optional<long> WholeNumber(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return std::nullopt;
  const std::string digits = text.substr(begin, end - begin + 1);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  errno = 0;
  long value = std::strtol(digits.c_str(), nullptr, 10);
  if (errno == ERANGE) return std::nullopt;
  return value;
}

std::optional<std::string> CheckStallWindow(long iterations) {
  if (iterations >= 1 && iterations <= MaxStallWindow) return std::nullopt;
  return "The stall window is a whole number of iterations from 1 to 1000000000.";
}

std::optional<std::string> CheckSearchAfter(long attempts) {
  if (attempts >= 0 && attempts <= MaxSearchAfter) return std::nullopt;
  return "The search starts after a whole number of failed attempts from 0 to 1000000.";
}

void AddUnattendedPolicies(AttemptPolicies& policies, const UnattendedChoice& choice,
                           std::function<int()> failedAttempts) {
  if (choice.stallEscape && choice.stallWindow > 0) {
    StallRule rule;
    rule.window = choice.stallWindow;
    policies.add(std::make_unique<StallWatch>(rule));
  }
  if (choice.search) {
    SearchRule rule;
    rule.after = choice.searchAfter;
    policies.add(std::make_unique<SpectralSearch>(rule, std::move(failedAttempts)));
  }
}

std::string UnattendedChoicePath(const std::string& settingsPath) {
  return (fs::path(settingsPath).parent_path() / "kelmor-unattended.ini").string();
}

UnattendedChoice ReadUnattendedChoice(const std::string& path, std::string* problem) {
  UnattendedChoice c;
  auto complain = [&](const std::string& why) {
    if (problem && problem->empty()) *problem = why;
  };
  std::error_code ec;
  if (!fs::exists(path, ec)) return c;
  std::ifstream in(path, std::ios::binary);
  if (!fs::is_regular_file(path, ec) || !in) {
    complain(path + " cannot be read");
    return c;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    auto bad = [&](const std::string& why) { complain(path + " line " + std::to_string(number) + ": " + why); };
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      bad("not a key=value line");
      continue;
    }
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "stall" || key == "search") {
      if (value != "on" && value != "off") {
        bad(key + " takes on or off, not '" + value + "'");
        continue;
      }
      (key == "stall" ? c.stallEscape : c.search) = value == "on";
    } else if (key == "stall-window") {
      std::optional<long> n = WholeNumber(value);
      if (!n || CheckStallWindow(*n)) bad("stall-window takes 1 to 1000000000 iterations, not '" + value + "'");
      else c.stallWindow = *n;
    } else if (key == "search-after") {
      std::optional<long> n = WholeNumber(value);
      if (!n || CheckSearchAfter(*n)) bad("search-after takes 0 to 1000000 attempts, not '" + value + "'");
      else c.searchAfter = static_cast<int>(*n);
    } else {
      bad("unknown key '" + key + "'");
    }
  }
  return c;
}

std::optional<std::string> WriteUnattendedChoice(const std::string& path, const UnattendedChoice& c) {
  const std::string text = std::string("; Kelmor: unattended choices of runs from the windows\n") +
                           "stall=" + OnOff(c.stallEscape) + "\n" +
                           "stall-window=" + std::to_string(c.stallWindow) + "\n" +
                           "search=" + OnOff(c.search) + "\n" +
                           "search-after=" + std::to_string(c.searchAfter) + "\n";
  try {
    ReplaceFileWith(path, text);
  } catch (const FileWriteError& e) {
    return "cannot write " + e.path() + ": " + e.reason();
  }
  return std::nullopt;
}

}  // namespace kelmor
