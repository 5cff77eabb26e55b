#pragma once

// An X display of a chosen size with a window manager, for window tests whose verdict must
// not depend on the screen they happen to be started on: Xvfb on a free display number,
// then openbox on it (frames, title bars and a work area as on a desktop).
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kelmor::testing {

class XDisplay {
 public:
  // home: a folder of the test's own for openbox's settings and caches.
  XDisplay(int width, int height, const std::filesystem::path& home);
  ~XDisplay();
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  // Whether both run; else why not (a line for the test's skip).
  bool ok() const { return problem_.empty(); }
  const std::string& problem() const { return problem_; }
  // ":N", and the environment a program needs to open its windows there.
  const std::string& name() const { return name_; }
  std::vector<std::string> environment() const;

 private:
  bool startServer(int width, int height);
  bool startWindowManager();

  std::filesystem::path home_;
  pid_t server_ = 0, manager_ = 0;
  std::string name_, problem_;
};

}  // namespace kelmor::testing
