#include "cli/man_page.h"

#include <sstream>

namespace kelmor {

namespace {

// What is not an option: how runs end, and what Kelmor reads besides its arguments.
constexpr const char* kClosingSections = R"(.SH EXIT STATUS
.TP
.B 0
the run ended with files written (batch: every input solved or written)
.TP
.B 1
the run ended without writing (batch: some input did not solve, or the batch was interrupted)
.TP
.B 2
options refused: nothing was read or written
.TP
.B 3
the run was abandoned by an error (batch: its folder or table could not be written)
.SH ENVIRONMENT
.TP
.B KELMOR_INI
the settings file, when \fB\-\-settings\fR is not given
.TP
.B KELMOR_EXPORT_MODULE
the module that writes \fB\-\-export\fR formats, instead of the one installed with kelmor
.TP
.B XDG_CONFIG_HOME
holds \fIkelmor/kelmor.ini\fR when the program's own folder cannot be written
.SH FILES
.TP
.I kelmor.ini
the preferences, beside the program, or \fI$XDG_CONFIG_HOME/kelmor/kelmor.ini\fR
(\fI~/.config/kelmor/kelmor.ini\fR); created with the defaults when missing
.TP
.I NAME.off NAME_solid.wrl NAME_anim.wrl NAME_frame.wrl NAME_switch.wrl NAME_cylinder.wrl
the files of a solution, in the output folder; each replaced whole, never appended to
.SH EXAMPLES
Relax a solid into a folder of its own; the same seed gives the same files:
.PP
.RS
.nf
kelmor run snub_cube.txt \-\-out snub \-\-seed 1
.fi
.RE
.PP
Every input of a folder, two at a time, into one results table, and a picture:
.PP
.RS
.nf
kelmor batch solids/*.txt \-\-out results \-\-jobs 2
kelmor render results/cube/cube.off \-o cube.png \-\-size 400
.fi
.RE
.SH SEE ALSO
.BR view3dscene (1),
.BR assimp (1)
)";

// "Kelmor: finds vertex positions ... relaxation.\nWith no arguments ..." gives the
// manual's one-line summary "finds vertex positions ... relaxation".
std::string Summary(const std::string& description) {
  std::string line = description.substr(0, description.find('\n'));
  if (size_t colon = line.find(": "); colon != std::string::npos) line = line.substr(colon + 2);
  if (!line.empty() && line.back() == '.') line.pop_back();
  return line;
}

std::string Synopsis(const CommandEntry& command) {
  std::string text = "\\fBkelmor " + command.name + "\\fR";
  for (const OptionEntry& o : command.options)
    if (!o.positional.empty()) text += o.required ? " \\fI" + o.positional + "\\fR" : " [\\fI" + o.positional + "\\fR...]";
  return text + " [\\fIOPTIONS\\fR]";
}

void WriteOption(std::ostream& out, const OptionEntry& o) {
  out << ".TP\n";
  if (!o.positional.empty()) {
    out << "\\fI" << RoffText(o.positional) << "\\fR\n";
  } else {
    for (size_t i = 0; i < o.names.size(); ++i) out << (i ? ", " : "") << "\\fB" << RoffText(o.names[i]) << "\\fR";
    if (!o.value.empty()) out << " \\fI" << RoffText(o.value) << "\\fR";
    out << "\n";
  }
  out << RoffText(o.help);
  if (!o.defaultText.empty()) out << " (default: " << RoffText(o.defaultText) << ")";
  out << "\n";
}

}  // namespace

std::string RoffText(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    lineStart = c == '\n';
    if (c == '\\') out += "\\e";
    else if (c == '-') out += "\\-";
    else out += c;
  }
  return out;
}

std::string ManPage(const std::vector<CommandEntry>& commands) {
  std::ostringstream out;
  const CommandEntry& program = commands.front();
  out << ".TH KELMOR 1 \"\" \"Kelmor\" \"User Commands\"\n"
      << ".SH NAME\nkelmor \\- " << RoffText(Summary(program.help)) << "\n"
      << ".SH SYNOPSIS\n\\fBkelmor\\fR\n.br\n\\fBkelmor\\fR \\fICOMMAND\\fR [\\fIOPTIONS\\fR]\n"
      << ".SH DESCRIPTION\n" << RoffText(program.help) << "\n"
      << "With a command it works on the command line and never opens a window.\n"
      << "Each command's options follow; \\fBkelmor \\fICOMMAND\\fB \\-\\-help\\fR lists them too.\n"
      << ".SH OPTIONS\n";
  for (const OptionEntry& o : program.options) WriteOption(out, o);
  out << ".SH COMMANDS\n";
  for (size_t i = 1; i < commands.size(); ++i) {
    const CommandEntry& command = commands[i];
    out << ".SS " << RoffText(command.name) << "\n" << Synopsis(command) << "\n.PP\n"
        << RoffText(command.help) << "\n";
    for (const OptionEntry& o : command.options) WriteOption(out, o);
  }
  out << kClosingSections;
  return out.str();
}

}  // namespace kelmor
