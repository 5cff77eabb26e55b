#include "render/png_file.h"

#include <png.h>

#include <string>

#include "files/private_file.h"
#include "model/error.h"

namespace kelmor::render {

namespace {

bool AllOpaque(const Image& image) {
  for (size_t i = 3; i < image.pixels.size(); i += 4)
    if (image.pixels[i] != 255) return false;
  return true;
}

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}
void FlushNothing(png_structp) {}

// libpng reports errors by longjmp; this keeps it inside one plain function.
bool Encode(std::string& bytes, const Image& image, bool alpha) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  const int channels = alpha ? 4 : 3;
  std::vector<png_byte> row(static_cast<size_t>(image.width) * static_cast<size_t>(channels));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &bytes, AppendBytes, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Pictures of flat faces: long runs of one colour that the quickest deflate level packs
  // well without row filters (measured at 800x800: 30 instead of 22 KB, 20 ms less CPU).
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* source = &image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) * 4];
    for (int x = 0; x < image.width; ++x)
      for (int c = 0; c < channels; ++c)
        row[static_cast<size_t>(x * channels + c)] = source[x * 4 + c];
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::optional<std::string> WritePng(const Image& image, const std::string& path) {
  std::string bytes;
  if (!Encode(bytes, image, !AllOpaque(image))) return "cannot write '" + path + "': the picture cannot be encoded";
  try {
    ReplaceFileWith(path, bytes);
  } catch (const FileWriteError& e) {
    return "cannot write '" + e.path() + "': " + e.reason();
  }
  return std::nullopt;
}

}  // namespace kelmor::render
