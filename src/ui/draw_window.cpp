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

// The model spans this share of the square when fitted; it is fitted again once it
// spans more than Grow or less than Shrink of it, or its middle strays by Stray.
constexpr double Fill = 0.8, Grow = 0.96, Shrink = 0.5, Stray = 0.1;

}  // namespace

DrawArea::DrawArea(QWidget* parent) : QWidget(parent) {
  setObjectName("DrawArea");
  setMinimumSize(240, 240);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DrawArea::setScale(double span) {
  // A screen size of 0 or less would divide by zero; the default square is used instead.
  span_ = span > 0 ? span : 6;
  centre_ = QPointF(span_ / 2, span_ / 2);
  refit_ = true;
}

void DrawArea::clear() {
  segments_.clear();
  update();
}

void DrawArea::fit(double left, double top, double right, double bottom) {
  const double extent = std::max({right - left, bottom - top, 1e-9});
  const QPointF middle((left + right) / 2, (top + bottom) / 2);
  const QPointF off = middle - centre_;
  const bool stray = std::max(std::abs(off.x()), std::abs(off.y())) > Stray * span_;
  if (refit_ || extent > Grow * span_ || extent < Shrink * span_ || stray) {
    span_ = extent / Fill;
    centre_ = middle;
    refit_ = false;
  }
}

void DrawArea::showFrame(std::span<const DrawLine> lines, const std::array<QColor, 16>& palette) {
  double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
  std::vector<Segment> next;
  next.reserve(lines.size());
  for (const DrawLine& l : lines) {
    const QPointF a(l.newX1, l.newY1), b(l.newX2, l.newY2);
    // A point that ran away (the run then ends the attempt) is left out of the picture.
    if (!std::isfinite(a.x() + a.y() + b.x() + b.y())) continue;
    left = std::min({left, a.x(), b.x()});
    right = std::max({right, a.x(), b.x()});
    top = std::min({top, a.y(), b.y()});
    bottom = std::max({bottom, a.y(), b.y()});
    next.push_back({a, b, palette[static_cast<size_t>(std::clamp(l.colour, 0, 15))]});
  }
  if (next.empty()) return;  // the last picture stays rather than a blank one
  fit(left, top, right, bottom);
  segments_ = std::move(next);
  update();
}

void DrawArea::paint(QPainter& p, const QRectF& square) const {
  p.fillRect(square, palette().color(QPalette::Button));
  p.setRenderHint(QPainter::Antialiasing, true);
  const double k = square.width() / span_;
  const QPointF origin = square.center() - centre_ * k;
  for (const Segment& s : segments_) {
    p.setPen(QPen(s.colour, 2));
    p.drawLine(origin + s.a * k, origin + s.b * k);
  }
}

QPixmap DrawArea::pixmap(int side) const {
  QPixmap picture(side, side);
  QPainter p(&picture);
  paint(p, QRectF(0, 0, side, side));
  return picture;
}

void DrawArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int side = std::min(width(), height());
  p.fillRect(rect(), palette().color(QPalette::Window));
  paint(p, QRectF((width() - side) / 2, (height() - side) / 2, side, side));
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
      {"ReReadButton", "Re-&Read", ReReadButton}, {"GraphButton", "&Graphics", GraphButton},
      {"F1downButton", "&Less F1", F1downButton}, {"F1upButton", "&More F1", F1upButton},
      {"RedoButton", "Re-&do", RedoButton},       {"WriteButton", "&Write", WriteButton},
      {"QuitButton", "&Quit", QuitButton},
  };
  auto* buttonRow = new QHBoxLayout;
  for (int i = 0; i < 7; ++i) {
    QPushButton* b = NamedButton(design[i].name, design[i].text);
    b->setAutoDefault(false);
    buttons_[i] = {b, design[i].text, design[i].bit};
    connect(b, &QPushButton::clicked, b, [b] { b->setText("Pressed"); });
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
  area_->clear();
  setWindowTitle("Kelmor Viewer");
  for (QLabel* l : {edgeDef_, polyDef_}) l->setText("0.0");
  for (QLabel* l : {isomNo_, expandOpt_, duplicate_}) l->setText("");
}

void DrawWindow::showAttempt(const std::string& caption, bool clear,
                             std::span<const DepthColour, 16> palette) {
  for (size_t i = 0; i < 16; ++i) palette_[i] = QColor(palette[i].r, palette[i].g, palette[i].b);
  // The last frame stays until this attempt's first one replaces it (drawn or not, the
  // area is never blank while the window is shown); that frame is fitted afresh.
  (void)clear;
  area_->resetScale();
  show();
  setWindowTitle(QString::fromStdString(caption));
  ++attempts_;
  update();
}

void DrawWindow::drawLines(std::span<const DrawLine> lines) {
  area_->showFrame(lines, palette_);
  ++frames_;
  lastFrameLines_ = lines.size();
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
