// The manual page and the bash completion written from the parser's own definitions:
// every option --help shows is in both, the page renders without a warning, and bash
// completes sub-commands, options and option values from the script.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "cli/man_page.h"
#include "render/render_options.h"
#include "support/child_process.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using testing::ChildResult;

constexpr std::chrono::milliseconds Guard{60000};

std::string KelmorOut(const std::vector<std::string>& args) {
  const testing::CliResult r = testing::RunCliCaught(args);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

// The long options a help text names, e.g. "--max-iterations".
std::set<std::string> LongOptions(const std::string& help) {
  std::set<std::string> names;
  std::regex option("--[a-z][a-z0-9-]*");
  for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) names.insert(it->str());
  return names;
}

class CommandLineDocs : public ::testing::Test {
 protected:
  // COMPREPLY of the generated _kelmor for the words of a command line, the last being
  // the word under the cursor; run in dir_, where files/ holds what file names complete to.
  std::vector<std::string> Complete(const std::vector<std::string>& words) {
    const fs::path script = dir_ / "kelmor.bash";
    if (!fs::exists(script)) std::ofstream(script) << KelmorOut({"--help-completion"});
    std::vector<std::string> args{"--norc", "--noprofile", "-c",
                                  "cd \"$1\" && source \"$2\" || exit 9; shift 2; COMP_WORDS=(\"$@\"); "
                                  "COMP_CWORD=$(($# - 1)); _kelmor || exit 8; "
                                  "for w in \"${COMPREPLY[@]}\"; do printf '%s\\n' \"$w\"; done",
                                  "bash", dir_.string(), script.string()};
    args.insert(args.end(), words.begin(), words.end());
    ChildResult r = testing::RunChild("/bin/bash", args, env_, dir_, Guard);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> reply;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) reply.push_back(line);
    std::sort(reply.begin(), reply.end());
    return reply;
  }

  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
  const std::vector<std::string> env_ = testing::EnvironmentWith(testing::PrivateHome(dir_));
};

TEST_F(CommandLineDocs, EveryOptionOfEveryHelpIsInTheManPageAndTheCompletion) {
  const std::string man = KelmorOut({"--help-man"});
  const std::string completion = KelmorOut({"--help-completion"});
  // render's help comes from the renderer program; its options are defined in one place.
  CLI::App renderApp;
  render::RenderArgs renderArgs;
  render::AddRenderOptions(&renderApp, renderArgs);
  const std::pair<const char*, std::string> helps[] = {
      {"kelmor", KelmorOut({"--help"})},         {"run", KelmorOut({"run", "--help"})},
      {"shape", KelmorOut({"shape", "--help"})}, {"batch", KelmorOut({"batch", "--help"})},
      {"scan", KelmorOut({"scan", "--help"})},   {"prefs", KelmorOut({"prefs", "--help"})},
      {"render", renderApp.help()},
  };
  for (const auto& [command, help] : helps) {
    std::set<std::string> names = LongOptions(help);
    EXPECT_GE(names.size(), 1u) << command;
    for (const std::string& name : names) {
      EXPECT_NE(man.find(RoffText(name) + "\\fR"), std::string::npos) << command << " " << name;
      EXPECT_TRUE(completion.find(" " + name + " ") != std::string::npos ||
                  completion.find(" " + name + "\"") != std::string::npos)
          << command << " " << name;
    }
    if (std::string(command) != "kelmor")
      EXPECT_NE(man.find(".SS " + std::string(command) + "\n"), std::string::npos) << command;
  }
  // The hidden options that write these two stay out of the user's help.
  EXPECT_EQ(helps[0].second.find("--help-man"), std::string::npos);
}

TEST_F(CommandLineDocs, ManPageRendersWithoutWarnings) {
  const fs::path page = dir_ / "kelmor.1";
  std::ofstream(page) << KelmorOut({"--help-man"});
  std::vector<std::string> env = env_;
  env.insert(env.end(), {"MANWIDTH=80", "MANPAGER=cat", "PAGER=cat", "LC_ALL=C.UTF-8"});
  ASSERT_TRUE(fs::exists("/usr/bin/man")) << "man-db is missing (scripts/bootstrap deps)";
  ChildResult r = testing::RunChild("/usr/bin/man", {"--warnings", "-l", page.string()}, env, dir_, Guard);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "groff warned";
  EXPECT_NE(r.out.find("kelmor - finds vertex positions of polyhedra by force relaxation"), std::string::npos)
      << r.out.substr(0, 400);
  // An option, its value and its help on the lines man makes of them.
  EXPECT_NE(r.out.find("--inflate global|none|local-one|local-diagonal"), std::string::npos);
  EXPECT_NE(r.out.find("--stall INT"), std::string::npos);
  EXPECT_NE(r.out.find("EXIT STATUS"), std::string::npos);
  for (const std::string& line : {std::string("kelmor run [INPUT...] [OPTIONS]"), std::string("kelmor batch [INPUT...] [OPTIONS]")})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
}

