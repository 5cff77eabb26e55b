// kelmor batch end to end: rows, resume, shards, merge, bad inputs, a kill halfway.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "batch/results_table.h"
#include "cli/cli.h"
#include "files/system_calls.h"
#include "support/child_process.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::vector<std::string> Solids = {
    "cube", "cuboctahedron", "dodecahedron", "icosahedron", "icosidodecahedron", "octahedron",
    "rhombicosidodecahedron", "rhombicuboctahedron", "snub_cube", "snub_dodecahedron",
    "tetrahedron", "truncated_cube", "truncated_cuboctahedron", "truncated_dodecahedron",
    "truncated_icosahedron", "truncated_icosidodecahedron", "truncated_octahedron",
    "truncated_tetrahedron"};

std::string Example(const std::string& name) {
  return (fs::path(KELMOR_SOURCE_DIR) / "examples" / (name + ".txt")).string();
}

using Result = testing::CliResult;

class Batch : public ::testing::Test {
 protected:
  Result Kelmor(std::vector<std::string> args) {
    args.insert(args.begin(), "batch");
    for (const char* a : {"--settings", "", "--seed", "1"}) args.push_back(a);
    args[args.size() - 3] = (dir_ / "kelmor.ini").string();
    return testing::RunCliCaught(args);
  }
  // Private HOME and XDG folders for a batch started as a program of its own.
  std::vector<std::string> Environment() const {
    return testing::EnvironmentWith(testing::PrivateHome(dir_ / "home"));
  }
  std::vector<ResultRow> Rows(const fs::path& folder) {
    std::string error;
    auto rows = ReadRows(folder / "results.jsonl", error);
    EXPECT_TRUE(rows) << error;
    return rows ? *rows : std::vector<ResultRow>{};
  }
  std::string List(const std::vector<std::string>& names) {
    std::ofstream list(dir_ / "list.txt");
    for (const auto& n : names) list << Example(n) << "\n";
    return (dir_ / "list.txt").string();
  }
  // The SE and A lines of the report in the folder's solid file.
  static void ExpectReportFigures(const fs::path& folder, double SE, double A) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name.size() < 10 || name.compare(name.size() - 10, 10, "_solid.wrl") != 0) continue;
      std::ifstream in(entry.path());
      std::string line;
      int seen = 0;
      while (std::getline(in, line) && seen < 2) {
        for (auto [label, value] : {std::pair{"(SE):", SE}, std::pair{"(A):", A}}) {
          const size_t at = line.find(label);
          if (at == std::string::npos) continue;
          ++seen;
          EXPECT_NEAR(std::stod(line.substr(at + std::strlen(label))), value, 1e-9 + 1e-6 * std::fabs(value))
              << entry.path() << ": " << line;
        }
      }
      EXPECT_EQ(seen, 2) << entry.path();
      return;
    }
    ADD_FAILURE() << "no solid file in " << folder;
  }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
};

TEST_F(Batch, TheExampleSolidsGiveEighteenSolvedRowsAndResumeDoesNothing) {
  std::vector<std::string> args;
  for (const auto& s : Solids) args.push_back(Example(s));
  args.insert(args.end(), {"--out", (dir_ / "r").string(), "--jobs", "2"});
  Result r = Kelmor(args);
  ASSERT_EQ(r.status, 0) << r.err;
  auto rows = Rows(dir_ / "r");
  ASSERT_EQ(rows.size(), 18u);
  for (const ResultRow& row : rows) {
    EXPECT_EQ(row.status, "solved") << row.input << " " << row.error;
    EXPECT_LT(*row.E, 1e-9) << row.input;
    EXPECT_LT(*row.P, 1e-9) << row.input;
    EXPECT_TRUE(row.SE && row.A && row.iterations && row.attempts) << row.input;
    // The figures come from the run itself, and agree with the report the files carry.
    if (row.SE && row.A) ExpectReportFigures(fs::path(row.folder), *row.SE, *row.A);
    EXPECT_EQ(row.files.size(), 7u) << row.input;  // the six described files and NAME_facts.txt
    EXPECT_TRUE(fs::exists(fs::path(row.folder) / row.files[0])) << row.folder;
  }
  EXPECT_NE(r.out.find("batch: 18 inputs, 18 solved, 0 written"), std::string::npos) << r.out;

  r = Kelmor(args);  // the same again without --resume: refused, nothing lost
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("add --resume"), std::string::npos) << r.err;
  args.push_back("--resume");
  r = Kelmor(args);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("; 0 run now"), std::string::npos) << r.out;
  EXPECT_EQ(Rows(dir_ / "r").size(), 18u);
}

