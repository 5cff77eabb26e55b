#pragma once

namespace kelmor {

// Opens the main window and runs the event loop; returns the program's exit status.
int RunGui(int argc, char** argv);

}  // namespace kelmor
