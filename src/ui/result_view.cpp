#include "ui/result_view.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "facts/solid_facts.h"
#include "render/gl_painter.h"
#include "render/headless_context.h"
#include "ui/solid_picture.h"

namespace kelmor {

namespace {

// The solid drawn by OpenGL in the window.
class GlCanvas : public QOpenGLWidget {
 public:
  GlCanvas(SolidScene& scene, QWidget* parent) : QOpenGLWidget(parent), scene_(scene) {
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setSamples(4);
    setFormat(format);
  }

 protected:
  void paintGL() override {
    const qreal ratio = devicePixelRatioF();
    const int w = static_cast<int>(width() * ratio), h = static_cast<int>(height() * ratio);
    render::PaintDrawList(scene_.drawList(w, h), w, h);
  }

 private:
  SolidScene& scene_;
};

// The same picture drawn headless and shown as an image: where the windows have no
// OpenGL, and where their OpenGL is a software rasteriser (composing an OpenGL widget into
// the window then costs a second pass over every pixel in software). While the solid turns
// the frames are drafts (one sample a pixel); the frame at rest is smoothed in full.
class ImageCanvas : public QWidget {
 public:
  ImageCanvas(SolidScene& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    std::string why;
    context_ = render::HeadlessContext::Create(why);
    if (!context_) reason_ = QString::fromStdString(why);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (!context_) {
      painter.fillRect(rect(), Qt::white);
      painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, "No OpenGL to draw the solid: " + reason_);
      return;
    }
    const qreal ratio = devicePixelRatioF();
    const int w = std::max(1, static_cast<int>(width() * ratio)), h = std::max(1, static_cast<int>(height() * ratio));
    context_->RenderInto(image_, scene_.drawList(w, h), w, h,
                         scene_.draft ? render::HeadlessContext::Smoothing::Draft
                                      : render::HeadlessContext::Smoothing::Full);
    QImage shown(image_.pixels.data(), image_.width, image_.height, image_.width * 4, QImage::Format_RGBA8888);
    shown.setDevicePixelRatio(ratio);
    painter.drawImage(0, 0, shown);
  }

 private:
  SolidScene& scene_;
  std::unique_ptr<render::HeadlessContext> context_;
  render::Image image_;  // kept: a turning solid draws into the same memory every frame
  QString reason_;
};

// Whether a QOpenGLWidget can draw here: a windowing platform (the offscreen and minimal
// ones have no OpenGL widgets even where they have contexts) with an OpenGL context.
// The labels, on a see-through layer over either surface (text painted into an OpenGL
// widget's frame does not reliably survive a grab of it).
class LabelLayer : public QWidget {
 public:
  LabelLayer(SolidScene& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    scene_.paintLabels(painter, width(), height());
  }

 private:
  SolidScene& scene_;
};

// What OpenGL the windows have: none (the offscreen and minimal platforms have no OpenGL
// widgets even where they have contexts), a software rasteriser (Mesa's llvmpipe, softpipe
// or swrast, as under Xvfb) or a graphics card.
enum class WindowGl { None, Software, Hardware };

WindowGl WindowsOpenGL() {
  const QString platform = QGuiApplication::platformName();
  if (platform != "xcb" && !platform.startsWith("wayland") && !platform.startsWith("eglfs")) return WindowGl::None;
  QOpenGLContext probe;
  if (!probe.create()) return WindowGl::None;
  QOffscreenSurface surface;
  surface.create();
  if (!probe.makeCurrent(&surface)) return WindowGl::None;
  const auto* name = reinterpret_cast<const char*>(probe.functions()->glGetString(GL_RENDERER));
  const QString renderer = QString::fromLatin1(name ? name : "").toLower();
  probe.doneCurrent();
  for (const char* software : {"llvmpipe", "softpipe", "swrast", "software"})
    if (renderer.contains(software)) return WindowGl::Software;
  return WindowGl::Hardware;
}

bool UseOpenGLWidget(ResultView::Canvas wanted) {
  if (wanted != ResultView::Canvas::Automatic) return wanted == ResultView::Canvas::OpenGLWidget;
  const WindowGl gl = WindowsOpenGL();
  if (gl == WindowGl::Hardware) return true;
  if (gl == WindowGl::None) return false;
  // Software: drawn headless unless that cannot be had here.
  std::string why;
  return render::HeadlessContext::Create(why) == nullptr;
}

QString Counts(const render::SolidMesh& mesh) {
  return QString("%1 vertices, %2 faces").arg(mesh.points.size()).arg(mesh.faces.size());
}

QString FactsOf(const render::SolidMesh& mesh) {
  FactsSolid solid{mesh.points, {}};
  for (const render::MeshFace& f : mesh.faces) solid.faces.push_back({f.corners, 1});
  return QString::fromStdString(FactsLine(ComputeFacts(solid)));
}

}  // namespace

