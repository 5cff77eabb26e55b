#include "ui/draw_window.h"

#include <QCloseEvent>
#include <algorithm>
#include <cmath>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/bind.h"
#include "ui/keys.h"

namespace kelmor {

namespace {

constexpr int PixmapSide = 600;

}  // namespace

DrawArea::DrawArea(QWidget* parent) : QWidget(parent), pixmap_(PixmapSide, PixmapSide) {
  setObjectName("DrawArea");
  setMinimumSize(240, 240);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  pixmap_.fill(palette().color(QPalette::Button));
}

void DrawArea::setScale(double span) {
  // A screen size of 0 or less would divide by zero; the default square is used instead.
  span_ = smallest_ = span > 0 ? span : 6;
}

bool DrawArea::growToFit(double x, double y) {
  const double centre = smallest_ / 2;
  const double reach = std::max(std::abs(x - centre), std::abs(y - centre));
  if (!(reach > 0.48 * span_) || !std::isfinite(reach)) return false;
  span_ = 2.4 * reach;  // a fifth to spare, so that a growing model does not rescale every frame
  return true;
}

void DrawArea::clear(const QColor& background) {
  pixmap_.fill(background);
  update();
}

void DrawArea::drawLine(double x1, double y1, double x2, double y2, const QColor& colour) {
  const double k = PixmapSide / span_;
  const double shift = span_ / 2 - smallest_ / 2;  // model point 0 at the middle
  x1 += shift, y1 += shift, x2 += shift, y2 += shift;
  QPainter p(&pixmap_);
  // No antialiasing: a line drawn again in the background colour leaves nothing behind.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(colour, 2));
  p.drawLine(QPointF(x1 * k, y1 * k), QPointF(x2 * k, y2 * k));
}

void DrawArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  int side = std::min(width(), height());
  QRect target((width() - side) / 2, (height() - side) / 2, side, side);
  p.fillRect(rect(), palette().color(QPalette::Window));
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p.drawPixmap(target, pixmap_);
}

DrawWindow::DrawWindow() {
  setObjectName("DrawWindow");
  setWindowTitle("Kelmor Viewer");

  struct Design {
    const char* name;
    const char* text;
    Button bit;
  };
  const Design design[7] = {
      {"ReReadButton", "Re-&Read", ReReadButton}, {"GraphButton", "Graphics", GraphButton},
      {"F1downButton", "&Less F1", F1downButton}, {"F1upButton", "&More F1", F1upButton},
      {"RedoButton", "Re-do", RedoButton},       {"WriteButton", "&Write", WriteButton},
      {"QuitButton", "&Quit", QuitButton},
  };
  auto* buttonRow = new QHBoxLayout;
  for (int i = 0; i < 7; ++i) {
    QPushButton* b = NamedButton(design[i].name, design[i].text);
    b->setAutoDefault(false);
    buttons_[i] = {b, design[i].text, design[i].bit};
    connect(b, &QPushButton::clicked, b, [b] { b->setText("Pressed"); });
    if (design[i].bit == GraphButton) connect(b, &QPushButton::clicked, this, [this] { clearDrawing(); });
    buttonRow->addWidget(b);
  }

  auto label = [](const char* name, const char* text) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    return l;
  };
  edgeDef_ = label("EdgeDef", "0.0");
  polyDef_ = label("PolyDef", "0.0");
  isomNo_ = label("IsomNo", "");
  expandOpt_ = label("ExpandOpt", "");
  duplicate_ = label("Duplicate", "Duplicate Isomorph");
  QFont bold = duplicate_->font();
  bold.setBold(true);
  duplicate_->setFont(bold);
  for (QLabel* l : {edgeDef_, polyDef_}) {
    l->setMinimumWidth(180);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }

  auto* figures = new QGridLayout;
  figures->addWidget(label("label1", "Edge Deformation:"), 0, 0);
  figures->addWidget(edgeDef_, 0, 1);
  figures->addWidget(label("Label3", "Generating Isomorph No:"), 0, 2);
  figures->addWidget(isomNo_, 0, 3);
  figures->addWidget(label("Label2", "Polygonal Deformation:"), 1, 0);
  figures->addWidget(polyDef_, 1, 1);
  figures->addWidget(label("Label4", "Expansion Option:"), 1, 2);
  figures->addWidget(expandOpt_, 1, 3);
  figures->addWidget(duplicate_, 2, 0, 1, 4);
  figures->setColumnStretch(1, 1);
  figures->setColumnStretch(3, 1);

  area_ = new DrawArea;
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttonRow);
  layout->addWidget(area_, 1);
  layout->addLayout(figures);
  // Fits a 1366x768 screen with a panel and a title bar.
  resize(620, 680);
  // Escape ends the run like Quit (the run sees it at its next poll).
  WireKeys(this, nullptr, buttons_[6].button, nullptr);
}

