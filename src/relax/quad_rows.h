#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelmor {

// Rows of four doubles (x, y, z and a 0) starting on a 32-byte boundary, so that one row
// is one vector load.
class QuadRows {
 public:
  void resize(size_t rows) { buf_.assign(rows * 4 + 4, 0.0); }
  double* data() {
    const auto address = reinterpret_cast<uintptr_t>(buf_.data());
    return buf_.data() + ((32 - address % 32) % 32) / sizeof(double);
  }

 private:
  std::vector<double> buf_;
};

// Rows lo..hi of rows (four doubles to a row) from the columns X, Y, Z; the fourth double
// of each row is, and stays, 0.
void FillQuadRows(double* rows, int lo, int hi, const double* X, const double* Y, const double* Z);

}  // namespace kelmor
