#include "render/gl_painter.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

namespace kelmor::render {

namespace {

void Arrays(const std::vector<DrawVertex>& vertices, GLenum mode) {
  if (vertices.empty()) return;
  glVertexPointer(3, GL_FLOAT, sizeof(DrawVertex), &vertices[0].x);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(DrawVertex), &vertices[0].r);
  glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

}  // namespace

void PaintDrawList(const DrawList& list, int width, int height) {
  glViewport(0, 0, width, height);
  const Rgba bg = list.background;
  glClearColor(bg.r / 255.0f, bg.g / 255.0f, bg.b / 255.0f, bg.a / 255.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-list.halfWidth, list.halfWidth, -list.halfHeight, list.halfHeight, -list.depth, list.depth);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_2D);
  glShadeModel(GL_FLAT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);

  // Faces sit a little behind their edges so that the edges stay whole.
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.0f, 1.0f);
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  Arrays(list.opaque, GL_TRIANGLES);
  if (!list.seeThrough.empty()) {
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    Arrays(list.seeThrough, GL_TRIANGLES);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
  }
  glDisable(GL_POLYGON_OFFSET_FILL);
  if (!list.lines.empty()) {
    glLineWidth(list.lineWidth);
    Arrays(list.lines, GL_LINES);
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  // Whatever paints next (a window's labels) starts from the usual state.
  glDisable(GL_DEPTH_TEST);
}

}  // namespace kelmor::render
