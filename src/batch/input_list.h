#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelmor {

// One input of a batch and the name of its output subfolder.
struct BatchInput {
  std::string path;    // as given
  std::string folder;  // subfolder name: the file name without extension, made unique
};

// The inputs in the order given: the arguments, then the lines of the list file (blank
// lines and lines starting with '#' skipped). Subfolder names are given over the whole
// list, so every shard and every resumed run names an input's folder alike. nullopt
// (reason in `error`) when the list file cannot be read.
std::optional<std::vector<BatchInput>> GatherInputs(const std::vector<std::string>& args,
                                                    const std::string& listFile,
                                                    std::string& error);

// "K/N" with 1 <= K <= N; nullopt when it is not that.
std::optional<std::pair<int, int>> ParseShard(const std::string& text);
// The K-th of N slices: inputs K-1, K-1+N, K-1+2N, ... of the list.
std::vector<BatchInput> Shard(const std::vector<BatchInput>& inputs, int k, int n);

// The order in which a batch starts its inputs (indices into inputs). One job takes them
// in list order; several take the largest file first (its size standing in for its work;
// equal sizes in list order, unreadable files last), so that the batch does not end with
// one job still on a big input started last while the others have nothing left.
std::vector<size_t> StartOrder(const std::vector<BatchInput>& inputs, int jobs);

}  // namespace kelmor
