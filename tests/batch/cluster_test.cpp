// Batches as a cluster runs them, through the real executable: two batches at one folder,
// SIGTERM and --resume, slices and lists that must match on --resume, merges that clash,
// stale temporaries, the exit status for dependency chains and the heartbeat of a long input.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "batch/batch_lock.h"
#include "batch/results_table.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ChildResult;

std::string Example(const std::string& name) {
  return (fs::path(KELMOR_SOURCE_DIR) / "examples" / (name + ".txt")).string();
}

// An input whose random starts settle again and again short of a solution: with the search
// off (as every batch here runs) it is not solved within the seconds the tests give it.
std::string SlowInput() { return Example("hard/great_rhombicosidodecahedron"); }

class Cluster : public ::testing::Test {
 protected:
  std::vector<std::string> BatchArgs(std::vector<std::string> args) {
    args.insert(args.begin(), "batch");
    args.insert(args.end(), {"--settings", (dir_ / "kelmor.ini").string(), "--seed", "1", "--search", "off"});
    return args;
  }
  ChildResult Batch(const std::vector<std::string>& args) {
    return testing::RunChild(KELMOR_BINARY, BatchArgs(args), env_, dir_, 180s);
  }
  // A batch left running; its streams go to NAME.out and NAME.err.
  testing::StartedChild Start(const std::vector<std::string>& args, const std::string& name) {
    return testing::StartedChild(KELMOR_BINARY, BatchArgs(args), env_, dir_ / (name + ".out"), dir_ / (name + ".err"));
  }
  // Sends signal (if any) to a started batch and waits for it (killing it after the guard);
  // its exit status, -1 if killed.
  static int Wait(testing::StartedChild& batch, int signal = 0) {
    ChildResult r = batch.finish(signal, 180s);
    if (r.hung) ADD_FAILURE() << "the batch hung";
    return r.status;
  }
  std::vector<ResultRow> Rows(const fs::path& folder) {
    std::string error;
    auto rows = ReadRows(folder / "results.jsonl", error);
    return rows ? *rows : std::vector<ResultRow>{};
  }
  std::map<std::string, int> RowsPerInput(const fs::path& folder) {
    std::map<std::string, int> seen;
    for (const ResultRow& r : Rows(folder)) ++seen[r.input];
    return seen;
  }
  std::string List(const std::vector<std::string>& inputs, const std::string& name = "list.txt") {
    std::ofstream list(dir_ / name);
    for (const auto& in : inputs) list << in << "\n";
    return (dir_ / name).string();
  }
  std::string Text(const std::string& name) { return testing::ReadAll(dir_ / name); }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
  const std::vector<std::string> env_ = testing::EnvironmentWith(testing::PrivateHome(dir_ / "env"));
};

TEST_F(Cluster, ASecondBatchAtTheSameFolderIsRefusedAndNoRowIsLost) {
  const fs::path out = dir_ / "r";
  const std::string list = List({SlowInput(), Example("cube"), Example("tetrahedron")});
  const std::vector<std::string> args = {"--list", list, "--out", out.string(), "--jobs", "1", "--time-limit", "3"};
  testing::StartedChild first = Start(args, "first");
  ASSERT_GT(first.pid(), 0);
  const fs::path lock = out / BatchLockName;
  ASSERT_TRUE(first.until([&] { return testing::ReadAll(lock) == std::to_string(first.pid()) + "\n"; }, 120s))
      << Text("first.err");
  // Resumed, started afresh, or the same folder under another name: all refused at once.
  for (bool resume : {true, false}) {
    std::vector<std::string> second = args;
    if (resume) second.push_back("--resume");
    ChildResult r = Batch(second);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("in use by another batch (process " + std::to_string(first.pid()) + ")"), std::string::npos)
        << r.err;
  }
  ChildResult r = Batch({"--list", list, "--out", (out / "." / "").string()});
  EXPECT_EQ(r.status, 2) << r.err;
  r = Batch({"--merge", out.string(), "--out", out.string()});  // nor is its table replaced
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("in use by another batch"), std::string::npos) << r.err;
  EXPECT_EQ(Wait(first), 1) << Text("first.err");  // the slow input timed out
  EXPECT_EQ(RowsPerInput(out),
            (std::map<std::string, int>{{SlowInput(), 1}, {Example("cube"), 1}, {Example("tetrahedron"), 1}}));
  // Once the first has ended the folder is free again; nothing is left to run.
  r = Batch({"--list", list, "--out", out.string(), "--resume"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("; 0 run now"), std::string::npos) << r.out;
  EXPECT_EQ(Rows(out).size(), 3u);
}

