#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/solid_mesh.h"
#include "render/triangulate.h"
#include "render/view.h"

namespace kelmor::render {

// How a picture looks besides the camera.
struct PictureStyle {
  Rgba background{255, 255, 255, 255};
  bool edges = false;
  Rgba edgeColour{25, 25, 25, 255};
  double edgeWidth = 2.0;  // pixels at 800 pixels along the smaller side
};

// "#rrggbb", "#rrggbbaa", "rrggbb", "white", "black", "grey"/"gray" or "transparent".
std::optional<Rgba> ParseColour(const std::string& text);
// "W" (square) or "WxH", each 16..8192.
std::optional<std::array<int, 2>> ParsePictureSize(const std::string& text);

// A vertex ready for drawing: eye coordinates and its lit colour.
struct DrawVertex {
  float x, y, z;
  uint8_t r, g, b, a;
};

// Everything a drawing surface needs, in eye space: opaque triangles, the see-through
// ones sorted from the back forwards, and the edge lines. The orthographic box spans
// ±halfWidth, ±halfHeight and ±depth.
struct DrawList {
  std::vector<DrawVertex> opaque;
  std::vector<DrawVertex> seeThrough;
  std::vector<DrawVertex> lines;
  double halfWidth = 1, halfHeight = 1, depth = 1;
  Rgba background;
  float lineWidth = 1;
};

// The solid's faces cut into triangles once, with their face normals; a camera turn
// then only relights and moves them.
class SolidPicture {
 public:
  explicit SolidPicture(const SolidMesh& mesh);

  const SolidMesh& mesh() const { return mesh_; }
  DrawList Draw(const Camera& camera, const PictureStyle& style, int width, int height) const;

 private:
  struct Piece {
    Triangle corners;
    Vec3 normal;  // unit, model space
    Rgba colour;
  };
  SolidMesh mesh_;
  std::vector<Piece> pieces_;
  std::vector<std::array<int, 2>> edges_;
};

}  // namespace kelmor::render
