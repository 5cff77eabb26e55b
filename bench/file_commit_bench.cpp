// Writing a run's six files durably: committed together (synced at the same time, then
// renamed, then the folder synced) against one after the other (each synced, renamed and
// its folder synced on its own). Real time: the cost is waiting for the disk. The folder
// is KELMOR_BENCH_DIR when set (to measure the disk that matters), else the temporary one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/private_file.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

constexpr int FilesOfARun = 6;
const std::string Content(3000, 'x');  // about a small solid's VRML file

fs::path BenchFolder() {
  const char* dir = std::getenv("KELMOR_BENCH_DIR");
  fs::path folder = (dir && *dir ? fs::path(dir) : fs::temp_directory_path()) /
                    ("kelmor_commit_bench_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  return folder;
}

void BM_RunFilesCommittedTogether(benchmark::State& state) {
  const fs::path folder = BenchFolder();
  for (auto _ : state) {
    std::vector<std::unique_ptr<PrivateFile>> files;
    std::vector<PrivateFile*> group;
    for (int i = 0; i < FilesOfARun; ++i) {
      files.push_back(std::make_unique<PrivateFile>(folder / ("solid" + std::to_string(i) + ".wrl")));
      files.back()->stream() << Content;
      group.push_back(files.back().get());
    }
    CommitFiles(group);
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_RunFilesCommittedTogether)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_RunFilesCommittedOneByOne(benchmark::State& state) {
  const fs::path folder = BenchFolder();
  for (auto _ : state) {
    for (int i = 0; i < FilesOfARun; ++i)
      ReplaceFileWith(folder / ("solid" + std::to_string(i) + ".wrl"), Content);
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_RunFilesCommittedOneByOne)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace kelmor
