#pragma once

#include <vector>

#include "model/limits.h"

namespace kelmor {

// What inflation needs during relaxation: the mode and limits read from the options,
// the local targets drawn per attempt and the hop-distance table of global inflation.
struct InflationState {
  int InflateMode = 1;  // 0 none, 1 global, 3 local one, 4 local diagonal
  int GlobalLimit = 99;
  int LocalOption = 1;
  double LocalModeCode = 2;
  double LocalTarget = 0, StarTarget = 0, SelectedTarget = 0;
  double LocalMin = 0, LocalMax = 0, StarMin = 0, StarMax = 0, SelectedMin = 0, SelectedMax = 0;
  int SelectedN = 0, SelectedD = 0;
  double D4Factor = 1;
  int SavedInflateMode = 0;

  // HopDistance(a, b) for the model's vertices a, b in HopFirst..HopLast (within
  // 0..MaxHopVertex), single precision; 0 means none found. Row a starts at
  // HopRow(a); the table takes (HopLast - HopFirst + 1) squared entries.
  std::vector<float> HopDistance;
  int HopFirst = 0, HopLast = -1;

  int HopSize() const { return HopLast - HopFirst + 1; }
  bool HopCovers(int lo, int hi) const { return lo >= HopFirst && hi <= HopLast; }
  // An empty table for vertices lo..hi.
  void SizeHopTable(int lo, int hi) {
    HopFirst = lo;
    HopLast = hi;
    const size_t n = hi >= lo ? static_cast<size_t>(hi - lo + 1) : 0;
    HopDistance.assign(n * n, 0.0f);
  }
  size_t HopIndex(int a, int b) const {
    return static_cast<size_t>(a - HopFirst) * static_cast<size_t>(HopSize()) +
           static_cast<size_t>(b - HopFirst);
  }
  float* HopRow(int a) { return HopDistance.data() + HopIndex(a, HopFirst); }
  const float* HopRow(int a) const { return HopDistance.data() + HopIndex(a, HopFirst); }
  float& Hop(int a, int b) { return HopDistance[HopIndex(a, b)]; }
  float Hop(int a, int b) const { return HopDistance[HopIndex(a, b)]; }
};

}  // namespace kelmor
