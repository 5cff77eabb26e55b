#pragma once
// Reading the PNG pictures back for their checks (RGBA, rows from the top).

#include <png.h>

#include <string>

#include "render/headless_context.h"

namespace kelmor::testing {

inline bool ReadPng(const std::string& path, render::Image& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGBA;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.pixels.resize(PNG_IMAGE_SIZE(png));
  bool ok = png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr) != 0;
  png_image_free(&png);
  return ok;
}

}  // namespace kelmor::testing
