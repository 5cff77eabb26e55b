#pragma once

#include <vector>

#include "facts/solid_facts.h"

namespace kelmor {

// A face's least-squares plane: through the centroid of its corners, across the direction
// in which they spread least, turned to agree with the outline's winding.
struct FacePlane {
  Vec3 centre;
  Vec3 normal;        // unit; zero for a face without area
  double spread = 0;  // the largest distance of a corner from the plane
};

FacePlane FitPlane(const FactsSolid& solid, const FactsFace& face);
// The outline's area vector (twice the area times the normal, counted with its winding).
Vec3 WindingNormal(const FactsSolid& solid, const FactsFace& face);
// Whether a point of the face's plane lies inside its outline (non-zero winding) and at
// least `margin` away from every outline edge.
bool InsideOutline(const FactsSolid& solid, const FactsFace& face, const FacePlane& plane, Vec3 point,
                   double margin);

// Pairs of faces that cross each other (not merely meeting at corners or edges).
int CrossingPairs(const FactsSolid& solid, const std::vector<FacePlane>& planes, double tolerance);

// The range of interior dihedral angles, in degrees, over the edges two faces share; false
// when no edge is shared by exactly two faces.
bool DihedralRange(const FactsSolid& solid, const std::vector<FacePlane>& planes, double& lowest,
                   double& highest);

}  // namespace kelmor
