// Exports and pictures on a disk that fills up: the run's files, exports included, are
// committed all or nothing. The disk is "full" through the file size limit of the child
// (RLIMIT_FSIZE, with SIGXFSZ ignored so that a write fails with EFBIG), which needs no root.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::map<std::string, std::string> Contents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) files[e.path().filename().string()] = testing::ReadAll(e.path());
  return files;
}

// The names of the files that differ between two contents of a folder, or are in one only.
std::vector<std::string> Changed(const std::map<std::string, std::string>& a,
                                 const std::map<std::string, std::string>& b) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : a)
    if (!b.count(name) || b.at(name) != bytes) names.push_back(name);
  for (const auto& [name, bytes] : b)
    if (!a.count(name)) names.push_back(name);
  return names;
}

class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_ / "M"); }

  // Runs kelmor with files limited to `limit` bytes each (0: no limit).
  testing::ChildResult Kelmor(std::vector<std::string> args, rlim_t limit = 0) {
    if (args[0] == "run") args.insert(args.end(), {"--settings", (dir_ / "kelmor.ini").string(), "--answer", "no"});
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    auto previous = signal(SIGXFSZ, SIG_IGN);  // an ignored signal stays ignored in the child
    if (limit) {
      rlimit limited = before;
      limited.rlim_cur = limit;
      setrlimit(RLIMIT_FSIZE, &limited);
    }
    testing::ChildResult r = testing::RunChild(KELMOR_BINARY, args, env_, dir_, 120s);
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, previous);
    return r;
  }
  testing::TempFolder folder_;
  const fs::path dir_ = folder_.path();
  const std::vector<std::string> env_ = testing::EnvironmentWith(testing::PrivateHome(dir_ / "env"));
};

TEST_F(FullDisk, ExportsAreCommittedWithTheSolutionOrNotAtAll) {
  const std::string cube = (fs::path(KELMOR_SOURCE_DIR) / "examples" / "cube.txt").string();
  auto seeded = [&](const char* folder, const char* seed) {
    return std::vector<std::string>{"run",  cube,   "--out", (dir_ / folder).string(), "--export",
                                    "glb,gltf,stl,3mf,obj", "--seed", seed};
  };
  // The new solution's file sizes, from a folder of its own.
  testing::ChildResult r = Kelmor(seeded("N", "2"));
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::pair<size_t, std::string>> bySize;
  for (const auto& [name, bytes] : Contents(dir_ / "N")) bySize.push_back({bytes.size(), name});
  std::sort(bySize.rbegin(), bySize.rend());
  ASSERT_GE(bySize.size(), 4u);
  r = Kelmor(seeded("M", "1"));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto before = Contents(dir_ / "M");
  ASSERT_TRUE(before.count("cube_struts.mtl") && before.count("cube.3mf") && before.count("cube.gltf"));
  // Each limit stops one more of the new files: the largest only, then the three largest.
  for (size_t stopped : {0u, 2u}) {
    const auto& [size, name] = bySize[stopped];
    SCOPED_TRACE(name + " cut at " + std::to_string(size - 1) + " bytes");
    r = Kelmor(seeded("M", "2"), size - 1);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.out.find("written"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("File: " + (dir_ / "M").string() + "/"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("could not be written (File too large)"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Exported"), std::string::npos) << r.err;
    EXPECT_EQ(Changed(Contents(dir_ / "M"), before), std::vector<std::string>{})
        << "every earlier file whole, no temporary left";
  }
  // With room the new solution replaces every file, the exports among them.
  r = Kelmor(seeded("M", "2"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("written cube"), std::string::npos) << r.out;
  const auto after = Contents(dir_ / "M");
  EXPECT_EQ(after.size(), before.size());
  EXPECT_NE(after.at("cube.obj"), before.at("cube.obj"));
  EXPECT_NE(after.at("cube.obj").find("mtllib cube.mtl"), std::string::npos);
}

TEST_F(FullDisk, APictureThatDoesNotFitLeavesTheOldOneWhole) {
  const std::string cube = (fs::path(KELMOR_SOURCE_DIR) / "examples" / "cube.txt").string();
  testing::ChildResult r = Kelmor({"run", cube, "--out", (dir_ / "M").string(), "--seed", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string off = (dir_ / "M" / "cube.off").string(), png = (dir_ / "P" / "cube.png").string();
  fs::create_directories(dir_ / "P");
  r = Kelmor({"render", off, "-o", (dir_ / "P").string()});
  if (r.status != 0) GTEST_SKIP() << "no picture can be drawn here: " << r.err;
  const std::string picture = testing::ReadAll(png);
  ASSERT_GT(picture.size(), 100u);
  r = Kelmor({"render", off, "-o", (dir_ / "P").string(), "--size", "1000x1000"}, picture.size() / 2);
  EXPECT_NE(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("cannot write '" + png + "': File too large"), std::string::npos) << r.err;
  EXPECT_EQ(testing::ReadAll(png), picture);
  EXPECT_EQ(Contents(dir_ / "P").size(), 1u) << "no temporary left";

  // run --png: the solution's files fit, its picture does not; the old picture stays.
  r = Kelmor({"run", cube, "--out", (dir_ / "M").string(), "--seed", "1", "--png"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string old = testing::ReadAll(dir_ / "M" / "cube.png");
  size_t largest = 0;
  for (const auto& [name, bytes] : Contents(dir_ / "M"))
    if (name != "cube.png") largest = std::max(largest, bytes.size());
  const size_t limit = largest + 1024;  // room for the new solution's files, not its picture
  ASSERT_GT(old.size(), limit);
  r = Kelmor({"run", cube, "--out", (dir_ / "M").string(), "--seed", "2", "--png"}, limit);
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("cannot write '" + (dir_ / "M" / "cube.png").string() + "': File too large"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(testing::ReadAll(dir_ / "M" / "cube.png"), old);
}

}  // namespace
}  // namespace kelmor
