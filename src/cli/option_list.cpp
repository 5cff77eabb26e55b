#include "cli/option_list.h"

#include <CLI/CLI.hpp>

namespace kelmor {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The parser's type name is "BASE" or "BASE:VALIDATOR:...": "TEXT:{yes,no,ask}" names the
// choices through its member check, "on|off" through the name given to the value.
void ReadTypeName(const std::string& typeName, OptionEntry& entry) {
  std::vector<std::string> parts = Split(typeName, ':');
  entry.value = parts.front();
  if (entry.value.find('|') != std::string::npos) entry.choices = Split(entry.value, '|');
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string& check = parts[i];
    if (check.size() > 2 && check.front() == '{' && check.back() == '}') {
      entry.choices = Split(check.substr(1, check.size() - 2), ',');
      entry.value = check.substr(1, check.size() - 2);
      for (char& c : entry.value)
        if (c == ',') c = '|';
    }
  }
}

OptionEntry ReadOption(const CLI::Option& option) {
  OptionEntry entry;
  entry.help = option.get_description();
  entry.required = option.get_required();
  entry.defaultText = option.get_default_str();
  if (option.get_positional() && !option.nonpositional()) {
    entry.positional = option.get_name(true);
    ReadTypeName(option.get_type_name(), entry);
    return entry;
  }
  for (const std::string& s : option.get_snames()) entry.names.push_back("-" + s);
  for (const std::string& l : option.get_lnames()) entry.names.push_back("--" + l);
  if (option.get_type_size_max() > 0) ReadTypeName(option.get_type_name(), entry);
  else entry.defaultText.clear();  // a flag's default is "not given"
  return entry;
}

CommandEntry ReadCommand(const CLI::App& app, const std::string& name) {
  CommandEntry command{name, app.get_description(), {}};
  for (const CLI::Option* option : app.get_options())
    if (!option->get_group().empty()) command.options.push_back(ReadOption(*option));
  return command;
}

}  // namespace

bool OptionEntry::TakesPath() const {
  if (value.empty() || !choices.empty()) return false;
  std::string base = value.substr(0, value.find("..."));
  return base == "TEXT" || base == "FILE" || base == "DIR";
}

std::vector<CommandEntry> ListCommandLine(const CLI::App& app) {
  std::vector<CommandEntry> commands{ReadCommand(app, "")};
  for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
    commands.push_back(ReadCommand(*sub, sub->get_name()));
  return commands;
}

}  // namespace kelmor
