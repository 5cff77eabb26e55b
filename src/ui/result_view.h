#pragma once

#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "ui/solid_scene.h"

class QLabel;
class QMenu;
class QCheckBox;
class QPushButton;

namespace kelmor {

// "Kelmor Solid": a written solution (or any OFF file) as a solid to turn in the hand.
// Drag turns it (trackball), the wheel zooms, a right or shift drag moves it; X, Y, Z
// and I give the axis views and the iso view (shift: from the other side), R or Home
// resets, E frames the edges, V and F label vertices and faces, Page Up and Page Down
// step through the solutions of a repeat run; Ctrl+S saves the picture as a PNG file and
// Ctrl+C copies it (both also on the canvas's context menu); Escape, Ctrl+W and Q close
// the window, F1 opens the help. Drawn with OpenGL in a QOpenGLWidget on a
// graphics card; where the windows have no OpenGL (the offscreen platform) or only a
// software rasteriser (Xvfb, a machine without a card) the same picture is drawn headless
// and shown as an image. While the solid turns or zooms its frames are drafts without
// smoothing; when the drag ends (or the wheel rests for a moment) it is drawn in full.
class ResultView : public QWidget {
  Q_OBJECT
 public:
  // The drawing surface: chosen from the windows' OpenGL, or one of the two by request.
  enum class Canvas { Automatic, OpenGLWidget, Image };
  // How long the wheel rests before the full frame.
  static constexpr int kSettleMs = 150;

  explicit ResultView(Canvas canvas = Canvas::Automatic);
  ~ResultView() override;

  // Shows an OFF file with its summary line (empty: the "Deformation Summary" of the
  // VRML files written with it, else the file's counts), and with the look of the solid
  // VRML file written with it when one is named (frame faces open, translucent faces
  // see-through). False, with the reason shown in the summary line, when it cannot be read.
  bool showFile(const QString& offPath, const QString& summary = {}, const QString& solidFile = {});
  // Repeat mode: each written solution joins the list and is shown.
  void addSolution(const QString& offPath, const QString& summary, const QString& solidFile = {});
  void clearSolutions();
  void showSolution(int index);
  void next();
  void previous();

  SolidScene& scene() { return scene_; }
  QWidget* canvas() const { return canvas_; }
  bool usesOpenGLWidget() const { return openGL_; }
  QString summaryText() const;
  int solutionIndex() const { return current_; }

  // The picture as saved and copied: the window's size (in pixels of its screen), at
  // least 800 pixels a side.
  QImage picture() const;
  // Ctrl+S: asks for a PNG file (in the folder of the shown solid, named after it) and
  // writes the picture there; the file's name or the reason it failed goes on the
  // summary line. False when nothing was written.
  bool savePicture();
  void copyPicture();
  // F1; and the file a picture is saved to (a file dialog; tests answer it themselves).
  std::function<void()> help;
  std::function<QString(const QString& suggested)> choosePicturePath;
  int solutionCount() const { return static_cast<int>(solutions_.size()); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Solution {
    QString path, summary, solidFile;
  };
  void redraw();
  // A turn, move or zoom: a draft frame now, the full one once the hand rests.
  void moved();
  void settle();
  void updateButtons();
  void wireKeys();

  SolidScene scene_;
  QWidget* canvas_ = nullptr;
  QWidget* labels_ = nullptr;
  bool openGL_ = false;
  QLabel* summary_;
  QLabel* facts_;  // what kind of solid it is: convexity, crossings, symmetry, flatness
  QLabel* position_;
  QCheckBox* edges_;
  QCheckBox* vertexLabels_;
  QCheckBox* faceLabels_;
  QPushButton* previous_;
  QPushButton* next_;
  QString shownPath_;
  std::vector<Solution> solutions_;
  int current_ = -1;
  QPoint lastMouse_;
  bool dragged_ = false;  // the mouse moved the solid since its button went down
  QMenu* menu_ = nullptr;
  QTimer settle_;
};

}  // namespace kelmor
