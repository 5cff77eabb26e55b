// kelmor-render: the pictures of `kelmor render` and `kelmor run --png`, kept out of the
// command line so that a run without pictures never loads OpenGL.
#include <iostream>

#include "render/render_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "render") args.erase(args.begin());
  return kelmor::render::RunRender(args, std::cout, std::cerr);
}
