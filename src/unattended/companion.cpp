#include "unattended/companion.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>

#include "unattended/exit_status.h"
#include "settings/settings_file.h"

#ifndef KELMOR_COMPANION_FROM_BIN
#define KELMOR_COMPANION_FROM_BIN "../libexec/kelmor"
#endif

extern char** environ;

namespace kelmor {

namespace fs = std::filesystem;

std::vector<std::string> CompanionFolders(const std::string& programFolder) {
  fs::path here(programFolder);
  return {here.string(), (here / KELMOR_COMPANION_FROM_BIN).lexically_normal().string()};
}

std::string FindCompanion(const std::string& name, const std::string& programFolder) {
  for (const std::string& folder : CompanionFolders(programFolder)) {
    fs::path candidate = fs::path(folder) / name;
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate.string();
  }
  return "";
}

int ExecCompanion(const std::string& name, int argc, char** argv, std::ostream& err) {
  std::string folder = ProgramFolder();
  std::string path = FindCompanion(name, folder);
  if (path.empty()) {
    std::vector<std::string> folders = CompanionFolders(folder);
    err << "kelmor: the windows need " << name << ", which is in neither " << folders[0]
        << " nor " << folders[1] << "; reinstall Kelmor, or on the command line use a "
        << "sub-command (run, shape, scan, prefs; see 'kelmor --help')\n";
    return ExitRefused;
  }
  ::setenv(kProgramFolderVariable, folder.c_str(), 1);
  std::vector<char*> args;
  args.push_back(path.data());
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  ::execv(path.c_str(), args.data());
  err << "kelmor: cannot start " << path << ": " << std::strerror(errno) << "\n";
  return ExitRefused;
}

std::optional<int> RunCompanion(const std::string& name, const std::vector<std::string>& args,
                                std::string& error) {
  const std::string folder = ProgramFolder();
  const std::string path = FindCompanion(name, folder);
  if (path.empty()) {
    std::vector<std::string> folders = CompanionFolders(folder);
    error = name + " is in neither " + folders[0] + " nor " + folders[1] + "; reinstall Kelmor";
    return std::nullopt;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (int e = ::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ)) {
    error = "cannot start " + path + ": " + std::strerror(e);
    return std::nullopt;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      error = "lost " + path + ": " + std::strerror(errno);
      return std::nullopt;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  error = path + " ended by signal " + std::to_string(WTERMSIG(status));
  return std::nullopt;
}

}  // namespace kelmor
