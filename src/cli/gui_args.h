#pragma once

#include <string>

namespace kelmor {

// The options the windows take: --settings FILE, --screenshot WINDOW FILE and --show
// FILE.off (the result window opened on an OFF file).
struct GuiArgs {
  std::string settings;
  std::string shotWindow;
  std::string shotFile;
  std::string show;
};

// Reads the window options; false when an argument is anything else (a sub-command).
bool ParseGuiArgs(int argc, char** argv, GuiArgs& out);

// True when the command line asks for the windows: no sub-command at all, or only the
// window options.
bool WantsGui(int argc, char** argv);

}  // namespace kelmor
