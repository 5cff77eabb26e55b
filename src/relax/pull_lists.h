#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace kelmor {

// For each vertex that receives pulls, the rows (offsets in doubles into a QuadRows
// buffer) of its pulls in the order they add up: pulls[start[i]] up to pulls[start[i + 1]]
// for vertex[i], vertices in ascending order.
struct PullList {
  std::vector<int> vertex, start, pulls;

  // The list of (vertex, row) entries, each vertex's rows kept in entry order; vertices
  // are below `vertices`.
  void build(const std::vector<std::pair<int, int>>& entries, size_t vertices);
};

// Adds every listed vertex's pulls (x, y, z of each row) to its force, in list order. The
// vector path (AVX2) and the plain one give the same sums to the last bit.
void AddPullRows(const PullList& list, const double* rows, double* FX, double* FY, double* FZ,
                 bool vector);

}  // namespace kelmor
