// kelmor-gui: Kelmor's windows. kelmor starts it for no arguments or the window
// options; the command line itself stays in kelmor.
#include <iostream>

#include "cli/cli.h"
#include "cli/gui_args.h"
#include "ui/gui_main.h"

int main(int argc, char** argv) {
  if (!kelmor::WantsGui(argc, argv)) {
    std::cerr << "kelmor-gui: opens Kelmor's windows and takes only --settings FILE and "
                 "--screenshot WINDOW FILE; for the command line use kelmor\n";
    return kelmor::ExitRefused;
  }
  return kelmor::RunGui(argc, argv);
}
