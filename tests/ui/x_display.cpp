#include "x_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/child_process.h"

extern char** environ;

namespace kelmor::testing {

namespace {

namespace fs = std::filesystem;

// Starts program in the background with its output thrown away; 0 when it cannot start.
// Descriptors opened without close-on-exec (a pipe's end) reach it.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> argStore = args, envStore = env;
  std::vector<char*> argv, envp;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : 0;
}

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = 0;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = 0;
}

bool Exited(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == pid; }

}  // namespace

XDisplay::XDisplay(int width, int height, const fs::path& home) : home_(home) {
  fs::create_directories(home_);
  if (startServer(width, height)) startWindowManager();
}

XDisplay::~XDisplay() {
  Stop(manager_);
  Stop(server_);
}

std::vector<std::string> XDisplay::environment() const {
  std::vector<std::string> env = PrivateHome(home_);
  env.push_back("DISPLAY=" + name_);
  env.push_back("WAYLAND_DISPLAY=");
  return EnvironmentWith(env);
}

bool XDisplay::startServer(int width, int height) {
  // Xvfb names the display it found free on a pipe.
  int ends[2];
  if (pipe(ends) != 0) {
    problem_ = "no pipe for Xvfb";
    return false;
  }
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  server_ = Spawn({"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", screen, "-nolisten", "tcp",
                   "-noreset"},
                  EnvironmentWith({}));
  close(ends[1]);
  std::string number;
  pollfd wait{ends[0], POLLIN, 0};
  const auto start = std::chrono::steady_clock::now();
  while (server_ && number.find('\n') == std::string::npos &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
    if (poll(&wait, 1, 100) <= 0) continue;
    char c[16];
    const ssize_t n = read(ends[0], c, sizeof c);
    if (n <= 0) break;
    number.append(c, static_cast<size_t>(n));
  }
  close(ends[0]);
  if (!server_ || number.find('\n') == std::string::npos) {
    problem_ = "Xvfb cannot run here (is the xvfb package installed?)";
    Stop(server_);
    return false;
  }
  name_ = ":" + number.substr(0, number.find('\n'));
  return true;
}

bool XDisplay::startWindowManager() {
  const std::vector<std::string> env = environment();
  manager_ = Spawn({"openbox", "--sm-disable"}, env);
  if (!manager_) {
    problem_ = "openbox cannot run here (is the openbox package installed?)";
    return false;
  }
  // Ready once it has claimed the screen: the root window names the manager's window.
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
    if (Exited(manager_)) {
      manager_ = 0;
      problem_ = "openbox ended at once on " + name_;
      return false;
    }
    ChildResult r = RunChild("/usr/bin/xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, env, home_,
                             std::chrono::seconds(5));
    if (r.status == 0 && r.out.find("window id") != std::string::npos) return true;
    if (r.status == -1 && !r.hung && r.signal == 0) {
      problem_ = "xprop cannot run here (is the x11-utils package installed?)";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  problem_ = "openbox did not take the screen " + name_ + " within 20 s";
  return false;
}

}  // namespace kelmor::testing
