// The results table's rows, the input list and the shards, without running anything.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>

#include "batch/input_list.h"
#include "batch/result_row.h"
#include "batch/results_table.h"
#include "files/system_calls.h"
#include "support/temp_folder.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

TEST(ResultRow, JsonReadsBackAndCsvQuotesWhatNeedsIt) {
  ResultRow r;
  r.input = "dir, with comma/\"odd\".txt";
  r.folder = "out/odd";
  r.status = "failed";
  r.E = 2.5e-15;
  r.attempts = 3;
  r.search = "spectral start 1 of 6 (cluster 5)";
  r.seconds = 0.25;
  r.files = {"a.off", "a_solid.wrl"};
  r.error = "Error: line one\nline two";
  const std::string json = RowJson(r);
  EXPECT_EQ(json.find('\n'), std::string::npos) << json;  // one row, one line
  auto back = RowFromJson(json);
  ASSERT_TRUE(back);
  EXPECT_EQ(RowJson(*back), json);
  EXPECT_FALSE(back->P);
  EXPECT_EQ(back->search, r.search);
  // A row written before the search column reads back with none.
  auto older = RowFromJson("{\"input\":\"a.txt\",\"status\":\"solved\",\"attempts\":2}");
  ASSERT_TRUE(older);
  EXPECT_EQ(older->search, "");
  EXPECT_EQ(RowCsv(r),
            "\"dir, with comma/\"\"odd\"\".txt\",out/odd,failed,2.5e-15,,,,,3,spectral start 1 of 6 (cluster 5),0.25,"
            "a.off;a_solid.wrl,\"Error: line one\nline two\",,,,,,,");
  // A written solution's facts read back and fill their columns.
  r.convex = false;
  r.selfIntersecting = true;
  r.symmetry = "D5h";
  r.edgeRatio = 1.0125;
  r.offPlane = 0;
  r.dihedralMin = 36;
  r.dihedralMax = 90;
  back = RowFromJson(RowJson(r));
  ASSERT_TRUE(back);
  EXPECT_EQ(RowJson(*back), RowJson(r));
  EXPECT_EQ(RowCsv(r).substr(RowCsv(r).rfind("two\"") + 4), ",no,yes,D5h,1.0125,0.0,36.0,90.0");
  EXPECT_FALSE(older->convex);
  for (const char* cut : {"", "{\"input\":\"a.txt\",\"status\":\"sol", "[1,2]", "{\"input\":1}"})
    EXPECT_FALSE(RowFromJson(cut)) << cut;
}

TEST(ResultsTable, ResumeKeepsWholeRowsDropsACutLineAndAFreshStartIsRefused) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  {
    ResultsTable t(dir);
    ASSERT_FALSE(t.open(false));
    for (const char* in : {"a.txt", "b.txt"}) ASSERT_FALSE(t.append({.input = in, .status = "solved"}));
  }
  std::ofstream(dir / "results.jsonl", std::ios::app) << "{\"input\":\"c.txt\",\"sta";  // killed
  {
    ResultsTable t(dir);
    EXPECT_TRUE(t.open(false));  // would start afresh over two rows
    ResultsTable r(dir);
    ASSERT_FALSE(r.open(true));
    EXPECT_TRUE(r.has("a.txt"));
    EXPECT_FALSE(r.has("c.txt"));
    ASSERT_FALSE(r.append({.input = "c.txt", .status = "failed"}));
    ASSERT_FALSE(r.writeCsv());
  }
  std::string error;
  auto rows = ReadRows(dir / "results.jsonl", error);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 3u);
  EXPECT_EQ((*rows)[2].input, "c.txt");
  std::ifstream csv(dir / "results.csv");
  std::string header, line;
  std::getline(csv, header);
  EXPECT_EQ(header,
            "input,folder,status,E,SE,P,A,iterations,attempts,search,seconds,files,error,convex,self_intersecting,"
            "symmetry,edge_ratio,off_plane,dihedral_min,dihedral_max");
  int lines = 0;
  while (std::getline(csv, line)) ++lines;
  EXPECT_EQ(lines, 3);
}

// The writes of the table's file, made to stop partway as on a full disk.
std::atomic<int> goodWrites{0};
ssize_t WriteUntilFull(int fd, const void* data, size_t size) {
  if (goodWrites-- > 0) return FileCallsOverride::Real().write(fd, data, size);
  if (goodWrites == -1 && size > 1) return FileCallsOverride::Real().write(fd, data, size / 2);  // part of it
  errno = ENOSPC;
  return -1;
}

