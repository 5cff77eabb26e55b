// Placeholder until the topology operations land.
#include "run/run.h"
#include "topology/polygon_tables.h"
#include "topology/topology.h"

namespace kelmor {
void FillPolygonTables(PolygonTables&) {}
void CollapseStarPolygons(Run&) {}
void RemoveUnusedVertices(Run&) {}
void AugmentFaces(Run&) {}
void TidyFaces(Run&) {}
void BuildEdgeTable(Run&) {}
bool CheckWeakening(Run&) { return true; }
void BuildAdjacency(Run&) {}
void ReadInflationOptions(Run&) {}
void BuildHopDistances(Run&) {}
void ApplySqrtHop(Run&) {}
void PrepareAttemptInflation(Run&) {}
}  // namespace kelmor
