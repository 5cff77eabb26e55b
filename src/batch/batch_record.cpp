#include "batch/batch_record.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "files/private_file.h"
#include "model/error.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

std::string ShardText(int k, int n) { return std::to_string(k) + "/" + std::to_string(n); }

std::optional<BatchRecord> ReadRecord(const fs::path& file, std::string& error) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  try {
    const nlohmann::json j = nlohmann::json::parse(text.str());
    BatchRecord r;
    r.k = j.at("shard").at(0).get<int>();
    r.n = j.at("shard").at(1).get<int>();
    r.inputs = j.at("inputs").get<std::vector<std::string>>();
    return r;
  } catch (const nlohmann::json::exception&) {
    error = "'" + file.string() + "' is not a batch record; resume is refused so that no row goes astray";
    return std::nullopt;
  }
}

// Why the inputs differ, in a few words: the counts and the first input that differs.
std::string ListDifference(const std::vector<std::string>& then, const std::vector<std::string>& now) {
  size_t i = 0;
  while (i < then.size() && i < now.size() && then[i] == now[i]) ++i;
  std::ostringstream why;
  why << then.size() << " inputs then, " << now.size() << " now; input " << i + 1 << " was "
      << (i < then.size() ? "'" + then[i] + "'" : "none") << ", is " << (i < now.size() ? "'" + now[i] + "'" : "none");
  return why.str();
}

}  // namespace

std::optional<std::string> CheckBatchRecord(const fs::path& folder, const BatchRecord& now, bool resume,
                                            bool& refused) {
  refused = false;
  const fs::path file = folder / BatchRecordName;
  std::error_code ec;
  if (resume && fs::exists(file, ec)) {
    refused = true;
    std::string error;
    const auto then = ReadRecord(file, error);
    if (!then) return error;
    if (then->k != now.k || then->n != now.n)
      return "the batch in '" + folder.string() + "' was started with --shard " + ShardText(then->k, then->n) +
             ", not " + ShardText(now.k, now.n) + "; --resume must give the same slice";
    if (then->inputs != now.inputs)
      return "the batch in '" + folder.string() + "' was started with other inputs (" +
             ListDifference(then->inputs, now.inputs) + "); --resume must name the same list";
    refused = false;
    return std::nullopt;
  }
  nlohmann::json j;
  j["shard"] = {now.k, now.n};
  j["inputs"] = now.inputs;
  try {
    ReplaceFileWith(file, j.dump(1) + "\n");
  } catch (const FileWriteError& e) {
    return "cannot write '" + e.path() + "': " + e.reason();
  }
  return std::nullopt;
}

}  // namespace kelmor
