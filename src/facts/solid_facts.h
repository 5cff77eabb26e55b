#pragma once

#include <array>
#include <string>
#include <vector>

#include "facts/symmetry.h"
#include "model/vec3.h"

namespace kelmor {

struct SolutionSnapshot;

// A face: its corners, and the outline running from corner p to corner p + step (a star
// face {5/2}: five corners, step 2).
struct FactsFace {
  std::vector<int> corners;
  int step = 1;
};

// A solid as the facts see it.
struct FactsSolid {
  std::vector<Vec3> points;
  std::vector<FactsFace> faces;
};

// The outline of a face as directed point pairs, which is how neighbouring faces meet.
std::vector<std::array<int, 2>> FaceOutline(const FactsFace& face);

// The solid of a written solution's snapshot (faces not coded "B").
FactsSolid SolidOf(const SolutionSnapshot& snapshot);
// The distinct edges of the faces' outlines, as point pairs (smaller first).
std::vector<std::array<int, 2>> OutlineEdges(const FactsSolid& solid);

// Tolerances, as fractions of the mean edge length.
struct FactsTolerance {
  double symmetry = 1e-5;  // a point mapped this near to a point is on it
  double plane = 1e-7;     // a point this near a face's plane is in it
};

// What kind of solid a solution is.
struct SolidFacts {
  bool convex = true;
  int nonSupportingFaces = 0;  // faces whose plane has points on both sides
  bool selfIntersecting = false;
  int crossingPairs = 0;  // pairs of faces that cross each other
  PointGroup symmetry;
  int symmetryOrder = 1;  // number of operations found
  double shortestEdge = 0, longestEdge = 0, meanEdge = 0;
  double edgeRatio = 1;  // longest / shortest
  // The largest distance of a point from its face's least-squares plane, as a fraction
  // of the mean edge, and the face (from 0) where it is.
  double offPlane = 0;
  int offPlaneFace = -1;
  // Interior dihedral angles in degrees across the edges two faces share (0 and 0 when
  // no edge is shared); above 180 at a dent.
  double dihedralMin = 0, dihedralMax = 0;
};

SolidFacts ComputeFacts(const FactsSolid& solid, const FactsTolerance& tolerance = {});

// The facts as a few words for the `written` line: "convex=yes symmetry=Oh ...".
std::string FactsFields(const SolidFacts& facts);
// One line for a window's label.
std::string FactsLine(const SolidFacts& facts);
// The whole text of NAME_facts.txt, one "key: value" a line.
std::string FactsText(const std::string& name, const SolidFacts& facts);

}  // namespace kelmor
