// The library and the command line are one engine: the same input, options and seed give
// the same solution and the same files, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "kelmor/kelmor.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

TEST(LibraryMatchesCli, SameSeedSameFilesAndFigures) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  struct Case {
    std::vector<std::string> what;  // an example file, or a shape's kind and n/d
    uint64_t seed;
  } cases[] = {
      {{"cube.txt"}, 1}, {{"cube.txt"}, 2}, {{"snub_cube.txt"}, 1}, {{"antiprism", "7/2"}, 1},
  };
  for (const Case& c : cases) {
    const std::string label = c.what[0] + " seed " + std::to_string(c.seed);
    const fs::path out = dir / (c.what[0] + std::to_string(c.seed));
    fs::create_directories(out);
    std::vector<std::string> args;
    Topology topology;
    if (c.what.size() == 1) {
      const fs::path input = fs::path(KELMOR_SOURCE_DIR) / "examples" / c.what[0];
      args = {"run", input.string()};
      topology = ParseTopology(testing::ReadAll(input), input.stem().string());
    } else {
      args = {"shape", c.what[0], c.what[1]};
      topology = ShapeTopology(c.what[0], c.what[1]);
    }
    args.insert(args.end(), {"--out", out.string(), "--seed", std::to_string(c.seed), "--quiet",
                             "--settings", (dir / "kelmor.ini").string()});
    std::ostringstream cliOut, cliErr;
    ASSERT_EQ(RunCli(args, cliOut, cliErr), 0) << label << cliErr.str();

    Options options;
    options.seed = c.seed;
    const SolveResult r = Solve(topology, options);
    ASSERT_EQ(r.solutions.size(), 1u) << label;
    const Solution& s = r.solutions[0];
    std::ostringstream line;
    line << "written " << s.name << " E=";
    EXPECT_EQ(cliOut.str().rfind(line.str(), 0), 0u) << label << cliOut.str();
    EXPECT_NE(cliOut.str().find(" iterations=" + std::to_string(s.iterations) + " "), std::string::npos)
        << label << cliOut.str();
    size_t onDisk = 0;
    // The command line's NAME_facts.txt is its own addition; the library writes the described files.
    for (const auto& entry : fs::directory_iterator(out))
      onDisk += entry.path().extension() != ".ini" && !entry.path().filename().string().ends_with("_facts.txt");
    EXPECT_EQ(s.files.size(), onDisk) << label;
    for (const File& f : s.files) EXPECT_EQ(f.bytes, testing::ReadAll(out / f.name)) << label << " " << f.name;
  }
}

}  // namespace
}  // namespace kelmor