TEST(RoffText, EscapesWhatRoffWouldReadAsMarkup) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain words", "plain words"},
      {"--out", "\\-\\-out"},
      {"a\\b", "a\\eb"},
      {".starts a request", "\\&.starts a request"},
      {"'starts one too", "\\&'starts one too"},
      {"first\n.second", "first\n\\&.second"},
      {"a.b 'c'", "a.b 'c'"},
  };
  for (const auto& [text, roff] : cases) EXPECT_EQ(RoffText(text), roff) << text;
}

TEST_F(CommandLineDocs, BashCompletesCommandsOptionsAndValues) {
  fs::create_directories(dir_ / "files" / "cubes");
  std::ofstream(dir_ / "files" / "cube.txt") << "{}";
  std::ofstream(dir_ / "files" / "cuboctahedron.txt") << "{}";
  using Words = std::vector<std::string>;
  const std::pair<Words, Words> cases[] = {
      {{"kelmor", "r"}, {"render", "run"}},
      {{"kelmor", ""}, {"batch", "convert", "conway", "prefs", "render", "run", "scan", "shape"}},
      {{"kelmor", "--he"}, {"--help"}},
      {{"kelmor", "run", "--exp"}, {"--export"}},
      {{"kelmor", "run", "cube.txt", "--once", "--inf"}, {"--inflate"}},
      {{"kelmor", "shape", "--max-a"}, {"--max-attempts"}},
      {{"kelmor", "batch", "--re"}, {"--regular-hexagons", "--resume"}},
      {{"kelmor", "render", "--so"}, {"--solid-file"}},
      {{"kelmor", "prefs", "--s"}, {"--save", "--settings"}},
      // Values: the words an option takes, none after a number, file names after a path.
      {{"kelmor", "run", "--answer", ""}, {"ask", "no", "yes"}},
      {{"kelmor", "run", "--answer", "=", "y"}, {"yes"}},
      {{"kelmor", "run", "--inflate", "local"}, {"local-diagonal", "local-one"}},
      {{"kelmor", "batch", "--search", "o"}, {"off", "on"}},
      {{"kelmor", "run", "--seed", "c"}, {}},
      {{"kelmor", "run", "--out", "files/cubes"}, {"files/cubes"}},
      {{"kelmor", "run", "files/cu"}, {"files/cube.txt", "files/cubes", "files/cuboctahedron.txt"}},
      {{"kelmor", "render", "-o", "files/cube."}, {"files/cube.txt"}},
      // A first argument with words of its own: offered until it is given, past options
      // and their values; after it, file names again.
      {{"kelmor", "shape", "p"}, {"polygon", "prism", "pyramid"}},
      {{"kelmor", "shape", "--out", "files", "--once", "--seed", "=", "3", "a"}, {"antiprism"}},
      {{"kelmor", "shape", "prism", "files/cube."}, {"files/cube.txt"}},
  };
  for (const auto& [words, expected] : cases) {
    std::string line;
    for (const std::string& w : words) line += w + " ";
    EXPECT_EQ(Complete(words), expected) << line;
  }
}

TEST(CommandLineDocsInstall, InstallPutsThePageAndTheCompletionWhereDebianLooks) {
  const testing::TempFolder folder;
  const fs::path& root = folder.path();
  ChildResult r = testing::RunChild(KELMOR_CMAKE, {"--install", KELMOR_BINARY_DIR, "--prefix", (root / "usr").string(),
                                                   "--component", "docs"},
                                    testing::EnvironmentWith(testing::PrivateHome(root)), root, Guard);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(testing::ReadAll(root / "usr/share/man/man1/kelmor.1"), KelmorOut({"--help-man"}));
  EXPECT_EQ(testing::ReadAll(root / "usr/share/bash-completion/completions/kelmor"), KelmorOut({"--help-completion"}));
}

}  // namespace
}  // namespace kelmor