QColor DrawWindow::background() const { return palette().color(QPalette::Button); }

void DrawWindow::setScale(double span) { area_->setScale(span); }

void DrawWindow::reset() {
  clearDrawing();
  setWindowTitle("Kelmor Viewer");
  for (QLabel* l : {edgeDef_, polyDef_}) l->setText("0.0");
  for (QLabel* l : {isomNo_, expandOpt_, duplicate_}) l->setText("");
}

void DrawWindow::showAttempt(const std::string& caption, bool clear,
                             std::span<const DepthColour, 16> palette) {
  for (size_t i = 0; i < 16; ++i) palette_[i] = QColor(palette[i].r, palette[i].g, palette[i].b);
  // Every attempt starts on a cleared square, drawn or not: an attempt that is not drawn
  // would otherwise leave the last frame of the one before under the next drawn frames.
  (void)clear;
  area_->resetScale();
  area_->clear(background());
  show();
  setWindowTitle(QString::fromStdString(caption));
  ++attempts_;
  update();
}

void DrawWindow::drawLines(std::span<const DrawLine> lines) {
  const QColor bg = background();
  bool grown = false;
  for (const DrawLine& l : lines) {
    grown = area_->growToFit(l.newX1, l.newY1) || grown;
    grown = area_->growToFit(l.newX2, l.newY2) || grown;
  }
  if (grown) area_->clear(bg);  // the old lines sit at the old scale: start the picture afresh
  for (const DrawLine& l : lines) {
    if (!grown) area_->drawLine(l.oldX1, l.oldY1, l.oldX2, l.oldY2, bg);
    area_->drawLine(l.newX1, l.newY1, l.newX2, l.newY2,
                    palette_[static_cast<size_t>(std::clamp(l.colour, 0, 15))]);
  }
  ++frames_;
  lastFrameLines_ = lines.size();
  area_->update();
}

void DrawWindow::showFigures(const DrawFigures& f) {
  edgeDef_->setText(QString::fromStdString(f.EdgeDef));
  polyDef_->setText(QString::fromStdString(f.PolyDef));
  isomNo_->setText(QString::fromStdString(f.IsomNo));
  if (!f.ExpandOpt.empty()) expandOpt_->setText(QString::fromStdString(f.ExpandOpt));
}

void DrawWindow::setStatus(const std::string& text) {
  duplicate_->setText(QString::fromStdString(text));
  duplicate_->repaint();
}

ButtonSet DrawWindow::takePressed() {
  ButtonSet pressed = 0;
  for (PollButton& b : buttons_) {
    if (b.button->text() == "Pressed") {
      b.button->setText(b.design);
      pressed |= b.bit;
    }
  }
  return pressed;
}

void DrawWindow::closeEvent(QCloseEvent* event) {
  // Closing the viewer during a run is the Quit button; the run hides the window.
  if (isEnabled() && isVisible()) {
    for (PollButton& b : buttons_)
      if (b.bit == QuitButton) b.button->setText("Pressed");
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace kelmor
