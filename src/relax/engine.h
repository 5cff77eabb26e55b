#pragma once

#include <optional>
#include <string_view>

#include "relax/relaxation.h"

namespace kelmor {

struct Run;

// The pieces of an attempt, for the loop itself, its tests and the benchmarks. Each force
// pass adds into the force tables; none allocates.

// Raw views of the positions and forces for the hot loops (indexed by vertex number).
struct VertexArrays {
  explicit VertexArrays(Run& run);
  const double *X, *Y, *Z;
  double *FX, *FY, *FZ;
};

// Gathers the per-attempt facts of RelaxPlan from the model, the edge table and the
// inflation targets (letters are read here and never inside an iteration).
void BuildRelaxPlan(Run& run);

// Starting positions: input coordinates where given, random elsewhere; the single-face
// X/Y/Z flattening and XYConfine; velocities and forces cleared.
void SetStartingPositions(Run& run);

// A one-attempt relaxation about to be written: the host may move the vertices (see
// Host::finishPositions); when it does, E and P are measured again for the new places.
void FinishPositions(Run& run);
// Repeat mode: whether the host keeps an exact new solution (see Host::acceptSolution).
bool SolutionAccepted(Run& run);
void ClearForces(Run& run);
void HopForces(Run& run);
void EdgeForces(Run& run);
void LocalInflationForces(Run& run);
void RhombusMeasures(Run& run, int set);        // set 1 "D", 2 "d", 3 "q"
void HexagonMeasures(Run& run, int family);     // family 1 "D", 2 "d"
void PolygonForces(Run& run);
// The same with the vector path of the offsets on or off (both give the same forces).
void PolygonForces(Run& run, bool vector);

// The vector path's pieces (AVX2 and FMA). The positions as rows (x, y, z, 0), valid until
// the vertices move; the edge pass and the polygon pass (with its deformations) with their
// forces left as pulls in the plan's pull rows, for AddPullRows.
const double* PositionRows(Run& run);
void EdgePulls(Run& run, const double* rows);
void ShapePulls(Run& run, const double* rows, bool vector);

// An iteration's edge forces, rhombus and hexagon measures and polygon forces, with the
// vector path on or off: the same forces, deviations and deformations to the last bit.
void EdgeAndPolygonForces(Run& run, bool vector);

// Integration and centring, the frame and, every tenth iteration, the figures and the
// button poll. An outcome means the poll leaves the loop.
std::optional<LoopOutcome> MoveVertices(Run& run);
void DrawFrame(Run& run);
std::optional<LoopOutcome> UpdateAndPoll(Run& run);

// The global inflation phase: hop forces and moves until settled, at most 1000 passes.
std::optional<LoopOutcome> GlobalInflationPhase(Run& run);
// One main-loop iteration at relax.Iteration, force passes to end-of-iteration rules.
std::optional<LoopOutcome> MainIteration(Run& run);
// The rules after every move: inflation end, stalls, new-solution test, restart, writes.
std::optional<LoopOutcome> EndOfIteration(Run& run);

void RaiseEdgeStrength(Run& run);
void LowerEdgeStrength(Run& run);
// Reloads Strength(1..6) from the preferences and asks for a new attempt.
void RestartRequest(Run& run);

// WriteOutputFiles under the run's error handler, reporting written files to the host.
// Returns true when the writer completed.
bool WriteSolution(Run& run, bool notify = true);

// Writes the solution; then leaves for the next segment when one is pending, or else shows
// code & OutputName & tail (only when the writer completed).
std::optional<LoopOutcome> WriteThenNotify(Run& run, std::string_view code, std::string_view tail,
                                           bool notify = true);

// A host found the attempt settled exactly (SettledButton): written as the write test
// writes an exact solution, when it is new and valid; otherwise the next attempt starts.
std::optional<LoopOutcome> WriteSettled(Run& run);

// The name a solution is written under: BaseName, or BaseName_isomN from the second on.
void SetSolutionName(Run& run);

}  // namespace kelmor
