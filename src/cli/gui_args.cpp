#include "cli/gui_args.h"

#include <cstring>

namespace kelmor {

bool ParseGuiArgs(int argc, char** argv, GuiArgs& out) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--settings" && i + 1 < argc) {
      out.settings = argv[++i];
    } else if (a.rfind("--settings=", 0) == 0) {
      out.settings = a.substr(std::strlen("--settings="));
    } else if (a == "--show" && i + 1 < argc) {
      out.show = argv[++i];
    } else if (a == "--screenshot" && i + 2 < argc) {
      out.shotWindow = argv[++i];
      out.shotFile = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

bool WantsGui(int argc, char** argv) {
  GuiArgs args;
  return argc <= 1 || ParseGuiArgs(argc, argv, args);
}

}  // namespace kelmor
