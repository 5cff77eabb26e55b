#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kelmor {

// The windows live in a companion executable, kelmor-gui, so that the command line
// never maps a Qt library. It sits beside kelmor in the build tree and under
// libexec/kelmor once installed.
inline constexpr const char* kGuiCompanion = "kelmor-gui";
// The pictures (`kelmor render`, `kelmor run --png`) are drawn by kelmor-render, so that
// a run without pictures never maps OpenGL.
inline constexpr const char* kRenderCompanion = "kelmor-render";

// Environment variable through which kelmor tells its companion where kelmor itself
// lives (kelmor.ini beside the program is the same file for both).
inline constexpr const char* kProgramFolderVariable = "KELMOR_PROGRAM_FOLDER";

// Folders searched for a companion, in order: the running program's folder, then the
// installed libexec folder relative to it.
std::vector<std::string> CompanionFolders(const std::string& programFolder);

// The companion's path, or "" when none of the folders holds an executable one.
std::string FindCompanion(const std::string& name, const std::string& programFolder);

// Replaces this process with the companion, passing the arguments after argv[0]
// unchanged (the same process id; the companion's exit status is the program's).
// Returns only on failure, with the exit status to use after a message on err.
int ExecCompanion(const std::string& name, int argc, char** argv, std::ostream& err);

// Runs the companion with the arguments and waits for it: its exit status, or empty
// (with the reason in `error`) when it is missing, cannot start or was killed.
std::optional<int> RunCompanion(const std::string& name, const std::vector<std::string>& args,
                                std::string& error);

}  // namespace kelmor
