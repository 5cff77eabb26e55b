#include "cli/bash_completion.h"

#include <algorithm>
#include <sstream>

namespace kelmor {

namespace {

// The script's fixed part: which sub-command the line is in, and what the word being
// completed is ("--out=DI" splits into "--out", "=", "DI" under bash's word breaks).
constexpr const char* kPreamble = R"(# bash completion for kelmor, written by `kelmor --help-completion` from its option definitions
_kelmor() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD-1]}
    if [[ $cur == "=" ]]; then
        cur=""
    elif [[ $prev == "=" ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi
    local command="" at=0 i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
)";

// Words the shell offers, one a line; file names when asked. A command whose first
// argument has words of its own ($first) offers them until that argument is on the line:
// the words after the command that are neither options nor their values ($valued).
constexpr const char* kEnding = R"(    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ -n $words ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    else
        if [[ -n $first ]]; then
            local given=0 w
            for ((i = at + 1; i < COMP_CWORD; i++)); do
                w=${COMP_WORDS[i]}
                if [[ $w == -* ]]; then
                    if [[ $valued == *" $w "* ]]; then
                        [[ ${COMP_WORDS[i+1]} == "=" ]] && ((i++))
                        ((i++))
                    fi
                    continue
                fi
                given=1
                break
            done
            if ((given == 0)); then
                mapfile -t COMPREPLY < <(compgen -W "$first" -- "$cur")
                return
            fi
        fi
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}
complete -F _kelmor kelmor
)";

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

std::vector<std::string> OptionNames(const CommandEntry& command) {
  std::vector<std::string> names;
  for (const OptionEntry& o : command.options) names.insert(names.end(), o.names.begin(), o.names.end());
  return names;
}

// What follows an option that takes a value: its choices, file names, or nothing to offer
// (a number or a free word: the shell must not guess file names there).
void WriteValueCases(std::ostream& out, const CommandEntry& command) {
  for (const OptionEntry& o : command.options) {
    if (o.names.empty() || o.IsFlag()) continue;
    out << "        ";
    for (size_t i = 0; i < o.names.size(); ++i) out << (i ? "|" : "") << "\"" << command.name << " " << o.names[i] << "\"";
    if (!o.choices.empty())
      out << ") mapfile -t COMPREPLY < <(compgen -W \"" << Joined(o.choices) << "\" -- \"$cur\"); return ;;\n";
    else if (o.TakesPath())
      out << ") compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- \"$cur\"); return ;;\n";
    else
      out << ") COMPREPLY=(); return ;;\n";
  }
}

// The command's options, those that take a value, and the words of its first argument.
void WriteCommandCase(std::ostream& out, const CommandEntry& command) {
  std::vector<std::string> valued;
  for (const OptionEntry& o : command.options)
    if (!o.IsFlag()) valued.insert(valued.end(), o.names.begin(), o.names.end());
  auto first = std::find_if(command.options.begin(), command.options.end(),
                            [](const OptionEntry& o) { return !o.positional.empty(); });
  out << "        " << command.name << ") options=\"" << Joined(OptionNames(command)) << "\"; valued=\" "
      << Joined(valued) << " \"";
  if (first != command.options.end() && !first->choices.empty()) out << "; first=\"" << Joined(first->choices) << "\"";
  out << " ;;\n";
}

}  // namespace

std::string BashCompletion(const std::vector<CommandEntry>& commands) {
  std::vector<std::string> names;
  for (size_t i = 1; i < commands.size(); ++i) names.push_back(commands[i].name);
  std::ostringstream out;
  out << kPreamble;
  std::string pattern;
  for (const std::string& n : names) pattern += (pattern.empty() ? "" : "|") + n;
  out << "            " << pattern << ") command=${COMP_WORDS[i]}; at=$i; break ;;\n"
      << "        esac\n    done\n"
      << "    local options words=\"\" valued=\"\" first=\"\"\n    case $command in\n"
      << "        \"\") options=\"" << Joined(OptionNames(commands.front())) << "\"; words=\""
      << Joined(names) << "\" ;;\n";
  for (size_t i = 1; i < commands.size(); ++i) WriteCommandCase(out, commands[i]);
  out << "    esac\n    case \"$command $prev\" in\n";
  for (const CommandEntry& command : commands) WriteValueCases(out, command);
  out << "    esac\n" << kEnding;
  return out.str();
}

}  // namespace kelmor
