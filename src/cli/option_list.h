#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace kelmor {

// One option or positional argument as the parser defines it, in the plain terms the
// manual page and the shell completion need.
struct OptionEntry {
  std::vector<std::string> names;    // "-q", "--quiet"; empty for a positional
  std::string positional;            // "INPUT" for a positional, else empty
  std::string value;                 // what the value is called ("N", "TEXT"); empty for a flag
  std::vector<std::string> choices;  // the only words the value may be, when the parser knows them
  std::string help;
  std::string defaultText;           // shown by --help as the default, when there is one
  bool required = false;

  bool IsFlag() const { return positional.empty() && value.empty(); }
  // A value the parser takes as free text (a path, as a rule): the shell offers file names.
  bool TakesPath() const;
};

struct CommandEntry {
  std::string name;  // "run"; empty for the program itself
  std::string help;
  std::vector<OptionEntry> options;  // the parser's order: positionals first as defined
};

// The program's options (first entry, name empty) and then each sub-command's, as
// defined on the parser: the one source of `--help`, the manual page and the completion.
// Options in no group (hidden from --help) are left out.
std::vector<CommandEntry> ListCommandLine(const CLI::App& app);

}  // namespace kelmor
