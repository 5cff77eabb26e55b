#include <algorithm>
#include <cmath>
#include <map>

#include "export/mesh.h"

namespace kelmor {

double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

Vec3 Unit(Vec3 a) {
  double l = Length(a);
  return l > 0 ? a * (1.0 / l) : Vec3{};
}

int Mesh::PartCount() const {
  int parts = 0;
  for (int p : trianglePart) parts = std::max(parts, p + 1);
  return parts;
}

Mesh Mesh::Scaled(double factor) const {
  Mesh m = *this;
  for (Vec3& p : m.points) p = p * factor;
  return m;
}

std::vector<MeshPart> SplitParts(const Mesh& mesh) {
  std::vector<MeshPart> parts(static_cast<size_t>(mesh.PartCount()));
  std::vector<std::map<int, unsigned>> local(parts.size());
  for (size_t t = 0; t < mesh.triangles.size(); ++t) {
    auto pi = static_cast<size_t>(mesh.trianglePart[t]);
    MeshPart& part = parts[pi];
    part.material = mesh.triangleMaterial[t];
    const auto& tri = mesh.triangles[t];
    Vec3 a = mesh.points[static_cast<size_t>(tri[0])], b = mesh.points[static_cast<size_t>(tri[1])],
         c = mesh.points[static_cast<size_t>(tri[2])];
    Vec3 areaNormal = Cross(b - a, c - a);
    for (int p : tri) {
      auto [it, added] = local[pi].try_emplace(p, static_cast<unsigned>(part.positions.size()));
      if (added) {
        part.positions.push_back(mesh.points[static_cast<size_t>(p)]);
        part.normals.push_back({});
      }
      part.normals[it->second] = part.normals[it->second] + areaNormal;
      part.indices.push_back(it->second);
    }
  }
  for (MeshPart& part : parts)
    for (Vec3& n : part.normals) n = Length(n) > 0 ? Unit(n) : Vec3{0, 0, 1};
  std::erase_if(parts, [](const MeshPart& p) { return p.indices.empty(); });
  return parts;
}

}  // namespace kelmor
