#pragma once

#include <string>
#include <vector>

#include "run/host.h"

namespace kelmor {

// What the planar finish did.
struct PlanarFinishReport {
  bool moved = false;           // the positions were changed
  bool alreadyFlat = false;     // every face was flat to the target already: nothing to do
  std::vector<int> bentFaces;   // faces (numbered from 1) it could not flatten; then nothing moved
  bool tooDistorted = false;    // flat only with edges stretched past the limit; nothing moved
  double offPlaneBefore = 0, offPlaneAfter = 0;  // largest, as a fraction of the mean edge
  double ratioBefore = 1, ratioAfter = 1;        // longest / shortest unit edge
  double edgeBefore = 0, edgeAfter = 0;          // sum of |length - target| over the springs
  int steps = 0;
};

struct PlanarFinishSettings {
  double flatness = 1e-9;  // a face is flat when no corner is further off its plane (in edges)
  int maxSteps = 200;
  // Flat faces bought with a longest edge this many times the shortest are no finish for
  // a near miss (the whole solid could be pressed flat): the relaxed positions are kept.
  double maxRatio = 1.5;
};

// Moves the vertices so that every face of four or more corners is planar while the
// springs keep their lengths as nearly as they can: Gauss-Newton on the length residuals
// with the faces' planes as constraints (each face gets a unit normal n and offset d with
// n.x = d for its corners), each step one sparse KKT solve. A face it cannot flatten
// within the steps leaves every position as it was.
PlanarFinishReport PlanarFinish(const SolidView& solid, StartPositions positions,
                                const PlanarFinishSettings& settings = {});

// One line for the user: what the finish did, or which faces stayed bent.
std::string PlanarFinishLine(const PlanarFinishReport& report);

}  // namespace kelmor
