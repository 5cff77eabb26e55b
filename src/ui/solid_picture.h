#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace kelmor {

struct SolidScene;

// The result window's picture as an image of the given size in pixels: the solid drawn in
// full (smoothed) as the window shows it, with its labels. Where no headless OpenGL can
// be had, the canvas as shown, scaled.
QImage SolidPictureImage(const SolidScene& scene, int width, int height, QWidget* canvas);

// Writes an image as a PNG file, whole or not at all; the reason when it cannot.
std::optional<std::string> SavePng(const QImage& image, const QString& path);

}  // namespace kelmor
