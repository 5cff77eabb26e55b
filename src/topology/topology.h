#pragma once

namespace kelmor {

struct Run;

// Fans of five or more triangles around one vertex are offered for collapse into star
// faces (the question goes through the Host); then, always, vertex numbers no face uses
// are removed and the rest renumbered.
void CollapseStarPolygons(Run& run);
void RemoveUnusedVertices(Run& run);

// Pyramids on faces marked "A" or of the side type chosen in the options.
void AugmentFaces(Run& run);
// Always: squeeze out deleted faces, put star faces into ring order, sides report.
void TidyFaces(Run& run);

// Edge table from the faces, marked edge types, edge report.
void BuildEdgeTable(Run& run);
// The weakening check; shows its message and returns false when no edge can be weakened.
bool CheckWeakening(Run& run);
// Vertex adjacency and its report.
void BuildAdjacency(Run& run);

// Inflation options after each segment is read.
void ReadInflationOptions(Run& run);
// Hop distances and band links of global inflation (InflateMode 1); raises 9 above
// vertex 1500.
void BuildHopDistances(Run& run);
// The square-root hop, when SqrtHop is ticked.
void ApplySqrtHop(Run& run);
// Per attempt: local targets, MaxVertex trim, saved mode, figures reset, debug lines.
void PrepareAttemptInflation(Run& run);

}  // namespace kelmor