ResultView::ResultView(Canvas canvas) {
  setObjectName("ResultView");
  setWindowTitle("Kelmor Solid");
  openGL_ = UseOpenGLWidget(canvas);
  if (openGL_) canvas_ = new GlCanvas(scene_, this);
  else canvas_ = new ImageCanvas(scene_, this);
  canvas_->setObjectName("SolidCanvas");
  canvas_->setMinimumSize(320, 320);
  canvas_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  canvas_->installEventFilter(this);
  labels_ = new LabelLayer(scene_, canvas_);
  canvas_->setFocusPolicy(Qt::NoFocus);
  canvas_->setAccessibleName("Solid");
  canvas_->setAccessibleDescription("Drag to turn, wheel to zoom, right drag to move; X, Y, Z, I views, R resets");

  summary_ = new QLabel(this);
  summary_->setObjectName("Summary");
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  facts_ = new QLabel(this);
  facts_->setObjectName("Facts");
  facts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  position_ = new QLabel(this);
  position_->setObjectName("Isomorph");
  edges_ = new QCheckBox("&Edges", this);
  vertexLabels_ = new QCheckBox("&Vertex labels", this);
  faceLabels_ = new QCheckBox("&Face labels", this);
  auto* reset = new QPushButton("&Reset view", this);
  previous_ = new QPushButton("&Previous", this);
  next_ = new QPushButton("&Next", this);
  for (QCheckBox* box : {edges_, vertexLabels_, faceLabels_})
    connect(box, &QCheckBox::toggled, this, [this] {
      scene_.style.edges = edges_->isChecked();
      scene_.vertexLabels = vertexLabels_->isChecked();
      scene_.faceLabels = faceLabels_->isChecked();
      redraw();
    });
  connect(reset, &QPushButton::clicked, this, [this] {
    scene_.reset();
    redraw();
  });
  connect(previous_, &QPushButton::clicked, this, &ResultView::previous);
  connect(next_, &QPushButton::clicked, this, &ResultView::next);

  auto* controls = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{edges_, vertexLabels_, faceLabels_, reset}) controls->addWidget(w);
  controls->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{previous_, position_, next_}) controls->addWidget(w);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(canvas_, 1);
  layout->addWidget(summary_);
  layout->addWidget(facts_);
  layout->addLayout(controls);
  resize(600, 640);
  wireKeys();
  updateButtons();
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &ResultView::settle);
}

ResultView::~ResultView() = default;

void ResultView::wireKeys() {
  auto* save = new QAction("&Save picture...", this);
  save->setShortcut(QKeySequence::Save);
  connect(save, &QAction::triggered, this, [this] { savePicture(); });
  auto* copy = new QAction("&Copy picture", this);
  copy->setShortcut(QKeySequence::Copy);
  connect(copy, &QAction::triggered, this, &ResultView::copyPicture);
  auto* close = new QAction("C&lose", this);
  close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Q)});
  connect(close, &QAction::triggered, this, &QWidget::close);
  auto* helpKey = new QAction("Help", this);
  helpKey->setShortcut(QKeySequence(Qt::Key_F1));
  connect(helpKey, &QAction::triggered, this, [this] {
    if (help) help();
  });
  for (QAction* a : {save, copy, close, helpKey}) {
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
  }
  menu_ = new QMenu(this);
  menu_->setObjectName("PictureMenu");
  menu_->addAction(save);
  menu_->addAction(copy);
}

QImage ResultView::picture() const {
  const qreal ratio = devicePixelRatioF();
  const int w = std::max(800, static_cast<int>(width() * ratio));
  const int h = std::max(800, static_cast<int>(height() * ratio));
  return SolidPictureImage(scene_, w, h, canvas_);
}

bool ResultView::savePicture() {
  if (!scene_.picture) return false;
  const QFileInfo shown(shownPath_);
  const QString suggested = shown.absoluteDir().filePath(shown.completeBaseName() + ".png");
  const QString path = choosePicturePath
                           ? choosePicturePath(suggested)
                           : QFileDialog::getSaveFileName(this, "Save picture", suggested, "PNG pictures (*.png)");
  if (path.isEmpty()) return false;
  if (auto e = SavePng(picture(), path)) {
    summary_->setText("Picture not saved: " + QString::fromStdString(*e));
    return false;
  }
  summary_->setText("Picture saved as " + path);
  return true;
}

void ResultView::copyPicture() {
  if (scene_.picture) QGuiApplication::clipboard()->setImage(picture());
}

bool ResultView::showFile(const QString& offPath, const QString& summary, const QString& solidFile) {
  if (auto e = scene_.load(offPath.toStdString(), solidFile.toStdString())) {
    summary_->setText(QString::fromStdString(*e));
    return false;
  }
  QString line = summary.isEmpty() ? DeformationSummary(offPath) : summary;
  if (line.isEmpty()) line = Counts(scene_.picture->mesh());
  if (!scene_.lookProblem.empty())
    line += "   (frame and translucent faces drawn plain: " + QString::fromStdString(scene_.lookProblem) + ")";
  summary_->setText(QFileInfo(offPath).fileName() + "   " + line);
  facts_->setText(FactsOf(scene_.picture->mesh()));
  shownPath_ = offPath;
  setWindowTitle("Kelmor Solid - " + QFileInfo(offPath).fileName());
  redraw();
  return true;
}

