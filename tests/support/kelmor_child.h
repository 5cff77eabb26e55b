#pragma once

// The real kelmor executable, run in a folder of its own: its own HOME and XDG folders,
// its own kelmor.ini ($KELMOR_INI), the cube example beside it and a guard that kills a
// run that hangs. The folder goes when the object does.
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor::testing {

class KelmorChild {
 public:
  explicit KelmorChild(const std::string& name) : folder_("_" + name), dir(folder_.path()) {
    std::filesystem::create_directories(dir / "out");
    env = EnvironmentWith(PrivateHome(dir));
    env.push_back("KELMOR_INI=" + ini().string());
    folder_.CopyExample("cube.txt");
  }

  ChildResult operator()(const std::vector<std::string>& args,
                         std::chrono::milliseconds guard = kChildGuard) const {
    return RunChild(KELMOR_EXE, args, env, dir, guard);
  }
  std::filesystem::path ini() const { return dir / "kelmor.ini"; }
  std::string cube() const { return (dir / "cube.txt").string(); }
  std::string out() const { return (dir / "out").string(); }

 private:
  TempFolder folder_;

 public:
  std::filesystem::path dir;
  std::vector<std::string> env;
};

// The faults no run may show, whatever it was given: a signal (abort, segfault), the guard,
// an exception that escaped, or a number printed with hundreds of digits.
inline std::string CrashSigns(const ChildResult& r) {
  if (r.hung) return "still running after the guard";
  if (r.signal != 0) return "ended by signal " + std::to_string(r.signal);
  if (r.err.find("terminate called") != std::string::npos) return "an exception escaped";
  if (std::regex_search(r.err, std::regex("[0-9]{40}"))) return "a number of 40 digits or more";
  return {};
}

}  // namespace kelmor::testing
