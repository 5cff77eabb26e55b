#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/picture.h"

namespace kelmor::render {

// An image in memory: rows from the top, four bytes a pixel (red, green, blue, alpha).
struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

// An OpenGL context with no window and no display: Mesa's surfaceless EGL platform, drawing
// into a framebuffer object (multisampled or not) and reading the picture back. One per thread.
class HeadlessContext {
 public:
  // Empty (and the reason in `error`) when no context can be had.
  static std::unique_ptr<HeadlessContext> Create(std::string& error);
  ~HeadlessContext();
  HeadlessContext(const HeadlessContext&) = delete;
  HeadlessContext& operator=(const HeadlessContext&) = delete;

  // How finely edges are smoothed: `Full` takes four samples a pixel (pictures, and the
  // window at rest); `Draft` one (the window while the solid turns: a quarter of the work).
  enum class Smoothing { Full, Draft };

  Image Render(const DrawList& list, int width, int height);
  // The same into an image whose memory is kept from frame to frame.
  void RenderInto(Image& image, const DrawList& list, int width, int height, Smoothing smoothing);
  std::string RendererName() const;

 private:
  HeadlessContext() = default;
  void Resize(int width, int height);
  void Release();

  void* display_ = nullptr;
  void* context_ = nullptr;
  unsigned multiFbo_ = 0, multiColour_ = 0, multiDepth_ = 0;
  unsigned plainFbo_ = 0, plainColour_ = 0, plainDepth_ = 0;
  int width_ = 0, height_ = 0;
};

}  // namespace kelmor::render
