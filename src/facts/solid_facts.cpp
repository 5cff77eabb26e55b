#include "facts/solid_facts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>

#include "facts/face_geometry.h"
#include "output/solution_snapshot.h"

namespace kelmor {

namespace {

double Norm(Vec3 v) { return std::sqrt(Dot(v, v)); }

std::string Number(double value, const char* format = "%.6g") {
  if (std::isinf(value)) return "inf";
  char text[40];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

const char* YesNo(bool yes) { return yes ? "yes" : "no"; }

void EdgeFigures(const FactsSolid& solid, SolidFacts& facts) {
  const std::vector<std::array<int, 2>> edges = OutlineEdges(solid);
  double sum = 0;
  for (size_t e = 0; e < edges.size(); ++e) {
    const double length =
        Norm(solid.points[static_cast<size_t>(edges[e][0])] - solid.points[static_cast<size_t>(edges[e][1])]);
    facts.shortestEdge = e ? std::min(facts.shortestEdge, length) : length;
    facts.longestEdge = e ? std::max(facts.longestEdge, length) : length;
    sum += length;
  }
  if (edges.empty()) return;
  facts.meanEdge = sum / static_cast<double>(edges.size());
  facts.edgeRatio = facts.shortestEdge > 0 ? facts.longestEdge / facts.shortestEdge
                                           : std::numeric_limits<double>::infinity();
}

// Faces whose plane has points of the solid (other than its own corners) on both sides.
int NonSupporting(const FactsSolid& solid, const std::vector<FacePlane>& planes, double tolerance) {
  std::set<int> used;
  for (const FactsFace& f : solid.faces) used.insert(f.corners.begin(), f.corners.end());
  int count = 0;
  for (size_t f = 0; f < solid.faces.size(); ++f) {
    const FacePlane& plane = planes[f];
    if (Dot(plane.normal, plane.normal) == 0) continue;
    const std::set<int> own(solid.faces[f].corners.begin(), solid.faces[f].corners.end());
    const double off = tolerance + plane.spread;
    bool above = false, below = false;
    for (int p : used) {
      if (own.count(p)) continue;
      const double d = Dot(solid.points[static_cast<size_t>(p)] - plane.centre, plane.normal);
      above = above || d > off;
      below = below || d < -off;
    }
    if (above && below) ++count;
  }
  return count;
}

// The symmetry of the points the faces use, with the faces' edges.
void Symmetry(const FactsSolid& solid, double tolerance, SolidFacts& facts) {
  std::vector<int> index(solid.points.size(), -1);
  std::vector<Vec3> points;
  for (const FactsFace& f : solid.faces)
    for (int c : f.corners)
      if (index[static_cast<size_t>(c)] < 0) {
        index[static_cast<size_t>(c)] = static_cast<int>(points.size());
        points.push_back(solid.points[static_cast<size_t>(c)]);
      }
  std::vector<std::array<int, 2>> edges;
  for (auto [a, b] : OutlineEdges(solid)) edges.push_back({index[static_cast<size_t>(a)], index[static_cast<size_t>(b)]});
  const SymmetryFound found = FindSymmetry(points, edges, tolerance);
  facts.symmetry = found.group;
  facts.symmetryOrder = static_cast<int>(found.operations.size());
}

bool ValidCorners(const FactsSolid& solid) {
  for (const FactsFace& f : solid.faces)
    for (int c : f.corners)
      if (c < 0 || static_cast<size_t>(c) >= solid.points.size()) return false;
  return true;
}

}  // namespace

FactsSolid SolidOf(const SolutionSnapshot& snapshot) {
  FactsSolid solid;
  for (const SnapshotPoint& p : snapshot.points) solid.points.push_back({p.x, p.y, p.z});
  for (const SnapshotFace& f : snapshot.faces) solid.faces.push_back({f.corners, f.step});
  return solid;
}

std::vector<std::array<int, 2>> OutlineEdges(const FactsSolid& solid) {
  std::set<std::array<int, 2>> edges;
  for (const FactsFace& f : solid.faces)
    for (auto [a, b] : FaceOutline(f))
      if (a != b) edges.insert({std::min(a, b), std::max(a, b)});
  return {edges.begin(), edges.end()};
}

SolidFacts ComputeFacts(const FactsSolid& solid, const FactsTolerance& tolerance) {
  SolidFacts facts;
  if (!ValidCorners(solid) || solid.faces.empty()) return facts;
  EdgeFigures(solid, facts);
  const double unit = facts.meanEdge > 0 ? facts.meanEdge : 1.0;
  std::vector<FacePlane> planes;
  for (size_t f = 0; f < solid.faces.size(); ++f) {
    planes.push_back(FitPlane(solid, solid.faces[f]));
    if (planes.back().spread / unit > facts.offPlane || facts.offPlaneFace < 0) {
      facts.offPlane = planes.back().spread / unit;
      facts.offPlaneFace = static_cast<int>(f);
    }
  }
  facts.nonSupportingFaces = NonSupporting(solid, planes, tolerance.plane * unit);
  facts.convex = facts.nonSupportingFaces == 0;
  facts.crossingPairs = CrossingPairs(solid, planes, tolerance.plane * unit);
  facts.selfIntersecting = facts.crossingPairs > 0;
  Symmetry(solid, tolerance.symmetry * unit, facts);
  DihedralRange(solid, planes, facts.dihedralMin, facts.dihedralMax);
  return facts;
}

std::string FactsFields(const SolidFacts& f) {
  return std::string("convex=") + YesNo(f.convex) + " self-intersecting=" + YesNo(f.selfIntersecting) +
         " symmetry=" + GroupName(f.symmetry) + " edge-ratio=" + Number(f.edgeRatio, "%.9g") +
         " off-plane=" + Number(f.offPlane, "%.3g") + " dihedral=" + Number(f.dihedralMin, "%.4f") + ".." +
         Number(f.dihedralMax, "%.4f");
}

std::string FactsLine(const SolidFacts& f) {
  return std::string(f.convex ? "convex" : "not convex") + ", " +
         (f.selfIntersecting ? "self-intersecting" : "not self-intersecting") + ", symmetry " +
         GroupName(f.symmetry) + ", edge ratio " + Number(f.edgeRatio) + ", faces flat to " +
         Number(f.offPlane, "%.2g") + " of an edge, dihedral " + Number(f.dihedralMin, "%.2f") + "-" +
         Number(f.dihedralMax, "%.2f") + " degrees";
}

std::string FactsText(const std::string& name, const SolidFacts& f) {
  std::string t;
  auto line = [&t](const std::string& key, const std::string& value) { t += key + ": " + value + "\r\n"; };
  line("solution", name);
  line("convex", YesNo(f.convex));
  line("faces whose plane is not a supporting plane", std::to_string(f.nonSupportingFaces));
  line("self-intersecting", YesNo(f.selfIntersecting));
  line("pairs of faces crossing", std::to_string(f.crossingPairs));
  line("symmetry", GroupName(f.symmetry) + " (" + std::to_string(f.symmetryOrder) + " operations)");
  line("edge ratio", Number(f.edgeRatio, "%.9g"));
  line("shortest edge", Number(f.shortestEdge, "%.9g"));
  line("longest edge", Number(f.longestEdge, "%.9g"));
  line("largest distance of a vertex from its face's plane, in edges",
       Number(f.offPlane, "%.3g") + (f.offPlaneFace >= 0 ? " (face " + std::to_string(f.offPlaneFace) + ")" : ""));
  line("dihedral angles, degrees", Number(f.dihedralMin, "%.6f") + " to " + Number(f.dihedralMax, "%.6f"));
  return t;
}

}  // namespace kelmor
