// kelmor: with no arguments the windows open; with a sub-command it works on the
// command line and never creates a window.
#include "cli/cli.h"

#ifdef KELMOR_HAVE_GUI
#include "ui/gui_main.h"
#endif

int main(int argc, char** argv) {
#ifdef KELMOR_HAVE_GUI
  if (kelmor::WantsGui(argc, argv)) return kelmor::RunGui(argc, argv);
#endif
  return kelmor::RunCli(argc, argv);
}
