#pragma once

#include <QString>
#include <optional>
#include <string>

#include "render/picture.h"

class QPainter;

namespace kelmor {

// What the result window shows of a solid: the picture, the camera turned by the user,
// the look and the labels. Both drawing surfaces draw from it.
struct SolidScene {
  std::optional<render::SolidPicture> picture;
  render::Camera camera;
  render::ViewAngles home = *render::ParseView("iso");
  // The solid's largest face turned up (UprightTurn) before the home view: whatever way
  // the relaxation left the solid, it opens looking down a symmetry axis at an angle.
  render::Matrix3 upright = render::AxisRotation({0, 1, 0}, 0);
  render::PictureStyle style;
  bool vertexLabels = false;
  bool faceLabels = false;
  // A frame drawn while the solid turns: no smoothing of its edges (a quarter of the work
  // for a software rasteriser).
  bool draft = false;

  // Loads an OFF file and frames it from the home view; the reason on failure (the old
  // solid then stays). With the solid VRML file written with it, frame and translucent
  // faces look as that file draws them; `lookProblem` says why they could not.
  std::optional<std::string> load(const std::string& offPath, const std::string& solidFile = {});
  std::string lookProblem;
  void reset();
  // Turns as a trackball: a drag of (dx, dy) pixels over a surface of the given side.
  void turn(double dx, double dy, double side);
  // Moves by (dx, dy) pixels of a surface of the given size.
  void pan(double dx, double dy, int width, int height);
  void zoomBy(double factor);
  void view(render::ViewAngles angles);

  render::DrawList drawList(int width, int height) const;
  // Vertex numbers and face numbers (from 0, as in the OFF file) at their projected places;
  // those of faces turned away from the eye (and of vertices on no face towards it) faint,
  // so that the labels read as the side in view.
  void paintLabels(QPainter& painter, int width, int height) const;
};

// The deformation summary of the solution an OFF file belongs to: the "Deformation
// Summary" line of a VRML file written with it (same name, any kind), without its
// comment mark; empty when there is none.
QString DeformationSummary(const QString& offPath);

}  // namespace kelmor
