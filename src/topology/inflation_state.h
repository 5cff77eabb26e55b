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

  // HopDistance(a, b) for a, b in 0..MaxHopVertex, single precision; 0 means none found.
  std::vector<float> HopDistance;
  static constexpr int HopRows = MaxHopVertex + 1;
  float& Hop(int a, int b) { return HopDistance[static_cast<size_t>(a) * HopRows + b]; }
  float Hop(int a, int b) const { return HopDistance[static_cast<size_t>(a) * HopRows + b]; }
};

}  // namespace kelmor
