// Whole-program fuzzing of option values: every --set control, every --pref key, the run
// options that take values and the shapes' n/d, each given odd values (non-finite, huge,
// negative, empty, not ASCII, malformed), through the real executable. Whatever the value,
// the run ends by itself well inside the guard, without a signal or an escaped exception,
// and a refusal is exit 2 with the option named.
//
// A deterministic sample of a few hundred runs goes into `make test`; KELMOR_FUZZ_CASES=all
// runs every option with every value (a few thousand runs), KELMOR_FUZZ_CASES=N the first N.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <thread>

#include "run/options.h"
#include "settings/preferences.h"
#include "support/kelmor_child.h"

namespace kelmor::testing {
namespace {

const std::vector<std::string>& OddValues() {
  static const std::vector<std::string> values = {
      "nan", "inf", "-inf", "1e309", "-1e309", "1e308", "-1", "0", "", "-0", "2147483648", "-2147483649",
      "99999999999999999999", "1e-400", "\xc3\xa9", "\xe6\x97\xa5\xe6\x9c\xac", "\xff\xfe", "3/0", "5/-2",
      "7/40000", "0x10", " 5", "1,5", "abc", "1.5", "32768", "-32769", "a\nb", "5/2", "200",
  };
  return values;
}

struct FuzzCase {
  std::vector<std::string> option;  // the option and its value, or the shape's words
  std::vector<std::string> names;   // any of these named on a refusal will do
};

std::vector<std::string> ControlList() {
  std::vector<std::string> names;
  std::istringstream in(ControlNames());
  for (std::string name; std::getline(in, name, ',');) names.push_back(name.substr(name.find_first_not_of(' ')));
  return names;
}

// Each --set control and --pref key with two values in turn (every value with KELMOR_FUZZ_CASES=all),
// the options with every value, the shapes with every value.
std::vector<FuzzCase> Cases(bool all) {
  const std::vector<std::string>& values = OddValues();
  std::vector<FuzzCase> cases;
  size_t turn = 0;
  auto some = [&](auto add) {
    const size_t count = all ? values.size() : 2;
    for (size_t i = 0; i < count; ++i) add(values[(turn++) % values.size()]);
  };
  for (const std::string& control : ControlList())
    some([&](const std::string& v) { cases.push_back({{"--set", control + "=" + v}, {control}}); });
  for (const PrefKey& key : PreferenceKeys())
    some([&](const std::string& v) { cases.push_back({{"--pref", std::string(key.key) + "=" + v}, {key.key}}); });
  for (const char* option : {"--scale", "--smooth", "--weaken", "--global-limit", "--augment", "--highlight",
                             "--time-limit", "--max-iterations", "--max-attempts", "--stall", "--solutions",
                             "--search-after", "--seed"})
    for (const std::string& v : values) cases.push_back({{option, v}, {option}});
  // A size that starts with a dash reads as an option, leaving N missing.
  for (const char* kind : {"polygon", "pyramid", "prism", "antiprism"})
    for (const std::string& v : values) cases.push_back({{"shape", kind, v}, {"shape", "polygon size", "N is required"}});
  return cases;
}

// The command line around one case: a cube run (or the shape) bounded by the stop rules
// the case itself does not give.
std::vector<std::string> CommandLine(const FuzzCase& c, const KelmorChild& kelmor) {
  std::vector<std::string> args;
  if (c.option[0] == "shape")
    args = c.option;
  else
    args = {"run", kelmor.cube()};
  args.insert(args.end(), {"--out", kelmor.out(), "--quiet", "--answer", "no"});
  if (c.option[0] != "--seed") args.insert(args.end(), {"--seed", "1"});
  if (c.option[0] != "--max-attempts") args.insert(args.end(), {"--max-attempts", "3"});
  if (c.option[0] != "--time-limit") args.insert(args.end(), {"--time-limit", "2"});
  if (c.option[0] == "--scale") args.insert(args.end(), {"--export", "stl"});
  if (c.option[0] != "shape") args.insert(args.end(), c.option.begin(), c.option.end());
  return args;
}

// What is wrong with the way one case ended, or nothing.
std::string Fault(const FuzzCase& c, const ChildResult& r) {
  if (std::string crash = CrashSigns(r); !crash.empty()) return crash;
  if (r.status < 0 || r.status > 3) return "exit status " + std::to_string(r.status);
  if (r.status != 2) return {};
  for (const std::string& name : c.names)
    if (r.err.find(name) != std::string::npos) return {};
  // The run-time option checks name the control in the system's words.
  if (r.err.find("Error: ") != std::string::npos) return {};
  return "refused without naming the option";
}

std::string Shown(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += "'" + w + "' ";
  return text;
}

TEST(OptionFuzz, EveryValueEndsCleanlyAndEveryRefusalNamesItsOption) {
  const char* asked = std::getenv("KELMOR_FUZZ_CASES");
  const bool all = asked && std::string(asked) == "all";
  std::vector<FuzzCase> cases = Cases(all);
  if (asked && !all) cases.resize(std::min(cases.size(), static_cast<size_t>(std::atol(asked))));

  std::atomic<size_t> next{0};
  std::mutex lock;
  std::vector<std::string> faults;
  std::array<int, 4> statuses{};
  auto work = [&](int worker) {
    KelmorChild kelmor("fuzz_" + std::to_string(worker));
    for (size_t i = next++; i < cases.size(); i = next++) {
      ChildResult r = kelmor(CommandLine(cases[i], kelmor));
      std::string fault = Fault(cases[i], r);
      std::lock_guard<std::mutex> hold(lock);
      if (r.status >= 0 && r.status <= 3) ++statuses[static_cast<size_t>(r.status)];
      if (!fault.empty()) faults.push_back(Shown(cases[i].option) + ": " + fault + "\n" + r.err.substr(0, 400));
    }
  };
  std::vector<std::thread> workers;
  for (int w = 0; w < 2; ++w) workers.emplace_back(work, w);
  for (std::thread& t : workers) t.join();

  // The sample must reach both sides: values refused and values that ran.
  EXPECT_GT(statuses[2], 0);
  EXPECT_GT(statuses[0] + statuses[1], 0);
  EXPECT_TRUE(faults.empty()) << faults.size() << " of " << cases.size() << " cases, the first:\n"
                              << (faults.empty() ? "" : faults.front());
  for (size_t i = 1; i < std::min<size_t>(faults.size(), 10); ++i) ADD_FAILURE() << faults[i];
}

}  // namespace
}  // namespace kelmor::testing
