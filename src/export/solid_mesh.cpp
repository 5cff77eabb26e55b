// The solid: faces cut into triangles the way the solid file fills them, then every shell
// turned so that its triangles agree with each other and face outwards.
#include <algorithm>
#include <cmath>
#include <map>
#include <queue>
#include <string>

#include "export/mesh.h"
#include "export/shell_check.h"
#include "model/polygon_fill.h"

namespace kelmor {

namespace {

Vec3 At(const SolutionSnapshot& s, int point) {
  const SnapshotPoint& p = s.points.at(static_cast<size_t>(point));
  return {p.x, p.y, p.z};
}

// The outline of a face as directed edges: corner p to corner p + step (p + 1 for a
// plain face), which is how neighbouring faces meet.
std::vector<std::array<int, 2>> Outline(const SnapshotFace& f) {
  std::vector<std::array<int, 2>> edges;
  const size_t n = f.corners.size();
  const size_t k = static_cast<size_t>(std::max(f.step, 1));
  for (size_t p = 0; p < n; ++p) edges.push_back({f.corners[p], f.corners[(p + k) % n]});
  return edges;
}

// Which faces must be turned over so that every shared edge is run in opposite directions
// by its two faces. Faces are grouped into shells (connected through shared edges).
struct Orientation {
  std::vector<bool> reversed;
  std::vector<int> shell;
  int shells = 0;
};

Orientation OrientFaces(const std::vector<SnapshotFace>& faces) {
  struct Use {
    int face;
    bool forward;  // runs the edge from its smaller point to its larger one
  };
  std::map<std::pair<int, int>, std::vector<Use>> uses;
  for (size_t f = 0; f < faces.size(); ++f)
    for (auto [a, b] : Outline(faces[f]))
      if (a != b) uses[{std::min(a, b), std::max(a, b)}].push_back({static_cast<int>(f), a < b});
  Orientation o;
  o.reversed.assign(faces.size(), false);
  o.shell.assign(faces.size(), -1);
  for (size_t start = 0; start < faces.size(); ++start) {
    if (o.shell[start] >= 0) continue;
    std::queue<int> todo;
    todo.push(static_cast<int>(start));
    o.shell[start] = o.shells;
    while (!todo.empty()) {
      int f = todo.front();
      todo.pop();
      for (auto [a, b] : Outline(faces[static_cast<size_t>(f)])) {
        if (a == b) continue;
        bool forward = (a < b) != o.reversed[static_cast<size_t>(f)];
        for (const Use& u : uses[{std::min(a, b), std::max(a, b)}]) {
          auto g = static_cast<size_t>(u.face);
          if (o.shell[g] >= 0) continue;  // a one-sided surface keeps its first choice
          o.shell[g] = o.shells;
          o.reversed[g] = u.forward == forward;
          todo.push(u.face);
        }
      }
    }
    ++o.shells;
  }
  return o;
}

// Cuts a plain polygon into triangles by clipping ears in its own plane, as pictures cut
// it; corner order (counter-clockwise about the polygon's normal) is kept in every
// triangle. A degenerate outline, with no ear to clip, is fanned from its first corner.
std::vector<std::array<int, 3>> ClipEars(const Mesh& mesh, const std::vector<int>& loop) {
  std::vector<Vec3> outline;
  outline.reserve(loop.size());
  for (int point : loop) outline.push_back(mesh.points[static_cast<size_t>(point)]);
  std::vector<std::array<int, 3>> out;
  for (const auto& e : EarCorners(outline))
    out.push_back({loop[static_cast<size_t>(e[0])], loop[static_cast<size_t>(e[1])], loop[static_cast<size_t>(e[2])]});
  if (out.empty())
    for (size_t i = 1; i + 1 < loop.size(); ++i) out.push_back({loop[0], loop[i], loop[i + 1]});
  return out;
}

double SignedVolume(const Mesh& mesh, size_t t) {
  const auto& tri = mesh.triangles[t];
  Vec3 a = mesh.points[static_cast<size_t>(tri[0])], b = mesh.points[static_cast<size_t>(tri[1])],
       c = mesh.points[static_cast<size_t>(tri[2])];
  return Dot(a, Cross(b, c)) / 6.0;
}

}  // namespace

namespace {

// The solid filled whole, and for each face whether its corners run reversed in it.
Mesh Filled(const SolutionSnapshot& s, std::vector<bool>& faceReversed) {
  Mesh mesh;
  for (size_t p = 0; p < s.points.size(); ++p) mesh.AddPoint(At(s, static_cast<int>(p)));
  std::map<int, int> materialOf;  // colour entry to material
  for (const SnapshotFace& f : s.faces) {
    if (materialOf.count(f.colour)) continue;
    materialOf[f.colour] = static_cast<int>(mesh.materials.size());
    mesh.materials.push_back({"colour_" + std::to_string(f.colour), s.colours.at(static_cast<size_t>(f.colour))});
  }
  Orientation o = OrientFaces(s.faces);
  std::vector<int> shellOfTriangle;
  for (size_t fi = 0; fi < s.faces.size(); ++fi) {
    SnapshotFace f = s.faces[fi];
    if (f.corners.size() < 3) continue;
    if (o.reversed[fi]) std::reverse(f.corners.begin(), f.corners.end());
    int material = materialOf[f.colour];
    int part = static_cast<int>(fi);
    if (f.fan) {
      Vec3 centre;
      for (int c : f.corners) centre = centre + mesh.points[static_cast<size_t>(c)];
      int middle = mesh.AddPoint(centre * (1.0 / static_cast<double>(f.corners.size())));
      for (auto [a, b] : Outline(f)) mesh.AddTriangle(middle, a, b, material, part);
    } else {
      for (const auto& t : ClipEars(mesh, f.corners)) mesh.AddTriangle(t[0], t[1], t[2], material, part);
    }
    shellOfTriangle.resize(mesh.triangles.size(), o.shell[fi]);
  }
  // A shell whose triangles enclose a negative volume is inside out.
  std::vector<double> volume(static_cast<size_t>(o.shells), 0.0);
  for (size_t t = 0; t < mesh.triangles.size(); ++t)
    volume[static_cast<size_t>(shellOfTriangle[t])] += SignedVolume(mesh, t);
  for (size_t t = 0; t < mesh.triangles.size(); ++t)
    if (volume[static_cast<size_t>(shellOfTriangle[t])] < 0) std::swap(mesh.triangles[t][1], mesh.triangles[t][2]);
  faceReversed.assign(s.faces.size(), false);
  for (size_t fi = 0; fi < s.faces.size(); ++fi)
    faceReversed[fi] = o.reversed[fi] != (volume[static_cast<size_t>(o.shell[fi])] < 0);
  return mesh;
}

// A frame face as its ring of bars: for each outline edge from corner p to corner q, the
// quadrilateral p, q and their inner points, wound as the face.
void AddRing(Mesh& mesh, const SnapshotFace& face, bool reversed, int material, int part) {
  SnapshotFace f = face;
  std::vector<int> inner;
  for (const SnapshotPoint& p : f.inner) inner.push_back(mesh.AddPoint({p.x, p.y, p.z}));
  if (reversed) {
    std::reverse(f.corners.begin(), f.corners.end());
    std::reverse(inner.begin(), inner.end());
  }
  const size_t n = f.corners.size(), k = static_cast<size_t>(std::max(f.step, 1));
  for (size_t p = 0; p < n; ++p) {
    size_t q = (p + k) % n;
    mesh.AddTriangle(f.corners[p], f.corners[q], inner[q], material, part);
    mesh.AddTriangle(f.corners[p], inner[q], inner[p], material, part);
  }
}

int MaterialOf(const Mesh& filled, const SnapshotFace& f) {
  const std::string name = "colour_" + std::to_string(f.colour);
  for (size_t i = 0; i < filled.materials.size(); ++i)
    if (filled.materials[i].name == name) return static_cast<int>(i);
  return 0;
}

}  // namespace

Mesh SolidMesh(const SolutionSnapshot& s) {
  std::vector<bool> reversed;
  return Filled(s, reversed);
}

Mesh PrintedSolidMesh(const SolutionSnapshot& s, int& starGaps) {
  starGaps = 0;
  Mesh mesh = SolidMesh(s);
  const int open = CheckShells(mesh.points, mesh.triangles).openEdges;
  SolutionSnapshot whole = s;
  bool stars = false;
  for (SnapshotFace& f : whole.faces)
    if (f.step > 1) {
      f.step = 1;
      f.fan = false;
      stars = true;
    }
  if (open == 0 || !stars) return mesh;
  Mesh filled = SolidMesh(whole);
  if (!CheckShells(filled.points, filled.triangles).Printable()) return mesh;
  starGaps = open;
  return filled;
}

Mesh ViewedSolidMesh(const SolutionSnapshot& s) {
  std::vector<bool> reversed;
  Mesh filled = Filled(s, reversed);
  Mesh mesh;
  mesh.points = filled.points;
  mesh.materials = filled.materials;
  mesh.doubleSided = std::any_of(s.faces.begin(), s.faces.end(), [](const SnapshotFace& f) { return !f.inner.empty(); });
  std::map<int, int> translucentOf;  // material to its translucent twin
  int parts = static_cast<int>(s.faces.size());
  for (size_t t = 0; t < filled.triangles.size(); ++t) {
    const auto& tri = filled.triangles[t];
    int material = filled.triangleMaterial[t], part = filled.trianglePart[t];
    const SnapshotFace& f = s.faces[static_cast<size_t>(part)];
    if (f.inner.empty()) {
      mesh.AddTriangle(tri[0], tri[1], tri[2], material, part);
      continue;
    }
    if (!f.translucent) continue;
    auto [it, added] = translucentOf.try_emplace(material, static_cast<int>(mesh.materials.size()));
    if (added) {
      MeshMaterial twin = filled.materials[static_cast<size_t>(material)];
      twin.name += "_translucent";
      twin.opacity = 1 - s.transparency;
      mesh.materials.push_back(twin);
    }
    mesh.AddTriangle(tri[0], tri[1], tri[2], it->second, parts + part);
  }
  for (size_t fi = 0; fi < s.faces.size(); ++fi) {
    const SnapshotFace& f = s.faces[fi];
    if (!f.inner.empty() && f.inner.size() == f.corners.size())
      AddRing(mesh, f, reversed[fi], MaterialOf(filled, f), static_cast<int>(fi));
  }
  return mesh;
}

}  // namespace kelmor