// A row that could not be appended is reported and kept nowhere: the CSV, written from
// the rows kept, never holds a row the JSON lines lack, and no later row is appended after
// a line cut short (it would join that line and be lost).
TEST(ResultsTable, AFailedAppendIsReportedAndTheCsvNeverHoldsARowTheJsonLacks) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  {
    ResultsTable t(dir);
    ASSERT_FALSE(t.open(false));
    ASSERT_FALSE(t.append({.input = "a.txt", .status = "solved"}));
    std::optional<std::string> failed;
    {
      FileSystemCalls full = FileCallsOverride::Real();
      full.write = WriteUntilFull;
      FileCallsOverride disk(full);
      goodWrites = 0;
      failed = t.append({.input = "b.txt", .status = "solved"});
    }
    ASSERT_TRUE(failed);
    EXPECT_EQ(*failed, "cannot write '" + (dir / "results.jsonl").string() + "': No space left on device");
    EXPECT_EQ(t.append({.input = "c.txt", .status = "solved"}), failed);  // the disk has room again
    EXPECT_FALSE(t.has("b.txt"));
    EXPECT_FALSE(t.has("c.txt"));
    ASSERT_EQ(t.rows().size(), 1u);
    ASSERT_FALSE(t.writeCsv());
  }
  std::string error;
  auto rows = ReadRows(dir / "results.jsonl", error);
  ASSERT_TRUE(rows) << error;
  ASSERT_EQ(rows->size(), 1u);
  EXPECT_EQ((*rows)[0].input, "a.txt");
  std::ifstream csv(dir / "results.csv");
  std::vector<std::string> lines;
  for (std::string line; std::getline(csv, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("a.txt,", 0), 0u) << lines[1];
}

TEST(InputList, NamesFoldersOverTheWholeListAndShardsCoverItOnce) {
  const testing::TempFolder folder;
  const fs::path list = folder / "list.txt";
  std::ofstream(list) << "# solids\n  a/cube.txt  \n\nb/cube.txt\r\nc/cube.txt\na/cube.txt\nd/x.y.txt\n";
  std::string error;
  auto inputs = GatherInputs({"tetra.txt"}, list.string(), error);
  ASSERT_TRUE(inputs) << error;
  std::vector<std::string> paths, folders;
  for (const auto& i : *inputs) paths.push_back(i.path), folders.push_back(i.folder);
  EXPECT_EQ(paths, (std::vector<std::string>{"tetra.txt", "a/cube.txt", "b/cube.txt", "c/cube.txt",
                                             "d/x.y.txt"}));
  EXPECT_EQ(folders, (std::vector<std::string>{"tetra", "cube", "cube-2", "cube-3", "x.y"}));
  EXPECT_FALSE(GatherInputs({}, "/no/such/list", error));

  for (int n = 1; n <= 6; ++n) {
    std::multiset<std::string> covered;
    for (int k = 1; k <= n; ++k)
      for (const auto& i : Shard(*inputs, k, n)) covered.insert(i.path);
    EXPECT_EQ(covered, std::multiset<std::string>(paths.begin(), paths.end())) << n;
  }
  EXPECT_EQ(ParseShard("2/3"), std::make_pair(2, 3));
  for (const char* bad : {"", "3", "0/2", "3/2", "1/0", "a/b", "1/2x", "-1/2", "1//2"})
    EXPECT_FALSE(ParseShard(bad)) << bad;
}

// One job starts the inputs in list order; several start the largest first, equal sizes in
// list order and unreadable inputs last.
TEST(InputList, SeveralJobsStartTheLargestInputsFirst) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  const std::pair<const char*, size_t> files[] = {{"small", 10}, {"big", 300}, {"missing", 0}, {"mid", 100}, {"mid2", 100}};
  std::vector<BatchInput> inputs;
  for (const auto& [name, size] : files) {
    if (size > 0) std::ofstream(dir / name) << std::string(size, 'x');
    inputs.push_back({(dir / name).string(), name});
  }
  EXPECT_EQ(StartOrder(inputs, 1), (std::vector<size_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(StartOrder(inputs, 2), (std::vector<size_t>{1, 3, 4, 0, 2}));
  EXPECT_TRUE(StartOrder({}, 4).empty());
}

}  // namespace
}  // namespace kelmor
