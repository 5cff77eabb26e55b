#pragma once

#include <array>
#include <optional>
#include <string>

#include "render/solid_mesh.h"

namespace kelmor::render {

// Where the eye sits, seen from the solid's centre: azimuth turns about the y axis from
// the +z axis towards +x, elevation lifts towards +y (degrees). The eye always looks at
// the centre with y upwards on screen, except straight above or below, where -z or +z
// is up.
struct ViewAngles {
  double azimuth = 0;
  double elevation = 0;
  friend bool operator==(const ViewAngles&, const ViewAngles&) = default;
};

// "iso" (from +x +y +z), "x", "y", "z" (looking down that axis from its positive side),
// "-x", "-y", "-z", or "AZ/EL" / "AZ,EL" in degrees. Empty when the text is none of these.
std::optional<ViewAngles> ParseView(const std::string& text);

using Matrix3 = std::array<std::array<double, 3>, 3>;

Matrix3 ViewRotation(ViewAngles view);
Matrix3 Multiply(const Matrix3& a, const Matrix3& b);
Vec3 Apply(const Matrix3& m, Vec3 v);
// A turn by angle radians about a unit axis.
Matrix3 AxisRotation(Vec3 axis, double angle);

// The sphere that holds the solid: the centre of its bounding box and the largest
// distance of a vertex from it (1 for a solid with no extent).
struct Bounds {
  Vec3 centre;
  double radius = 1;
};
Bounds SolidBounds(const SolidMesh& mesh);

// An orthographic camera framed on the solid: the whole bounding sphere fits the
// smaller side of the picture with a margin at zoom 1.
struct Camera {
  Matrix3 rotation = ViewRotation({});  // model to eye: x right, y up, z towards the eye
  Bounds bounds;
  double zoom = 1;
  double panX = 0, panY = 0;  // in model units, eye space

  // Model units per pixel at this zoom for a picture of the given size.
  double PixelsPerUnit(int width, int height) const;
  // Eye coordinates of a model point (centred, rotated, panned).
  Vec3 Eye(Vec3 p) const;
  // Pixel position (x right, y down) of a model point.
  std::array<double, 2> Pixel(Vec3 p, int width, int height) const;
  // Zoom and pan so that the solid as seen now fills the picture (a still picture need
  // not leave room for turning).
  void FitSeen(const SolidMesh& mesh, int width, int height);
};

inline constexpr double kFrameFill = 0.92;  // share of the smaller side the sphere spans

}  // namespace kelmor::render
