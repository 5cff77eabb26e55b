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
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kelmor::testing {

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

inline std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
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

// Runs program with args in the environment env; standard input is /dev/null. Kills the
// child (SIGKILL) once it has run for guard; captures both streams through files in dir.
inline ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                            const std::vector<std::string>& env, const std::filesystem::path& dir,
                            std::chrono::milliseconds guard) {
  namespace fs = std::filesystem;
  ChildResult result;
  const fs::path outPath = dir / ".child_out", errPath = dir / ".child_err";
  const pid_t pid = SpawnChild(program, args, env, outPath, errPath);
  if (pid < 0) {
    result.err = "could not start " + program;
    return result;
  }
  const auto start = std::chrono::steady_clock::now();
  int wstatus = 0;
  for (;;) {
    pid_t done = waitpid(pid, &wstatus, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() - start > guard) {
      result.hung = true;
      kill(pid, SIGKILL);
      waitpid(pid, &wstatus, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) result.signal = WTERMSIG(wstatus);
  result.out = ReadAll(outPath);
  result.err = ReadAll(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return result;
}

}  // namespace kelmor::testing
