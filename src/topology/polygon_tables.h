#pragma once

#include "model/limits.h"

namespace kelmor {

// The regular polygon {n/k} with unit edge, for n = 3..40 and k = 1..12. Entries the
// fill does not reach stay 0.
struct PolygonTables {
  double ReachTable[MaxSides + 1][MaxStep + 1] = {};
  double InradiusTable[MaxSides + 1][MaxStep + 1] = {};
  int StepInverseTable[MaxSides + 1][MaxStep + 1] = {};
};

// Fills the three tables (before every segment is read).
void FillPolygonTables(PolygonTables& tables);

}  // namespace kelmor
