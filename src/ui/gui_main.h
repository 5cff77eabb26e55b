#pragma once

namespace kelmor {

// True when the command line asks for the windows: no sub-command at all, or the
// window-only options (--screenshot WINDOW FILE, --settings FILE).
bool WantsGui(int argc, char** argv);

// Opens the main window and runs the event loop; returns the program's exit status.
int RunGui(int argc, char** argv);

}  // namespace kelmor
