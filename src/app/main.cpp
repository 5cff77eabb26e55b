// kelmor: with a sub-command it works on the command line and never maps a Qt library;
// with no arguments (or only the window options) it hands over to its window companion.
#include <iostream>

#include "cli/cli.h"
#include "unattended/companion.h"
#include "cli/gui_args.h"

int main(int argc, char** argv) {
  if (kelmor::WantsGui(argc, argv))
    return kelmor::ExecCompanion(kelmor::kGuiCompanion, argc, argv, std::cerr);
  return kelmor::RunCli(argc, argv);
}
