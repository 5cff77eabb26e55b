#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "model/error.h"

namespace kelmor {

// A table with rows 0..maxRow; any access outside raises error 9 (subscript out of
// range), which is how the model's hard limits are enforced.
//
// Memory follows the model, not the limit: a row exists once it is written (or asked
// for through hold()), and a row never written reads as the table's initial value. The
// whole range is reserved up front, so rows never move: a reference into the table
// stays good while later rows are added. Untouched reserved memory costs no RAM.
template <class T>
class Table {
 public:
  Table() = default;
  explicit Table(int maxRow, const T& init = T()) { resize(maxRow, init); }
  Table(const Table& o) { *this = o; }
  Table& operator=(const Table& o) {
    if (this == &o) return *this;
    maxRow_ = o.maxRow_;
    init_ = o.init_;
    data_.clear();
    data_.reserve(static_cast<size_t>(maxRow_) + 1);
    data_.insert(data_.end(), o.data_.begin(), o.data_.end());
    return *this;
  }
  Table(Table&&) noexcept = default;
  Table& operator=(Table&&) noexcept = default;

  T& operator[](long i) {
    check(i);
    if (static_cast<size_t>(i) >= data_.size()) data_.resize(static_cast<size_t>(i) + 1, init_);
    return data_[static_cast<size_t>(i)];
  }
  const T& operator[](long i) const {
    check(i);
    return static_cast<size_t>(i) < data_.size() ? data_[static_cast<size_t>(i)] : init_;
  }
  // The highest row the table may hold (its limit).
  int maxRow() const { return maxRow_; }
  // Rows held now: 0..heldRows() - 1; every row above reads as the initial value.
  int heldRows() const { return static_cast<int>(data_.size()); }
  // Makes rows 0..lastRow held, for raw access through data().
  void hold(int lastRow) { if (lastRow >= 0) (*this)[lastRow]; }
  // Every row, held or not, reads v from now on.
  void fill(const T& v) {
    init_ = v;
    std::fill(data_.begin(), data_.end(), v);
  }
  // A new limit and initial value; no row is held.
  void resize(int maxRow, const T& init = T()) {
    maxRow_ = maxRow;
    init_ = init;
    data_.clear();
    data_.reserve(static_cast<size_t>(maxRow) + 1);
  }
  // The held rows, contiguous (see hold()).
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }

 private:
  void check(long i) const {
    if (i < 0 || i > maxRow_) raiseError(ErrSubscript);
  }
  int maxRow_ = -1;
  T init_{};
  std::vector<T> data_;
};

// A two-dimensional table with rows 0..maxRow and columns 0..maxCol, checked and held
// the same way, by whole rows.
template <class T>
class Table2 {
 public:
  Table2() = default;
  Table2(int maxRow, int maxCol, const T& init = T()) { resize(maxRow, maxCol, init); }
  Table2(const Table2& o) { *this = o; }
  Table2& operator=(const Table2& o) {
    if (this == &o) return *this;
    rows_ = o.rows_;
    cols_ = o.cols_;
    blank_ = o.blank_;
    data_.clear();
    data_.reserve(capacity());
    data_.insert(data_.end(), o.data_.begin(), o.data_.end());
    return *this;
  }
  Table2(Table2&&) noexcept = default;
  Table2& operator=(Table2&&) noexcept = default;

  T& operator()(long r, long c) { return row(r)[checkedCol(c)]; }
  const T& operator()(long r, long c) const { return row(r)[checkedCol(c)]; }
  int maxRow() const { return rows_ - 1; }
  int maxCol() const { return cols_ - 1; }
  int heldRows() const { return cols_ > 0 ? static_cast<int>(data_.size() / cols_) : 0; }
  void fill(const T& v) {
    std::fill(blank_.begin(), blank_.end(), v);
    std::fill(data_.begin(), data_.end(), v);
  }
  void resize(int maxRow, int maxCol, const T& init = T()) {
    rows_ = maxRow + 1;
    cols_ = maxCol + 1;
    blank_.assign(static_cast<size_t>(cols_), init);
    data_.clear();
    data_.reserve(capacity());
  }
  // Row r as a contiguous run of maxCol + 1 values (unchecked beyond the row check).
  T* row(long r) {
    checkRow(r);
    const size_t end = (static_cast<size_t>(r) + 1) * static_cast<size_t>(cols_);
    if (data_.size() < end) data_.resize(end, blank_.front());
    return &data_[static_cast<size_t>(r) * static_cast<size_t>(cols_)];
  }
  const T* row(long r) const {
    checkRow(r);
    if (static_cast<size_t>(r) >= static_cast<size_t>(heldRows())) return blank_.data();
    return &data_[static_cast<size_t>(r) * static_cast<size_t>(cols_)];
  }

 private:
  size_t capacity() const { return static_cast<size_t>(rows_) * static_cast<size_t>(cols_); }
  void checkRow(long r) const {
    if (r < 0 || r >= rows_) raiseError(ErrSubscript);
  }
  long checkedCol(long c) const {
    if (c < 0 || c >= cols_) raiseError(ErrSubscript);
    return c;
  }
  int rows_ = 0;
  int cols_ = 0;
  std::vector<T> blank_;  // what a row not yet held reads as
  std::vector<T> data_;
};

}  // namespace kelmor
