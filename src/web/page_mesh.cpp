#include "web/page_mesh.h"

#include "export/mesh.h"

namespace kelmor {

namespace {

void Push(std::vector<float>& to, double a, double b, double c) {
  to.push_back(static_cast<float>(a));
  to.push_back(static_cast<float>(b));
  to.push_back(static_cast<float>(c));
}

void AddOutline(PageMesh& out, const SolutionSnapshot& s, const SnapshotFace& f) {
  const size_t n = f.corners.size();
  const size_t step = f.step > 0 ? static_cast<size_t>(f.step) : 1;
  for (size_t p = 0; p < n; ++p) {
    const SnapshotPoint& a = s.points.at(static_cast<size_t>(f.corners[p]));
    const SnapshotPoint& b = s.points.at(static_cast<size_t>(f.corners[(p + step) % n]));
    Push(out.outlines, a.x, a.y, a.z);
    Push(out.outlines, b.x, b.y, b.z);
  }
}

}  // namespace

PageMesh PageMeshOf(const SolutionSnapshot& s) {
  PageMesh out;
  const Mesh mesh = SolidMesh(s);
  out.positions.reserve(mesh.triangles.size() * 9);
  out.colours.reserve(mesh.triangles.size() * 9);
  for (size_t t = 0; t < mesh.triangles.size(); ++t) {
    const SnapshotColour& c = mesh.materials.at(static_cast<size_t>(mesh.triangleMaterial[t])).colour;
    for (int corner : mesh.triangles[t]) {
      const Vec3& p = mesh.points[static_cast<size_t>(corner)];
      Push(out.positions, p.x, p.y, p.z);
      Push(out.colours, c.r, c.g, c.b);
    }
    out.triangleFace.push_back(mesh.trianglePart[t]);
  }
  for (const SnapshotFace& f : s.faces) AddOutline(out, s, f);
  out.faces = static_cast<int>(s.faces.size());
  return out;
}

}  // namespace kelmor
