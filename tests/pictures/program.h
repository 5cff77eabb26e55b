#pragma once
// Starting Kelmor's programs from a test: each in its own HOME and XDG folders, no display.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kelmor::testing {

struct ProgramResult {
  int status = -1;
  std::string out, err;
};

// Runs build/<program> with the arguments inside `home` (created), with standard output and
// error caught; extra environment entries come after the private folders.
inline ProgramResult RunProgram(const std::filesystem::path& home, const std::string& program,
                                const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) {
  namespace fs = std::filesystem;
  fs::create_directories(home / "config");
  fs::create_directories(home / "cache");
  fs::create_directories(home / "data");
  fs::create_directories(home / "runtime");
  fs::permissions(home / "runtime", fs::perms::owner_all);
  const std::string path = std::string(KELMOR_BINARY_DIR) + "/" + program;
  std::vector<std::string> env = {"HOME=" + home.string(),
                                  "XDG_CONFIG_HOME=" + (home / "config").string(),
                                  "XDG_CACHE_HOME=" + (home / "cache").string(),
                                  "XDG_DATA_HOME=" + (home / "data").string(),
                                  "XDG_RUNTIME_DIR=" + (home / "runtime").string(),
                                  "PATH=/usr/bin:/bin",
                                  "KELMOR_INI=" + (home / "kelmor.ini").string()};
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<char*> argv = {const_cast<char*>(path.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const std::string outPath = (home / "stdout.txt").string(), errPath = (home / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ProgramResult r;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  auto slurp = [](const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  };
  r.out = slurp(outPath);
  r.err = slurp(errPath);
  return r;
}

}  // namespace kelmor::testing
