// `kelmor render` reads regular files only, and only so much of them: a folder, a FIFO
// (which would wait for a writer), a device (which never ends) or a file too large to be
// a solid is refused before anything is drawn, exit 2, named for what it is.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/kelmor_child.h"

namespace kelmor::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTetrahedronOff = "OFF\n4 4 6\n1 1 1\n1 -1 -1\n-1 1 -1\n-1 -1 1\n3 0 1 2\n3 0 3 1\n3 0 2 3\n3 1 3 2\n";

TEST(RenderInputs, WhatIsNoRegularFileOrTooLargeIsRefusedByName) {
  KelmorChild kelmor("render_inputs");
  const fs::path d = kelmor.dir;
  fs::create_directories(d / "folder.off");
  ASSERT_EQ(mkfifo((d / "pipe.off").c_str(), 0600), 0);
  std::ofstream(d / "tetra.off") << kTetrahedronOff;
  {
    std::ofstream huge(d / "huge.off");
    huge << "OFF\n";
  }
  // Sparse: past the limit without taking the disk.
  ASSERT_EQ(truncate((d / "huge.off").c_str(), off_t{65} << 20), 0);
  const std::string tetra = (d / "tetra.off").string(), png = (d / "out" / "t.png").string();
  struct Row {
    std::vector<std::string> args;
    const char* says;
  };
  const Row rows[] = {
      {{"render", (d / "folder.off").string(), "-o", png}, "is a folder"},
      {{"render", (d / "pipe.off").string(), "-o", png}, "is a FIFO (named pipe)"},
      {{"render", "/dev/zero", "-o", png}, "'/dev/zero' is a device"},
      {{"render", (d / "huge.off").string(), "-o", png}, "more than the 64 MB"},
      {{"render", tetra, "--solid-file", "/dev/zero", "-o", png}, "--solid-file '/dev/zero' is a device"},
      {{"render", tetra, "--solid-file", (d / "pipe.off").string(), "-o", png}, "--solid-file"},
      {{"render", tetra, "--solid-file", (d / "folder.off").string(), "-o", png}, "is a folder"},
  };
  for (const Row& row : rows) {
    ChildResult r = kelmor(row.args);
    ASSERT_EQ(CrashSigns(r), "") << row.args[1];
    EXPECT_EQ(r.status, 2) << row.args[1] << "\n" << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(png));
  }
}

}  // namespace
}  // namespace kelmor::testing
