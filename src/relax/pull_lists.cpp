#include "relax/pull_lists.h"

#include "relax/quad_lanes.h"

namespace kelmor {

void PullList::build(const std::vector<std::pair<int, int>>& entries, size_t vertices) {
  vertex.clear(), start.clear(), pulls.clear();
  // A counting sort of the entries by vertex.
  std::vector<int> count(vertices, 0);
  for (const auto& [v, row] : entries) ++count[static_cast<size_t>(v)];
  std::vector<int> next(vertices, 0);
  for (size_t v = 0; v < vertices; ++v) {
    if (count[v] == 0) continue;
    vertex.push_back(static_cast<int>(v));
    start.push_back(static_cast<int>(pulls.size()));
    next[v] = static_cast<int>(pulls.size());
    pulls.resize(pulls.size() + static_cast<size_t>(count[v]));
  }
  start.push_back(static_cast<int>(pulls.size()));
  for (const auto& [v, row] : entries) pulls[static_cast<size_t>(next[static_cast<size_t>(v)]++)] = row;
}

namespace {

void PlainAdd(const PullList& list, const double* rows, double* FX, double* FY, double* FZ) {
  for (size_t i = 0; i < list.vertex.size(); ++i) {
    const int v = list.vertex[i];
    double fx = FX[v], fy = FY[v], fz = FZ[v];
    for (int j = list.start[i]; j < list.start[i + 1]; ++j) {
      const double* pull = rows + list.pulls[j];
      fx += pull[0], fy += pull[1], fz += pull[2];
    }
    FX[v] = fx, FY[v] = fy, FZ[v] = fz;
  }
}

#if defined(__x86_64__)
// The list's arrays are read into locals first: the vector stores may alias anything in
// memory, so the vectors' own pointers would be read again after every store.
__attribute__((target("avx2"))) void VectorAdd(const PullList& list, const double* rows,
                                               double* FX, double* FY, double* FZ) {
  const int *vertex = list.vertex.data(), *start = list.start.data(), *pulls = list.pulls.data();
  const size_t count = list.vertex.size();
  for (size_t i = 0; i < count; ++i) {
    const int v = vertex[i];
    __m256d f = _mm256_set_pd(0, FZ[v], FY[v], FX[v]);
#pragma GCC unroll 2
    for (int j = start[i]; j < start[i + 1]; ++j) f = _mm256_add_pd(f, Row(rows, pulls[j]));
    const __m128d xy = _mm256_castpd256_pd128(f);
    _mm_storel_pd(FX + v, xy);
    _mm_storeh_pd(FY + v, xy);
    _mm_store_sd(FZ + v, _mm256_extractf128_pd(f, 1));
  }
}
#endif

}  // namespace

void AddPullRows(const PullList& list, const double* rows, double* FX, double* FY, double* FZ,
                 bool vector) {
#if defined(__x86_64__)
  if (vector) return VectorAdd(list, rows, FX, FY, FZ);
#else
  (void)vector;
#endif
  PlainAdd(list, rows, FX, FY, FZ);
}

}  // namespace kelmor
