#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "run/error.h"

namespace kelmor {

// A table with rows 0..maxRow; any access outside raises error 9 (subscript out of
// range), which is how the model's hard limits are enforced.
template <class T>
class Table {
 public:
  Table() = default;
  explicit Table(int maxRow, const T& init = T()) : data_(static_cast<size_t>(maxRow) + 1, init) {}

  T& operator[](long i) {
    check(i);
    return data_[static_cast<size_t>(i)];
  }
  const T& operator[](long i) const {
    check(i);
    return data_[static_cast<size_t>(i)];
  }
  int maxRow() const { return static_cast<int>(data_.size()) - 1; }
  void fill(const T& v) { std::fill(data_.begin(), data_.end(), v); }
  void resize(int maxRow, const T& init = T()) { data_.assign(static_cast<size_t>(maxRow) + 1, init); }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }

 private:
  void check(long i) const {
    if (i < 0 || static_cast<size_t>(i) >= data_.size()) raiseError(ErrSubscript);
  }
  std::vector<T> data_;
};

// A two-dimensional table with rows 0..maxRow and columns 0..maxCol, checked the same way.
template <class T>
class Table2 {
 public:
  Table2() = default;
  Table2(int maxRow, int maxCol, const T& init = T()) { resize(maxRow, maxCol, init); }

  T& operator()(long r, long c) { return data_[index(r, c)]; }
  const T& operator()(long r, long c) const { return data_[index(r, c)]; }
  int maxRow() const { return rows_ - 1; }
  int maxCol() const { return cols_ - 1; }
  void fill(const T& v) { std::fill(data_.begin(), data_.end(), v); }
  void resize(int maxRow, int maxCol, const T& init = T()) {
    rows_ = maxRow + 1;
    cols_ = maxCol + 1;
    data_.assign(static_cast<size_t>(rows_) * static_cast<size_t>(cols_), init);
  }
  // Row r as a contiguous run of maxCol + 1 values (unchecked beyond the row check).
  T* row(long r) { return &data_[index(r, 0)]; }
  const T* row(long r) const { return &data_[index(r, 0)]; }

 private:
  size_t index(long r, long c) const {
    if (r < 0 || r >= rows_ || c < 0 || c >= cols_) raiseError(ErrSubscript);
    return static_cast<size_t>(r) * static_cast<size_t>(cols_) + static_cast<size_t>(c);
  }
  int rows_ = 0;
  int cols_ = 0;
  std::vector<T> data_;
};

}  // namespace kelmor