void ResultView::addSolution(const QString& offPath, const QString& summary, const QString& solidFile) {
  solutions_.push_back({offPath, summary, solidFile});
  showSolution(static_cast<int>(solutions_.size()) - 1);
}

void ResultView::clearSolutions() {
  solutions_.clear();
  current_ = -1;
  updateButtons();
}

void ResultView::showSolution(int index) {
  if (index < 0 || index >= static_cast<int>(solutions_.size())) return;
  current_ = index;
  const Solution& shown = solutions_[static_cast<size_t>(index)];
  showFile(shown.path, shown.summary, shown.solidFile);
  updateButtons();
}

void ResultView::next() { showSolution(current_ + 1); }
void ResultView::previous() { showSolution(current_ - 1); }

QString ResultView::summaryText() const { return summary_->text(); }

void ResultView::updateButtons() {
  const int count = static_cast<int>(solutions_.size());
  previous_->setVisible(count > 1);
  next_->setVisible(count > 1);
  position_->setVisible(count > 1);
  previous_->setEnabled(current_ > 0);
  next_->setEnabled(current_ + 1 < count);
  position_->setText(QString("%1 of %2").arg(current_ + 1).arg(count));
}

void ResultView::redraw() {
  // The label layer stays hidden while there are no labels: the frames of a turning solid
  // then paint the canvas alone.
  labels_->setVisible(scene_.vertexLabels || scene_.faceLabels);
  canvas_->update();
  labels_->update();
}

void ResultView::moved() {
  scene_.draft = true;
  settle_.start();
  redraw();
}

void ResultView::settle() {
  settle_.stop();
  if (!scene_.draft) return;
  scene_.draft = false;
  redraw();
}

bool ResultView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != canvas_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Resize:
      labels_->setGeometry(canvas_->rect());
      return false;
    case QEvent::MouseButtonPress:
      lastMouse_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      dragged_ = false;
      return true;
    case QEvent::ContextMenu: {
      // The right button also moves the solid: its menu comes with a click that did not
      // drag (on release); the menu key shows it at once.
      auto* asked = static_cast<QContextMenuEvent*>(event);
      if (asked->reason() == QContextMenuEvent::Keyboard) menu_->popup(asked->globalPos());
      return true;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = mouse->position().toPoint();
      const QPoint d = at - lastMouse_;
      lastMouse_ = at;
      if (mouse->buttons() & (Qt::RightButton | Qt::MiddleButton) ||
          ((mouse->buttons() & Qt::LeftButton) && (mouse->modifiers() & Qt::ShiftModifier)))
        scene_.pan(d.x(), d.y(), canvas_->width(), canvas_->height());
      else if (mouse->buttons() & Qt::LeftButton)
        scene_.turn(d.x(), d.y(), std::min(canvas_->width(), canvas_->height()));
      else
        return true;
      dragged_ = true;
      moved();
      return true;
    }
    case QEvent::MouseButtonRelease: {
      settle();
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::RightButton && !dragged_) menu_->popup(mouse->globalPosition().toPoint());
      return true;
    }
    case QEvent::Wheel: {
      const double steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120.0;
      scene_.zoomBy(std::pow(1.15, steps));
      moved();
      return true;
    }
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void ResultView::keyPressEvent(QKeyEvent* event) {
  const bool other = event->modifiers() & Qt::ShiftModifier;
  auto axis = [&](const char* near, const char* far) {
    scene_.view(*render::ParseView(other ? far : near));
    redraw();
  };
  switch (event->key()) {
    case Qt::Key_X: axis("x", "-x"); return;
    case Qt::Key_Y: axis("y", "-y"); return;
    case Qt::Key_Z: axis("z", "-z"); return;
    case Qt::Key_I: axis("iso", "-135/-35.2643896827547"); return;
    case Qt::Key_R:
    case Qt::Key_Home: scene_.reset(); redraw(); return;
    case Qt::Key_Plus:
    case Qt::Key_Equal: scene_.zoomBy(1.15); redraw(); return;
    case Qt::Key_Minus: scene_.zoomBy(1 / 1.15); redraw(); return;
    case Qt::Key_Left: scene_.turn(-20, 0, 360); redraw(); return;
    case Qt::Key_Right: scene_.turn(20, 0, 360); redraw(); return;
    case Qt::Key_Up: scene_.turn(0, -20, 360); redraw(); return;
    case Qt::Key_Down: scene_.turn(0, 20, 360); redraw(); return;
    case Qt::Key_E: edges_->toggle(); return;
    case Qt::Key_V: vertexLabels_->toggle(); return;
    case Qt::Key_F: faceLabels_->toggle(); return;
    case Qt::Key_PageUp: previous(); return;
    case Qt::Key_PageDown: next(); return;
    default: QWidget::keyPressEvent(event);
  }
}

}  // namespace kelmor
