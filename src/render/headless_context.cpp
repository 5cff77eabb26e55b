#include "render/headless_context.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>

#include "render/gl_painter.h"

namespace kelmor::render {

namespace {

constexpr int kSamples = 4;

std::string EglError(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " failed (EGL error " + code + ")";
}

}  // namespace

std::unique_ptr<HeadlessContext> HeadlessContext::Create(std::string& error) {
  auto platformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!platformDisplay) {
    error = "this EGL has no platform displays";
    return nullptr;
  }
  EGLDisplay display = platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
    error = EglError("opening Mesa's surfaceless EGL display");
    return nullptr;
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    error = EglError("choosing OpenGL");
    eglTerminate(display);
    return nullptr;
  }
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    error = EglError("creating an OpenGL context");
    eglTerminate(display);
    return nullptr;
  }
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    error = EglError("making the OpenGL context current");
    eglDestroyContext(display, context);
    eglTerminate(display);
    return nullptr;
  }
  // Current only while it draws (see RenderInto).
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  std::unique_ptr<HeadlessContext> made(new HeadlessContext);
  made->display_ = display;
  made->context_ = context;
  return made;
}

HeadlessContext::~HeadlessContext() {
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
  Release();
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(display_, context_);
  eglTerminate(display_);
}

void HeadlessContext::Release() {
  if (multiFbo_) glDeleteFramebuffers(1, &multiFbo_);
  if (plainFbo_) glDeleteFramebuffers(1, &plainFbo_);
  GLuint buffers[4] = {multiColour_, multiDepth_, plainColour_, plainDepth_};
  glDeleteRenderbuffers(4, buffers);
  multiFbo_ = plainFbo_ = multiColour_ = multiDepth_ = plainColour_ = plainDepth_ = 0;
  width_ = height_ = 0;
}

void HeadlessContext::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  Release();
  glGenRenderbuffers(1, &multiColour_);
  glBindRenderbuffer(GL_RENDERBUFFER, multiColour_);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, kSamples, GL_RGBA8, width, height);
  glGenRenderbuffers(1, &multiDepth_);
  glBindRenderbuffer(GL_RENDERBUFFER, multiDepth_);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, kSamples, GL_DEPTH_COMPONENT24, width, height);
  glGenFramebuffers(1, &multiFbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, multiFbo_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, multiColour_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, multiDepth_);

  glGenRenderbuffers(1, &plainColour_);
  glBindRenderbuffer(GL_RENDERBUFFER, plainColour_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenFramebuffers(1, &plainFbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, plainFbo_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, plainColour_);
  width_ = width;
  height_ = height;
}

Image HeadlessContext::Render(const DrawList& list, int width, int height) {
  Image image;
  RenderInto(image, list, width, height, Smoothing::Full);
  return image;
}

void HeadlessContext::RenderInto(Image& image, const DrawList& list, int width, int height, Smoothing smoothing) {
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
  Resize(width, height);
  if (smoothing == Smoothing::Full) {
    glBindFramebuffer(GL_FRAMEBUFFER, multiFbo_);
    PaintDrawList(list, width, height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, multiFbo_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, plainFbo_);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  } else {
    glBindFramebuffer(GL_FRAMEBUFFER, plainFbo_);
    // Drafts only (a turning window): pictures never pay for this depth buffer.
    if (!plainDepth_) {
      glGenRenderbuffers(1, &plainDepth_);
      glBindRenderbuffer(GL_RENDERBUFFER, plainDepth_);
      glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, plainDepth_);
    }
    PaintDrawList(list, width, height);
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, plainFbo_);
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
  // OpenGL reads from the bottom row up; the image runs from the top.
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height / 2; ++y) {
    uint8_t* top = &image.pixels[static_cast<size_t>(y) * row];
    std::swap_ranges(top, top + row, &image.pixels[static_cast<size_t>(height - 1 - y) * row]);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  // Left current, an EGL context keeps the windows' own OpenGL (GLX through the same
  // dispatch library) from being made current on this thread.
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

std::string HeadlessContext::RendererName() const {
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
  const GLubyte* name = glGetString(GL_RENDERER);
  std::string text = name ? reinterpret_cast<const char*>(name) : "";
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  return text;
}

}  // namespace kelmor::render