// SIGTERM, as a scheduler sends on cancel, time limit and preemption, ends the batch as
// Ctrl-C does; --resume then finishes it with one row an input.
TEST_F(Cluster, TerminatedMidBatchThenResumedEachInputHasOneRow) {
  const fs::path out = dir_ / "r";
  const std::string list = List({Example("cube"), SlowInput(), Example("tetrahedron"), Example("octahedron")});
  testing::StartedChild batch =
      Start({"--list", list, "--out", out.string(), "--jobs", "1", "--time-limit", "120"}, "term");
  ASSERT_GT(batch.pid(), 0);
  ASSERT_TRUE(batch.until([&] { return Rows(out).size() == 1; }, 120s)) << Text("term.err");
  std::this_thread::sleep_for(200ms);  // into the slow input
  EXPECT_EQ(Wait(batch, SIGTERM), 1) << Text("term.err");
  EXPECT_NE(Text("term.out").find("batch: 4 inputs, 1 solved"), std::string::npos) << Text("term.out");
  EXPECT_NE(Text("term.err").find("3 inputs have no row yet; run the same command with --resume"),
            std::string::npos)
      << Text("term.err");
  EXPECT_TRUE(fs::exists(out / "results.csv"));
  EXPECT_EQ(Rows(out).size(), 1u) << "the input cut short has no row";

  ChildResult r = Batch({"--list", list, "--out", out.string(), "--jobs", "1", "--time-limit", "2", "--resume",
                         "--exit-zero-unless-broken"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(RowsPerInput(out), (std::map<std::string, int>{{Example("cube"), 1},
                                                            {SlowInput(), 1},
                                                            {Example("tetrahedron"), 1},
                                                            {Example("octahedron"), 1}}));
}

TEST_F(Cluster, ResumeWithAnotherSliceOrListIsRefusedAndChangesNothing) {
  const fs::path out = dir_ / "r";
  const std::string list = List({Example("cube"), Example("tetrahedron"), Example("octahedron")});
  ChildResult r = Batch({"--list", list, "--out", out.string(), "--shard", "1/2"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(Rows(out).size(), 2u);
  const std::string table = testing::ReadAll(out / "results.jsonl");
  const std::string longer = List({Example("cube"), Example("tetrahedron"), Example("octahedron"), Example("icosahedron")},
                                  "longer.txt");
  const struct {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"--list", list}, "was started with --shard 1/2, not 1/1"},  // a requeued array task of one
      {{"--list", list, "--shard", "2/2"}, "was started with --shard 1/2, not 2/2"},
      {{"--list", list, "--shard", "1/3"}, "was started with --shard 1/2, not 1/3"},
      {{"--list", longer, "--shard", "1/2"}, "3 inputs then, 4 now"},
      {{Example("octahedron"), Example("cube"), Example("tetrahedron"), "--shard", "1/2"},
       "input 1 was '" + Example("cube") + "', is '" + Example("octahedron") + "'"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--out", out.string(), "--resume"});
    r = Batch(args);
    EXPECT_EQ(r.status, 2) << c.says << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(testing::ReadAll(out / "results.jsonl"), table) << c.says;
  }
  r = Batch({"--list", list, "--out", out.string(), "--shard", "1/2", "--resume"});
  EXPECT_EQ(r.status, 0) << r.err;
}

ResultRow Row(const std::string& input, const std::string& status, double E) {
  ResultRow r;
  r.input = input;
  r.folder = "/somewhere/" + input;
  r.status = status;
  r.E = E;
  r.attempts = 1;
  return r;
}

TEST_F(Cluster, AnInputWithDifferentResultsInTwoTablesIsNotMergedUnlessAPreferenceSaysWhich) {
  ResultRow solved = Row("a.txt", "solved", 1e-14), timedOut = Row("a.txt", "timed-out", 0.5);
  ResultRow same = Row("b.txt", "solved", 2e-14), sameElsewhere = same;
  sameElsewhere.folder = "/other/b";
  sameElsewhere.seconds = 9;  // where and how long aside, the same result
  fs::create_directories(dir_ / "t1");
  fs::create_directories(dir_ / "t2");
  ASSERT_EQ(WriteTable(dir_ / "t1", {timedOut, same}), std::nullopt);
  ASSERT_EQ(WriteTable(dir_ / "t2", {sameElsewhere, solved, Row("c.txt", "solved", 0)}), std::nullopt);
  const std::string t1 = (dir_ / "t1").string(), t2 = (dir_ / "t2").string();
  const struct {
    std::vector<std::string> prefer;
    int status;
    std::string says;
    const char* keptStatus;  // a.txt's row in the merged table; "" when nothing is merged
  } cases[] = {
      {{}, 2, "'a.txt' has different results in '" + t1 + "/results.jsonl' (timed-out, E=0.5) and '" + t2 +
                  "/results.jsonl' (solved, E=1e-14)",
       ""},
      {{"--prefer", "solved"}, 0, "kept the one from '" + t2 + "/results.jsonl' (--prefer solved)", "solved"},
      {{"--prefer", "first"}, 1, "kept the one from '" + t1 + "/results.jsonl' (--prefer first)", "timed-out"},
      {{"--prefer", "newest"}, 2, "--prefer takes solved or first, not 'newest'", ""},
  };
  for (const auto& c : cases) {
    const fs::path all = dir_ / "all";
    fs::remove_all(all);
    std::vector<std::string> args = {"--merge", t1, t2, "--out", all.string()};
    args.insert(args.end(), c.prefer.begin(), c.prefer.end());
    ChildResult r = Batch(args);
    EXPECT_EQ(r.status, c.status) << c.says << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    if (!*c.keptStatus) {
      EXPECT_FALSE(fs::exists(all / "results.jsonl")) << c.says;
      continue;
    }
    EXPECT_NE(r.err.find("'b.txt' has the same result in"), std::string::npos) << r.err;
    std::map<std::string, std::string> status;
    for (const ResultRow& row : Rows(all)) status[row.input] += row.status;
    EXPECT_EQ(status, (std::map<std::string, std::string>{{"a.txt", c.keptStatus}, {"b.txt", "solved"},
                                                          {"c.txt", "solved"}}));
  }
}

// --exit-zero-unless-broken: unsolved inputs do not fail the batch, so that a dependency
// chain (afterok) goes on to the merge; refused options and interruptions still fail it.
TEST_F(Cluster, ExitZeroUnlessBrokenLetsUnsolvedInputsPassButNotABrokenBatch) {
  const std::string missing = (dir_ / "missing.txt").string();
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{Example("cube"), missing}, 1},
      {{Example("cube"), missing, "--exit-zero-unless-broken"}, 0},
      {{Example("cube"), "--exit-zero-unless-broken"}, 0},
      {{Example("cube"), "--exit-zero-unless-broken", "--shard", "3/2"}, 2},
      {{Example("cube"), "--exit-zero-unless-broken", "--heartbeat", "nan"}, 2},
      {{Example("cube"), "--exit-zero-unless-broken", "--prefer", "solved"}, 2},
  };
  int n = 0;
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--out", (dir_ / ("r" + std::to_string(++n))).string()});
    ChildResult r = Batch(args);
    EXPECT_EQ(r.status, c.status) << ::testing::PrintToString(c.args) << "\n" << r.err;
  }
}

