#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kelmor::render {

// `render FILE.off... [-o OUT] [--size W[xH]] [--view V] [--background C] [--edges]`: a PNG
// picture of each OFF file (beside it, or OUT: a file for one input, a folder for
// several). args excludes the program name and the word "render". Exit status: 0 all
// written, 1 some picture could not be made, 2 options refused.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelmor::render
