#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/vec3.h"
#include "output/solution_snapshot.h"

namespace kelmor {

double Length(Vec3 a);
// a scaled to length 1; the zero vector stays zero.
Vec3 Unit(Vec3 a);

struct MeshMaterial {
  std::string name;
  SnapshotColour colour;
  double opacity = 1;  // below 1: blended with what lies behind
};

// A triangle mesh in flat tables. Triangles wind counter-clockwise seen from outside.
// A part is what a viewer should treat as one piece (a face of a solid, or all struts),
// each drawn in one material; points are shared between the triangles of a shell.
struct Mesh {
  std::vector<Vec3> points;
  std::vector<std::array<int, 3>> triangles;
  std::vector<int> triangleMaterial;  // per triangle
  std::vector<int> trianglePart;      // per triangle
  std::vector<MeshMaterial> materials;
  bool smooth = false;  // round shapes: shade with normals averaged at shared points
  bool doubleSided = false;  // has open surfaces (frame rings): draw both sides

  int AddPoint(Vec3 p) {
    points.push_back(p);
    return static_cast<int>(points.size()) - 1;
  }
  void AddTriangle(int a, int b, int c, int material, int part) {
    triangles.push_back({a, b, c});
    triangleMaterial.push_back(material);
    trianglePart.push_back(part);
  }
  int PartCount() const;
  // The mesh with every point multiplied by factor.
  Mesh Scaled(double factor) const;
};

// One part of a mesh ready for a viewer: its own points, a normal at each (the
// area-weighted mean of the part's triangles there: a flat face keeps its plane's normal)
// and its triangles as indices.
struct MeshPart {
  int material = 0;
  std::vector<Vec3> positions, normals;
  std::vector<unsigned> indices;
};
std::vector<MeshPart> SplitParts(const Mesh& mesh);

// The faces of the solid as the solid file fills them: plain faces as polygons (cut into
// triangles by ear clipping), star faces and faces coded "n" as triangles around their
// centre. Each connected shell is oriented consistently and outwards. One part per face,
// one material per colour entry used. Unit edge.
Mesh SolidMesh(const SolutionSnapshot& s);

// The solid for printing: as SolidMesh, unless star faces whose outlines leave gaps
// between their points (no other face runs along their edges) make it open while the
// polygons through their corners close it; then those polygons, and starGaps is the
// number of open edges the outlines left (0 otherwise).
Mesh PrintedSolidMesh(const SolutionSnapshot& s, int& starGaps);

// The solid as its file shows it, for viewers: as SolidMesh, but frame faces (coded "f")
// as rings of bars, and translucent faces (coded "t") also filled whole in a translucent
// twin of their material. Rings are open surfaces, so the mesh is then double-sided.
Mesh ViewedSolidMesh(const SolutionSnapshot& s);

// The cylinder model: every strut a closed cylinder, every strut end a ball, each its own
// closed shell. edgeMillimetres is the printed edge length; the number of segments keeps
// the facets within a fine printing tolerance at that size. Unit edge.
Mesh StrutMesh(const SolutionSnapshot& s, double edgeMillimetres);

}  // namespace kelmor