// With no terminal a long input says now and then that it is still running.
TEST_F(Cluster, ALongInputGivesHeartbeatLinesWithoutATerminal) {
  for (const char* every : {"1", "0"}) {
    const fs::path out = dir_ / (std::string("r") + every);
    ChildResult r = Batch({SlowInput(), "--out", out.string(), "--time-limit", "3", "--heartbeat", every});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string beat = "running " + SlowInput() + ": attempt ";
    if (every == std::string("1")) {
      EXPECT_NE(r.err.find(beat), std::string::npos) << r.err;
      EXPECT_NE(r.err.find(", E "), std::string::npos) << r.err;
    } else {
      EXPECT_EQ(r.err.find(beat), std::string::npos) << r.err;
    }
  }
}

// Temporaries of killed processes go on every start, --resume included, in the batch's
// folder and its inputs' folders; those of live processes stay.
TEST_F(Cluster, StaleTemporariesOfDeadProcessesAreSweptOnResume) {
  const fs::path out = dir_ / "r";
  const std::string list = List({Example("cube"), Example("tetrahedron")});
  ChildResult r = Batch({"--list", list, "--out", out.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string deadName = ".kelmor-" + std::to_string(dead) + "-a1b2c3.tmp";
  const std::string liveName = ".kelmor-" + std::to_string(getpid()) + "-d4e5f6.tmp";
  const fs::path cube = out / "cube";
  ASSERT_TRUE(fs::is_directory(cube));
  for (const fs::path& folder : {out, cube})
    for (const std::string& name : {deadName, liveName}) std::ofstream(folder / name) << "partial";
  r = Batch({"--list", list, "--out", out.string(), "--resume"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const fs::path& folder : {out, cube}) {
    EXPECT_FALSE(fs::exists(folder / deadName)) << folder;
    EXPECT_TRUE(fs::exists(folder / liveName)) << folder;
  }
}

}  // namespace
}  // namespace kelmor
