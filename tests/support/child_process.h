#pragma once

// Runs an outside program (kelmor itself, a viewer) the way the tests need it: in a home
// of its own, so that nothing depends on the user's ~/.config, with both streams captured
// and a guard that kills it when it hangs.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/file_text.h"

extern char** environ;

#ifndef KELMOR_SANITIZED
#define KELMOR_SANITIZED 0
#endif

namespace kelmor::testing {

// Long enough for any run these tests start to end by itself many times over; a sanitizer
// build runs several times slower.
inline constexpr std::chrono::milliseconds kChildGuard{KELMOR_SANITIZED ? 60'000 : 20'000};

struct ChildResult {
  int status = -1;      // exit status; -1 when killed by a signal or by the guard
  int signal = 0;       // the signal that ended it, if any
  bool hung = false;    // the guard killed it
  std::string out, err;
};

// HOME and every XDG folder under root (created), for a program that writes caches or
// settings there.
inline std::vector<std::string> PrivateHome(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::vector<std::string> env;
  const std::pair<const char*, const char*> folders[] = {
      {"HOME", "home"},
      {"XDG_CONFIG_HOME", "home/.config"},
      {"XDG_CACHE_HOME", "home/.cache"},
      {"XDG_DATA_HOME", "home/.local/share"},
      {"XDG_STATE_HOME", "home/.local/state"},
      {"XDG_RUNTIME_DIR", "runtime"},
  };
  for (const auto& [name, sub] : folders) {
    fs::create_directories(root / sub);
    env.push_back(std::string(name) + "=" + (root / sub).string());
  }
  fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  return env;
}

// Only what a program needs to run alone: a private home under root (see PrivateHome), the
// system's PATH, this process's sanitizer options, then extra.
inline std::vector<std::string> CleanEnvironment(const std::filesystem::path& root,
                                                 const std::vector<std::string>& extra = {}) {
  std::vector<std::string> env = PrivateHome(root);
  env.push_back("PATH=/usr/bin:/bin");
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("ASAN_OPTIONS=", 0) == 0 || std::string(*e).rfind("UBSAN_OPTIONS=", 0) == 0)
      env.push_back(*e);
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

// The environment of this process with the given NAME=VALUE entries put over it.
inline std::vector<std::string> EnvironmentWith(const std::vector<std::string>& over) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& o : over)
      if (o.compare(0, name.size() + 1, name + "=") == 0) replaced = true;
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), over.begin(), over.end());
  return env;
}

// Starts program with args in the environment env, standard input /dev/null and the two
// output streams into the given files, without waiting; returns its process id, or -1.
inline pid_t SpawnChild(const std::string& program, const std::vector<std::string>& args,
                        const std::vector<std::string>& env, const std::filesystem::path& outPath,
                        const std::filesystem::path& errPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> argStore{program};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv, envp;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore = env;
  for (std::string& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// The status as a shell reports it: the exit status, or 128 plus the signal that ended it.
inline int ExitCode(const ChildResult& r) { return r.signal != 0 ? 128 + r.signal : r.status; }

// A program left running while the test watches what it writes, then signalled or waited
// for. Standard input is /dev/null; the streams go to the files given. Killed when the
// object goes, if still running.
class StartedChild {
 public:
  StartedChild(const std::string& program, const std::vector<std::string>& args, const std::vector<std::string>& env,
               std::filesystem::path outPath, std::filesystem::path errPath)
      : pid_(SpawnChild(program, args, env, outPath, errPath)), outPath_(std::move(outPath)),
        errPath_(std::move(errPath)) {}
  ~StartedChild() {
    if (running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &wstatus_, 0);
    }
  }
  StartedChild(const StartedChild&) = delete;
  StartedChild& operator=(const StartedChild&) = delete;

  // The process id; -1 when it could not be started.
  pid_t pid() const { return pid_; }
  // Whether it has not yet ended; an ended one is reaped here.
  bool running() {
    if (pid_ > 0 && !ended_ && waitpid(pid_, &wstatus_, WNOHANG) == pid_) ended_ = true;
    return pid_ > 0 && !ended_;
  }
  // Waits until ready() holds, the program ends or guard passes; whether ready() holds.
  template <typename Ready>
  bool until(Ready ready, std::chrono::milliseconds guard = kChildGuard) {
    const auto start = std::chrono::steady_clock::now();
    while (!ready()) {
      if (!running() || std::chrono::steady_clock::now() - start > guard) return ready();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
  // Sends signal (none for 0) and waits for the end, killing it once guard has passed. A
  // program never started gives status -1 and no signal.
  ChildResult finish(int signal = 0, std::chrono::milliseconds guard = kChildGuard) {
    ChildResult result;
    if (pid_ <= 0) return result;
    if (signal != 0 && running()) kill(pid_, signal);
    const auto start = std::chrono::steady_clock::now();
    while (running()) {
      if (std::chrono::steady_clock::now() - start > guard) {
        result.hung = true;
        kill(pid_, SIGKILL);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(wstatus_)) result.status = WEXITSTATUS(wstatus_);
    if (WIFSIGNALED(wstatus_)) result.signal = WTERMSIG(wstatus_);
    result.out = ReadAll(outPath_);
    result.err = ReadAll(errPath_);
    return result;
  }

 private:
  pid_t pid_;
  std::filesystem::path outPath_, errPath_;
  int wstatus_ = 0;
  bool ended_ = false;
};

// Runs program with args in the environment env; standard input is /dev/null. Kills the
// child (SIGKILL) once it has run for guard; captures both streams through files in dir.
inline ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                            const std::vector<std::string>& env, const std::filesystem::path& dir,
                            std::chrono::milliseconds guard) {
  const std::filesystem::path outPath = dir / ".child_out", errPath = dir / ".child_err";
  StartedChild child(program, args, env, outPath, errPath);
  ChildResult result = child.pid() > 0 ? child.finish(0, guard) : ChildResult{.err = "could not start " + program};
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return result;
}

}  // namespace kelmor::testing
