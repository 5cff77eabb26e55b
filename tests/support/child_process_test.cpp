// The helpers the suites start programs and keep files with: a program that ends before
// what the test waits for ends the wait, one that runs past its guard is killed and said
// to have hung, none is left running, and a test's folder goes with it.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor::testing {
namespace {

using namespace std::chrono_literals;

TEST(ChildProcess, AProgramThatEndsEndsTheWaitWithItsStatusAndStreams) {
  const TempFolder folder;
  StartedChild quick("/bin/sh", {"-c", "echo said; echo wrong >&2; exit 3"}, {}, folder / "out", folder / "err");
  ASSERT_GT(quick.pid(), 0);
  // Waiting on a condition that never holds ends when the program does, not at the guard
  // (the ctest timeout is far below it).
  EXPECT_FALSE(quick.until([] { return false; }, 1h));
  const ChildResult r = quick.finish();
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.signal, 0);
  EXPECT_FALSE(r.hung);
  EXPECT_EQ(r.out, "said\n");
  EXPECT_EQ(r.err, "wrong\n");
  EXPECT_EQ(ExitCode(r), 3);
}

TEST(ChildProcess, OneThatRunsOnIsKilledAndNoneOutlivesItsHelper) {
  const TempFolder folder;
  const ChildResult hung = RunChild("/bin/sleep", {"600"}, {}, folder.path(), 50ms);
  EXPECT_TRUE(hung.hung);
  EXPECT_EQ(hung.signal, SIGKILL);
  EXPECT_EQ(ExitCode(hung), 128 + SIGKILL);

  const ChildResult stopped = StartedChild("/bin/sleep", {"600"}, {}, "/dev/null", "/dev/null").finish(SIGTERM);
  EXPECT_FALSE(stopped.hung);
  EXPECT_EQ(stopped.signal, SIGTERM);

  pid_t left = 0;
  {
    StartedChild forgotten("/bin/sleep", {"600"}, {}, "/dev/null", "/dev/null");
    left = forgotten.pid();
    ASSERT_GT(left, 0);
  }
  EXPECT_NE(kill(left, 0), 0) << "still running after its helper went";

  const ChildResult missing = RunChild("/no/such/program", {}, {}, folder.path(), kChildGuard);
  EXPECT_EQ(missing.status, -1);
  EXPECT_NE(missing.err.find("could not start /no/such/program"), std::string::npos) << missing.err;
}

TEST(TempFolder, EachIsItsOwnAndGoesWithEverythingInIt) {
  std::filesystem::path kept;
  {
    const TempFolder folder, other("_other");
    kept = folder.path();
    EXPECT_NE(folder.path(), other.path());
    EXPECT_NE(kept.filename().string().find(std::to_string(::getpid())), std::string::npos) << kept;
    std::filesystem::create_directories(folder / "deep" / "er");
    std::ofstream(folder / "deep" / "er" / "file.txt") << "text";
    EXPECT_TRUE(std::filesystem::exists(folder.CopyExample("cube.txt")));
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

}  // namespace
}  // namespace kelmor::testing
