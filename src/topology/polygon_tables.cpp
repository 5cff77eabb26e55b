#include "topology/polygon_tables.h"

#include <cmath>

namespace kelmor {

void FillPolygonTables(PolygonTables& tables) {
  const double pi = 4 * std::atan(1.0);
  for (int n = 3; n <= MaxSides; ++n) {
    const double t = pi / n;
    // Far reference point of the unit-edge n-gon: for odd n the midpoint of the opposite
    // side (inradius plus circumradius).
    tables.ReachTable[n][1] =
        n % 2 == 1 ? 0.5 / std::tan(t) + 0.5 / std::sin(t) : 1 / std::sin(t) - 2 * std::sin(t) / 3;
    for (int k = 1; k <= MaxStep && k != n; ++k) {
      if (k > 1) tables.ReachTable[n][k] = std::sin(t) / std::sin(k * t);
      tables.InradiusTable[n][k] = 1 / (2 * std::tan(k * t));
      for (int s = 1; s <= k; ++s) {
        if ((s * n - 1) % k == 0) {
          tables.StepInverseTable[n][k] = (s * n - 1) / k;
          break;
        }
      }
    }
  }
  tables.ReachTable[2][1] = 1;
  tables.ReachTable[3][1] = 1;
  tables.ReachTable[4][1] = std::sqrt(2.0);
}

}  // namespace kelmor
