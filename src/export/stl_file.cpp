// Binary STL, written directly: every facet carries its own normal (the normal of its
// plane, from the corners as stored), which is what slicers and mesh checkers hold a
// facet's normal to be; smoothed normals make them "fix" every facet.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
#include <stdexcept>

#include "export/format_writers.h"

namespace kelmor {

namespace {

using Float3 = std::array<float, 3>;

Float3 Stored(Vec3 p) {
  return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

Float3 FacetNormal(const Float3& a, const Float3& b, const Float3& c) {
  Vec3 u{double{b[0]} - a[0], double{b[1]} - a[1], double{b[2]} - a[2]};
  Vec3 v{double{c[0]} - a[0], double{c[1]} - a[1], double{c[2]} - a[2]};
  return Stored(Unit(Cross(u, v)));
}

// STL is little-endian; so is every machine Kelmor is built for, which this checks.
static_assert(std::endian::native == std::endian::little);

void Put(std::string& out, const void* data, size_t size) { out.append(static_cast<const char*>(data), size); }

// The 80-byte header names the model. A header that begins with "solid" makes some
// readers take the file for text STL, so such a name is written after "model ".
std::array<char, 80> Header(const std::string& name) {
  std::string text = name.rfind("solid", 0) == 0 ? "model " + name : name;
  std::array<char, 80> header;
  header.fill(' ');
  std::memcpy(header.data(), text.data(), std::min(text.size(), header.size()));
  return header;
}

}  // namespace

std::vector<FurtherFile> WriteStl(const Mesh& mesh, const std::string& name, const std::string& path) {
  if (mesh.triangles.empty()) throw std::runtime_error("the model has no faces to write");
  if (mesh.triangles.size() > UINT32_MAX)
    throw std::runtime_error("the model has too many triangles for STL");
  std::string out;
  out.reserve(84 + 50 * mesh.triangles.size());
  Put(out, Header(name).data(), 80);
  auto count = static_cast<uint32_t>(mesh.triangles.size());
  Put(out, &count, sizeof count);
  for (const auto& t : mesh.triangles) {
    Float3 a = Stored(mesh.points[static_cast<size_t>(t[0])]),
           b = Stored(mesh.points[static_cast<size_t>(t[1])]),
           c = Stored(mesh.points[static_cast<size_t>(t[2])]);
    Float3 n = FacetNormal(a, b, c);
    for (const Float3* v : {&n, &a, &b, &c}) Put(out, v->data(), sizeof(Float3));
    const uint16_t attributes = 0;
    Put(out, &attributes, sizeof attributes);
  }
  return {{path, std::move(out)}};
}

}  // namespace kelmor
