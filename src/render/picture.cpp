#include "render/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/triangulate.h"

namespace kelmor::render {

namespace {

// A light over the viewer's left shoulder and some light from everywhere; both sides of
// a face are lit alike, as a face may be seen from either side.
constexpr Vec3 kLight{-0.35, 0.45, 0.82};
constexpr double kAmbient = 0.38;

uint8_t Lit(uint8_t channel, double shade) {
  return static_cast<uint8_t>(std::lround(std::clamp(channel * shade, 0.0, 255.0)));
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<Rgba> ParseColour(const std::string& text) {
  if (text == "white") return Rgba{255, 255, 255, 255};
  if (text == "black") return Rgba{0, 0, 0, 255};
  if (text == "grey" || text == "gray") return Rgba{128, 128, 128, 255};
  if (text == "transparent") return Rgba{255, 255, 255, 0};
  std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (hex.size() != 6 && hex.size() != 8) return std::nullopt;
  uint8_t c[4] = {0, 0, 0, 255};
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = Hex(hex[i]), lo = Hex(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    c[i / 2] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return Rgba{c[0], c[1], c[2], c[3]};
}

std::optional<std::array<int, 2>> ParsePictureSize(const std::string& text) {
  auto number = [](const std::string& t, int& v) {
    if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos) return false;
    v = std::atoi(t.c_str());
    return v >= 16 && v <= 8192;
  };
  std::array<int, 2> size{};
  size_t x = text.find('x');
  if (x == std::string::npos) {
    if (!number(text, size[0])) return std::nullopt;
    size[1] = size[0];
    return size;
  }
  if (!number(text.substr(0, x), size[0]) || !number(text.substr(x + 1), size[1])) return std::nullopt;
  return size;
}

SolidPicture::SolidPicture(const SolidMesh& mesh) : mesh_(mesh), edges_(OutlineEdges(mesh)) {
  std::vector<Vec3> outline;
  auto add = [&](const std::vector<Vec3>& polygon, Vec3 n, Rgba colour) {
    for (const Triangle& t : FaceTriangles(polygon)) {
      Vec3 own = n;
      if (Dot(own, own) < 1e-30) own = Cross(t[1] - t[0], t[2] - t[0]);
      const double length = std::sqrt(Dot(own, own));
      pieces_.push_back({t, length > 0 ? own * (1.0 / length) : Vec3{0, 0, 1}, colour});
    }
  };
  for (const MeshFace& face : mesh_.faces) {
    outline.clear();
    for (int c : face.corners) outline.push_back(mesh_.points[static_cast<size_t>(c)]);
    if (outline.size() < 3) continue;
    const Vec3 n = NewellNormal(outline);
    if (face.ring.empty()) add(outline, n, face.colour);
    for (const auto& quad : face.ring) add({quad.begin(), quad.end()}, n, face.colour);
    if (face.pane) add(outline, n, {face.colour.r, face.colour.g, face.colour.b, face.pane});
  }
}

DrawList SolidPicture::Draw(const Camera& camera, const PictureStyle& style, int width, int height) const {
  DrawList list;
  const double scale = camera.PixelsPerUnit(width, height);
  list.halfWidth = width / (2.0 * scale);
  list.halfHeight = height / (2.0 * scale);
  list.depth = camera.bounds.radius * 1.05;
  list.background = style.background;
  list.lineWidth = static_cast<float>(std::max(1.0, style.edgeWidth * std::min(width, height) / 800.0));
  const double lightLength = std::sqrt(Dot(kLight, kLight));

  struct Sorted {
    double depth;
    size_t index;
  };
  std::vector<Sorted> seeThrough;
  std::vector<DrawVertex> pending;
  for (const Piece& piece : pieces_) {
    const Vec3 n = Apply(camera.rotation, piece.normal);
    const double shade = kAmbient + (1 - kAmbient) * std::abs(Dot(n, kLight)) / lightLength;
    const Rgba c = piece.colour;
    std::vector<DrawVertex>& into = c.a == 255 ? list.opaque : pending;
    double depth = 0;
    for (const Vec3& corner : piece.corners) {
      const Vec3 e = camera.Eye(corner);
      depth += e.z;
      into.push_back({static_cast<float>(e.x), static_cast<float>(e.y), static_cast<float>(e.z),
                      Lit(c.r, shade), Lit(c.g, shade), Lit(c.b, shade), c.a});
    }
    if (c.a != 255) seeThrough.push_back({depth, seeThrough.size()});
  }
  std::stable_sort(seeThrough.begin(), seeThrough.end(),
                   [](const Sorted& a, const Sorted& b) { return a.depth < b.depth; });
  for (const Sorted& s : seeThrough)
    list.seeThrough.insert(list.seeThrough.end(), pending.begin() + static_cast<long>(3 * s.index),
                           pending.begin() + static_cast<long>(3 * s.index + 3));
  if (style.edges) {
    const Rgba c = style.edgeColour;
    for (const auto& [a, b] : edges_) {
      for (int v : {a, b}) {
        const Vec3 e = camera.Eye(mesh_.points[static_cast<size_t>(v)]);
        list.lines.push_back({static_cast<float>(e.x), static_cast<float>(e.y), static_cast<float>(e.z), c.r, c.g,
                              c.b, c.a});
      }
    }
  }
  return list;
}

}  // namespace kelmor::render
