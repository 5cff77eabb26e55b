#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <span>
#include <string>

#include "run/host.h"

class QLabel;
class QPushButton;

namespace kelmor {

// The drawing square 0..2S of the draw window, held in a pixmap so that every line can
// be erased exactly where it was drawn, shown scaled to the widget.
class DrawArea : public QWidget {
  Q_OBJECT
 public:
  explicit DrawArea(QWidget* parent = nullptr);

  // 2S: the square's smallest side in model units (the Screen preference doubled); the
  // run draws model point 0 at S.
  void setScale(double span);
  double scale() const { return span_; }
  // Back to the smallest square (an attempt starts afresh).
  void resetScale() { span_ = smallest_; }
  // Widens the square when a point lies outside it, so that no model is clipped; true
  // when it did (the picture must then be drawn afresh).
  bool growToFit(double x, double y);
  void clear(const QColor& background);
  void drawLine(double x1, double y1, double x2, double y2, const QColor& colour);
  const QPixmap& pixmap() const { return pixmap_; }

  QSize sizeHint() const override { return {480, 480}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QPixmap pixmap_;
  double span_ = 6;
  double smallest_ = 6;
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
  // The Graphics button: drawing switched on or off starts again from a cleared square.
  void clearDrawing() { area_->clear(background()); }
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
