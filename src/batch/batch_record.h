#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kelmor {

// What a batch folder was started for: its slice (--shard K/N) of the whole input list.
// A resumed batch must be the same batch: another slice or another list would run inputs
// into the folder that belong to another task (a requeued array task given --shard 1/1
// would run the whole list into it).
struct BatchRecord {
  int k = 1, n = 1;
  std::vector<std::string> inputs;  // the whole list, as given, in order
};

// The record's file name in a batch folder.
inline constexpr const char* BatchRecordName = "batch.json";

// Without resume, or when the folder has no record yet, writes `now` as the folder's
// record. With resume, compares `now` with the record: returns the reason when they
// differ or the record cannot be read (`refused` set), or when the record cannot be
// written (`refused` clear).
std::optional<std::string> CheckBatchRecord(const std::filesystem::path& folder, const BatchRecord& now,
                                            bool resume, bool& refused);

}  // namespace kelmor
