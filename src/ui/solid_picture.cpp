#include "ui/solid_picture.h"

#include <QBuffer>
#include <QPainter>
#include <QWidget>

#include "files/private_file.h"
#include "render/headless_context.h"
#include "model/error.h"
#include "ui/solid_scene.h"

namespace kelmor {

QImage SolidPictureImage(const SolidScene& scene, int width, int height, QWidget* canvas) {
  QImage image;
  std::string why;
  if (auto context = render::HeadlessContext::Create(why)) {
    render::Image drawn = context->Render(scene.drawList(width, height), width, height);
    image = QImage(drawn.pixels.data(), drawn.width, drawn.height, drawn.width * 4, QImage::Format_RGBA8888)
                .convertToFormat(QImage::Format_ARGB32);
  } else {
    image = canvas->grab().toImage().scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  QPainter painter(&image);
  scene.paintLabels(painter, width, height);
  return image;
}

std::optional<std::string> SavePng(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "PNG")) return "the picture could not be made";
  try {
    ReplaceFileWith(path.toStdString(), std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
  } catch (const FileWriteError& e) {
    return "cannot write " + e.path() + ": " + e.reason();
  }
  return std::nullopt;
}

}  // namespace kelmor
