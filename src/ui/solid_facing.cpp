#include "ui/solid_facing.h"

#include <cmath>
#include <numbers>

#include "model/polygon_fill.h"

namespace kelmor {

namespace {

Vec3 Middle(const render::SolidMesh& mesh, const render::MeshFace& face) {
  Vec3 sum;
  for (int c : face.corners) sum = sum + mesh.points[static_cast<size_t>(c)];
  return sum * (1.0 / static_cast<double>(face.corners.size()));
}

Vec3 Normal(const render::SolidMesh& mesh, const render::MeshFace& face) {
  std::vector<Vec3> outline;
  for (int c : face.corners) outline.push_back(mesh.points[static_cast<size_t>(c)]);
  return NewellNormal(outline);
}

}  // namespace

render::Matrix3 UprightTurn(const render::SolidMesh& mesh) {
  const render::Matrix3 identity = render::AxisRotation({0, 1, 0}, 0);
  const render::MeshFace* largest = nullptr;
  for (const render::MeshFace& f : mesh.faces)
    if (f.corners.size() >= 3 && (!largest || f.corners.size() > largest->corners.size())) largest = &f;
  if (!largest) return identity;
  Vec3 up = Middle(mesh, *largest) - render::SolidBounds(mesh).centre;
  const double length = std::sqrt(Dot(up, up));
  if (!(length > 1e-12)) return identity;
  up = up * (1 / length);
  // The turn about up x Y by the angle between them takes up to Y.
  const Vec3 axis = Cross(up, {0, 1, 0});
  const double sine = std::sqrt(Dot(axis, axis)), cosine = up.y;
  if (sine < 1e-12) return cosine > 0 ? identity : render::AxisRotation({1, 0, 0}, std::numbers::pi);
  return render::AxisRotation(axis * (1 / sine), std::atan2(sine, cosine));
}

Facing FacingTheEye(const render::SolidMesh& mesh, const render::Matrix3& rotation, Vec3 centre) {
  Facing facing;
  facing.faces.assign(mesh.faces.size(), false);
  facing.vertices.assign(mesh.points.size(), false);
  for (size_t i = 0; i < mesh.faces.size(); ++i) {
    const render::MeshFace& f = mesh.faces[i];
    if (f.corners.size() < 3) continue;
    Vec3 n = Normal(mesh, f);
    if (Dot(n, Middle(mesh, f) - centre) < 0) n = n * -1;
    if (render::Apply(rotation, n).z <= 0) continue;
    facing.faces[i] = true;
    for (int c : f.corners) facing.vertices[static_cast<size_t>(c)] = true;
  }
  return facing;
}

}  // namespace kelmor