TEST_F(Batch, ShardsCoverTheListOnceAndMergeJoinsThem) {
  const std::string list = List({"tetrahedron", "cube", "octahedron", "icosahedron", "cuboctahedron"});
  for (const char* k : {"1", "2"}) {
    Result r = Kelmor({"--list", list, "--out", (dir_ / k).string(), "--shard", std::string(k) + "/2",
                       "--jobs", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  EXPECT_EQ(Rows(dir_ / "1").size(), 3u);
  EXPECT_EQ(Rows(dir_ / "2").size(), 2u);
  Result r = Kelmor({"--merge", (dir_ / "1").string(), (dir_ / "2").string(), "--out",
                     (dir_ / "all").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, int> seen;
  for (const ResultRow& row : Rows(dir_ / "all")) ++seen[fs::path(row.input).stem().string()];
  EXPECT_EQ(seen, (std::map<std::string, int>{{"cube", 1}, {"cuboctahedron", 1}, {"icosahedron", 1},
                                               {"octahedron", 1}, {"tetrahedron", 1}}));
  EXPECT_TRUE(fs::exists(dir_ / "all" / "results.csv"));
  // Merging again onto a table that is not among the merged ones is refused.
  EXPECT_EQ(Kelmor({"--merge", (dir_ / "1").string(), "--out", (dir_ / "all").string()}).status, 2);
}

TEST_F(Batch, BadInputsGetARowWithTheMessageAndTheBatchGoesOn) {
  std::ofstream(dir_ / "broken.txt") << "{ 0,1,2,-1, 9999999,1,2,-1, }";  // overflows
  fs::create_directories(dir_ / "r");
  std::ofstream(dir_ / "r" / "cube") << "a file where the cube's folder goes";
  Result r = Kelmor({(dir_ / "missing.txt").string(), (dir_ / "broken.txt").string(), Example("cube"),
                     Example("tetrahedron"), "--out", (dir_ / "r").string(), "--jobs", "2"});
  EXPECT_EQ(r.status, 1) << r.err;
  std::map<std::string, ResultRow> byName;
  for (const ResultRow& row : Rows(dir_ / "r")) byName[fs::path(row.input).stem().string()] = row;
  ASSERT_EQ(byName.size(), 4u);
  EXPECT_EQ(byName["missing"].status, "refused");
  EXPECT_NE(byName["missing"].error.find("not found"), std::string::npos) << byName["missing"].error;
  EXPECT_EQ(byName["broken"].status, "failed");
  EXPECT_NE(byName["broken"].error.find("Overflow"), std::string::npos) << byName["broken"].error;
  EXPECT_EQ(byName["cube"].status, "failed");
  EXPECT_NE(byName["cube"].error.find("cannot create the output folder"), std::string::npos);
  EXPECT_EQ(byName["tetrahedron"].status, "solved");
}

TEST_F(Batch, RefusedOptionsRunNothing) {
  const std::string out = (dir_ / "r").string();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {Example("cube"), "--out", out, "--set", "NoSuchBox=1"},
           {Example("cube"), "--out", out, "--shard", "3/2"},
           {Example("cube")},
           {"--out", out},
           {"--list", (dir_ / "no_list.txt").string(), "--out", out},
           {"--merge", (dir_ / "nothing").string(), "--out", out}}) {
    Result r = Kelmor(args);
    EXPECT_EQ(r.status, 2) << args[0] << " " << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(fs::exists(dir_ / "r" / "results.jsonl")) << args[0];
  }
}

// Killed with SIGKILL after a few rows and resumed: every input ends with exactly one row.
TEST_F(Batch, KilledHalfwayAndResumedEachInputHasOneRow) {
  const std::string list = List(Solids);
  const fs::path out = dir_ / "r";
  const std::string ini = (dir_ / "kelmor.ini").string();
  testing::StartedChild batch(KELMOR_BINARY,
                              {"batch", "--list", list, "--out", out.string(), "--jobs", "2", "--seed", "1",
                               "--settings", ini},
                              Environment(), "/dev/null", dir_ / "killed.err");
  ASSERT_GT(batch.pid(), 0);
  // Wait for a few rows (or the end), then kill it.
  auto rows = [&] {
    std::ifstream in(out / "results.jsonl");
    std::string line;
    int n = 0;
    while (std::getline(in, line)) ++n;
    return n;
  };
  batch.until([&] { return rows() >= 4; }, 180s);
  if (batch.running()) {
    batch.finish(SIGKILL);
  } else {
    // Ended before the kill: it must have ended well (a sanitizer halting it does not).
    testing::ChildResult ended = batch.finish();
    EXPECT_EQ(ended.status, 0) << ended.err;
  }
  const size_t before = Rows(out).size();
  EXPECT_GE(before, 4u);
  Result r = Kelmor({"--list", list, "--out", out.string(), "--jobs", "2", "--resume"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::map<std::string, int> seen;
  for (const ResultRow& row : Rows(out)) {
    ++seen[row.input];
    EXPECT_EQ(row.status, "solved") << row.input;
    // No file lost: every file a row names is in its folder, and no temporary is left.
    EXPECT_EQ(row.files.size(), 7u) << row.input;  // the six described files and NAME_facts.txt
    for (const std::string& file : row.files) EXPECT_GT(fs::file_size(fs::path(row.folder) / file), 0u) << file;
    for (const auto& e : fs::directory_iterator(row.folder))
      EXPECT_NE(e.path().filename().string().rfind(".kelmor-", 0), 0u) << e.path();
  }
  EXPECT_EQ(seen.size(), Solids.size());
  for (const auto& [input, count] : seen) EXPECT_EQ(count, 1) << input;
}

// The appends to one table, the second of which finds the disk full.
std::atomic<int> tableWrites{0};
ssize_t TableFillsAtTheSecondRow(int fd, const void* data, size_t size) {
  std::error_code ec;
  const fs::path name = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
  if (name.filename() == "results.jsonl" && ++tableWrites == 2) {
    errno = ENOSPC;
    return -1;
  }
  return FileCallsOverride::Real().write(fd, data, size);
}

// A row that cannot be appended ends the batch with status 3, says why, and leaves a CSV
// holding exactly the rows of the JSON lines.
TEST_F(Batch, AFailedAppendEndsTheBatchAndTheCsvMatchesTheJson) {
  Result r;
  {
    FileSystemCalls full = FileCallsOverride::Real();
    full.write = TableFillsAtTheSecondRow;
    FileCallsOverride disk(full);
    tableWrites = 0;
    r = Kelmor({Example("cube"), Example("tetrahedron"), Example("octahedron"), "--out", (dir_ / "r").string(),
                "--jobs", "1"});
  }
  EXPECT_EQ(r.status, 3) << r.err;
  const std::string table = (dir_ / "r" / "results.jsonl").string();
  EXPECT_NE(r.err.find("cannot write '" + table + "': No space left on device"), std::string::npos) << r.err;
  const std::vector<ResultRow> rows = Rows(dir_ / "r");
  ASSERT_EQ(rows.size(), 1u);
  std::ifstream csv(dir_ / "r" / "results.csv");
  std::vector<std::string> lines;
  for (std::string line; std::getline(csv, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind(rows[0].input + ",", 0), 0u) << lines[1];
}

// Ctrl-C with inputs still pending: the inputs being run are cut short, those not started
// get no row, and the batch ends with status 1 and the way to go on.
TEST_F(Batch, InterruptedItEndsWithTheResumeLineAndNoRowsForInputsNeverStarted) {
  std::vector<std::string> names;
  for (int i = 0; i < 4; ++i)
    for (const char* n : {"truncated_icosidodecahedron", "snub_dodecahedron", "rhombicosidodecahedron"}) {
      const fs::path copy = dir_ / (std::string(n) + std::to_string(i) + ".txt");
      fs::copy_file(Example(n), copy);
      names.push_back(copy.string());
    }
  const fs::path out = dir_ / "r";
  std::vector<std::string> args = {"batch", "--out", out.string(), "--jobs", "1",
                                   "--seed", "1", "--settings", (dir_ / "kelmor.ini").string()};
  args.insert(args.begin() + 1, names.begin(), names.end());
  testing::StartedChild batch(KELMOR_BINARY, args, Environment(), "/dev/null", dir_ / "batch.err");
  ASSERT_GT(batch.pid(), 0);
  // Interrupted once the first row is in.
  ASSERT_TRUE(batch.until(
      [&] { return fs::exists(out / "results.jsonl") && fs::file_size(out / "results.jsonl") > 0; }, 180s))
      << "the batch ended before it could be interrupted";
  const testing::ChildResult r = batch.finish(SIGINT, 180s);
  ASSERT_TRUE(r.status >= 0) << r.err;
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("inputs have no row yet; run the same command with --resume to continue"),
            std::string::npos)
      << r.err;
  const std::vector<ResultRow> rows = Rows(out);
  EXPECT_GE(rows.size(), 1u);
  EXPECT_LE(rows.size(), 2u);  // the one in, and at most the one running when interrupted
  for (const ResultRow& row : rows) {
    EXPECT_NE(std::find(names.begin(), names.end(), row.input), names.end()) << row.input;
    EXPECT_EQ(row.status, "solved") << row.input;
  }
}

}  // namespace
}  // namespace kelmor
