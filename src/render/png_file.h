#pragma once

#include <optional>
#include <string>

#include "render/headless_context.h"

namespace kelmor::render {

// Writes the image as a PNG file (RGB when every pixel is opaque, else RGBA), encoded in
// memory and committed all-or-nothing (files/private_file.h): a failed write leaves the
// old file alone. Returns the file and the reason on failure. The same image always gives the same bytes.
std::optional<std::string> WritePng(const Image& image, const std::string& path);

}  // namespace kelmor::render
