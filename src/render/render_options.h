#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace kelmor::render {

// What `kelmor render` was asked for, as given (the texts are checked by RunRender).
struct RenderArgs {
  std::vector<std::string> inputs;
  std::vector<std::string> solidFiles;
  std::string output;
  std::string size = "800";
  std::string view = "iso";
  std::string background = "white";
  bool edges = false;
};

// The options of `kelmor render`. The renderer parses with them, and the command line
// adds them to its own `render` entry only so that its manual page and shell completion
// list them: `kelmor render` itself is handed to the renderer before any parsing.
void AddRenderOptions(CLI::App* app, RenderArgs& a);

}  // namespace kelmor::render
