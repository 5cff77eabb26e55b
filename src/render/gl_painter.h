#pragma once

#include "render/picture.h"

namespace kelmor::render {

// Draws a draw list into the current OpenGL context's bound framebuffer, filling the
// given viewport (legacy OpenGL 1.1 calls, so any context Mesa or a driver gives serves).
void PaintDrawList(const DrawList& list, int width, int height);

}  // namespace kelmor::render
