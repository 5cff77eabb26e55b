#include "ui/solid_scene.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/solid_look.h"
#include "ui/solid_facing.h"

namespace kelmor {

std::optional<std::string> SolidScene::load(const std::string& offPath, const std::string& solidFile) {
  render::SolidMesh mesh;
  if (auto e = render::ReadOffFile(offPath, mesh)) return e;
  lookProblem.clear();
  if (!solidFile.empty())
    if (auto e = render::ReadSolidLookFile(solidFile, mesh)) lookProblem = *e;
  picture.emplace(mesh);
  camera.bounds = render::SolidBounds(mesh);
  upright = UprightTurn(mesh);
  reset();
  return std::nullopt;
}

void SolidScene::reset() {
  camera.rotation = render::Multiply(render::ViewRotation(home), upright);
  camera.zoom = 1;
  camera.panX = camera.panY = 0;
}

void SolidScene::turn(double dx, double dy, double side) {
  const double length = std::hypot(dx, dy);
  if (length == 0 || side <= 0) return;
  // Dragging across the whole surface turns the solid half a turn.
  const double angle = std::numbers::pi * length / side;
  const render::Vec3 axis{dy / length, dx / length, 0};
  camera.rotation = render::Multiply(render::AxisRotation(axis, angle), camera.rotation);
}

void SolidScene::pan(double dx, double dy, int width, int height) {
  const double scale = camera.PixelsPerUnit(width, height);
  camera.panX += dx / scale;
  camera.panY -= dy / scale;
}

void SolidScene::zoomBy(double factor) { camera.zoom = std::clamp(camera.zoom * factor, 0.05, 50.0); }

void SolidScene::view(render::ViewAngles angles) {
  camera.rotation = render::ViewRotation(angles);
  camera.panX = camera.panY = 0;
}

render::DrawList SolidScene::drawList(int width, int height) const {
  if (!picture) {
    render::DrawList empty;
    empty.background = style.background;
    return empty;
  }
  return picture->Draw(camera, style, width, height);
}

void SolidScene::paintLabels(QPainter& painter, int width, int height) const {
  if (!picture || (!vertexLabels && !faceLabels)) return;
  const render::SolidMesh& mesh = picture->mesh();
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const Facing facing = FacingTheEye(mesh, camera.rotation, camera.bounds.centre);
  auto label = [&](render::Vec3 at, const QString& text, QColor colour, bool inView) {
    auto p = camera.Pixel(at, width, height);
    QRectF box(p[0] - 30, p[1] - 10, 60, 20);
    if (!inView) colour.setAlpha(50);
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, text);
  };
  if (vertexLabels)
    for (size_t v = 0; v < mesh.points.size(); ++v)
      label(mesh.points[v], QString::number(v), QColor(20, 20, 120), facing.vertices[v]);
  if (faceLabels) {
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
      render::Vec3 centre;
      for (int c : mesh.faces[f].corners) centre = centre + mesh.points[static_cast<size_t>(c)];
      if (mesh.faces[f].corners.empty()) continue;
      label(centre * (1.0 / static_cast<double>(mesh.faces[f].corners.size())), "f" + QString::number(f),
            QColor(120, 20, 20), facing.faces[f]);
    }
  }
}

QString DeformationSummary(const QString& offPath) {
  const QFileInfo off(offPath);
  const QDir folder = off.absoluteDir();
  for (const QString& name : folder.entryList({off.completeBaseName() + "*.wrl"}, QDir::Files, QDir::Name)) {
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    while (!file.atEnd()) {
      const QString line = QString::fromUtf8(file.readLine()).trimmed();
      if (line.startsWith("# Deformation Summary")) return line.mid(2).simplified();
    }
  }
  return {};
}

}  // namespace kelmor
