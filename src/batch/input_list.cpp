#include "batch/input_list.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <set>

namespace kelmor {

std::optional<std::vector<BatchInput>> GatherInputs(const std::vector<std::string>& args,
                                                    const std::string& listFile,
                                                    std::string& error) {
  std::vector<std::string> paths = args;
  if (!listFile.empty()) {
    std::ifstream in(listFile);
    if (!in) {
      error = "cannot read the list file '" + listFile + "'";
      return std::nullopt;
    }
    std::string line;
    while (std::getline(in, line)) {
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
      size_t start = line.find_first_not_of(" \t");
      if (start == std::string::npos || line[start] == '#') continue;
      paths.push_back(line.substr(start));
    }
  }
  std::vector<BatchInput> inputs;
  std::set<std::string> used;
  std::set<std::string> seen;
  for (const std::string& p : paths) {
    if (!seen.insert(p).second) continue;  // the same input twice runs once
    std::string stem = std::filesystem::path(p).stem().string();
    if (stem.empty() || stem == "." || stem == "..") stem = "input";
    std::string name = stem;
    for (int i = 2; !used.insert(name).second; ++i) name = stem + "-" + std::to_string(i);
    inputs.push_back({p, name});
  }
  return inputs;
}

std::optional<std::pair<int, int>> ParseShard(const std::string& text) {
  size_t slash = text.find('/');
  if (slash == std::string::npos) return std::nullopt;
  try {
    size_t used = 0;
    int k = std::stoi(text.substr(0, slash), &used);
    if (used != slash) return std::nullopt;
    const std::string rest = text.substr(slash + 1);
    int n = std::stoi(rest, &used);
    if (used != rest.size() || n < 1 || k < 1 || k > n) return std::nullopt;
    return std::make_pair(k, n);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<BatchInput> Shard(const std::vector<BatchInput>& inputs, int k, int n) {
  std::vector<BatchInput> slice;
  for (size_t i = static_cast<size_t>(k - 1); i < inputs.size(); i += static_cast<size_t>(n))
    slice.push_back(inputs[i]);
  return slice;
}

std::vector<size_t> StartOrder(const std::vector<BatchInput>& inputs, int jobs) {
  std::vector<size_t> order(inputs.size());
  std::iota(order.begin(), order.end(), size_t{0});
  if (jobs <= 1) return order;
  std::vector<std::uintmax_t> sizes;
  for (const BatchInput& in : inputs) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(in.path, ec);
    sizes.push_back(ec ? 0 : size);
  }
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
  return order;
}

}  // namespace kelmor
