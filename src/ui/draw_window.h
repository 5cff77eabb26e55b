#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <vector>
#include <span>
#include <string>

#include "run/host.h"

class QLabel;
class QPushButton;

namespace kelmor {

// The live drawing: the latest frame of the attempt, every edge at its place, fitted to
// the area (the model fills most of it whatever its size, with some slack so that it does
// not rescale on every frame). A frame replaces the one before whole, so the area never
// shows lines of two frames, nor goes blank between attempts: the last frame stays until
// the next attempt's first one.
class DrawArea : public QWidget {
  Q_OBJECT
 public:
  explicit DrawArea(QWidget* parent = nullptr);

  // 2S: the square's side in model units before the first frame (the Screen preference
  // doubled); the run draws model point 0 at S.
  void setScale(double span);
  // The side of the square shown, in model units.
  double scale() const { return span_; }
  // The next frame is fitted afresh (an attempt starts).
  void resetScale() { refit_ = true; }
  // Shows this frame (its new positions), fitted.
  void showFrame(std::span<const DrawLine> lines, const std::array<QColor, 16>& palette);
  // Nothing drawn (before a run).
  void clear();
  bool empty() const { return segments_.empty(); }
  // The picture as shown, on a square of the given side, for tests and screenshots.
  QPixmap pixmap(int side = 600) const;

  QSize sizeHint() const override { return {480, 480}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  struct Segment {
    QPointF a, b;
    QColor colour;
  };
  void fit(double left, double top, double right, double bottom);
  void paint(QPainter& painter, const QRectF& square) const;

  std::vector<Segment> segments_;
  QPointF centre_;
  double span_ = 6;
  bool refit_ = true;
};

// "Kelmor Viewer": the model during relaxation, its figures and the seven buttons that
// steer the run. A button only marks itself "Pressed"; the run acts on it at its next
// poll.
class DrawWindow : public QWidget {
  Q_OBJECT
 public:
  DrawWindow();

  void setScale(double span);
  // Before a run: a cleared square, the window's own caption, no figures, so that a run
  // that fails before its first attempt shows nothing of the run before it.
  void reset();
  void showAttempt(const std::string& caption, bool clear,
                   std::span<const DepthColour, 16> palette);
  void drawLines(std::span<const DrawLine> lines);
  void showFigures(const DrawFigures& figures);
  void setStatus(const std::string& text);
  // The buttons captioned "Pressed" since the last call, their captions restored.
  ButtonSet takePressed();

  QColor background() const;
  DrawArea* area() const { return area_; }

  // What the run has shown, for tests.
  int attemptsShown() const { return attempts_; }
  long framesDrawn() const { return frames_; }
  size_t lastFrameLines() const { return lastFrameLines_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct PollButton {
    QPushButton* button;
    QString design;
    Button bit;
  };

  DrawArea* area_;
  std::array<PollButton, 7> buttons_{};
  std::array<QColor, 16> palette_{};
  QLabel* edgeDef_;
  QLabel* polyDef_;
  QLabel* isomNo_;
  QLabel* expandOpt_;
  QLabel* duplicate_;
  int attempts_ = 0;
  long frames_ = 0;
  size_t lastFrameLines_ = 0;
};

}  // namespace kelmor
