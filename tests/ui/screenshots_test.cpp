// A picture of every window, for a person to look at, and a check that nothing in it is
// cut off.
#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <array>
#include <cmath>

#include "gui_fixture.h"
#include "ui/draw_window.h"
#include "ui/intro.h"
#include "ui/qt_host.h"
#include "ui/segment_options.h"

namespace kelmor::testing {
namespace {

// A frame of a turned cube in the viewer, so that its picture shows a model.
void DrawSampleCube(Gui& gui, Dialogs& dialogs) {
  DrawWindow* dw = gui.drawWindow();
  dw->setScale(6);
  QtHost host(dialogs, *dw);
  std::array<DepthColour, 16> palette{};
  const int rgb[16][3] = {{192, 192, 192}, {156, 156, 192}, {128, 128, 192}, {96, 96, 192},
                          {64, 64, 160},   {32, 32, 160},   {64, 32, 160},   {96, 32, 160},
                          {128, 0, 128},   {160, 0, 96},    {196, 0, 64},    {224, 0, 32},
                          {255, 0, 0},     {255, 0, 0},     {255, 0, 0},     {255, 255, 255}};
  for (size_t i = 0; i < 16; ++i) palette[i] = {rgb[i][0], rgb[i][1], rgb[i][2]};
  host.showAttemptWindow("cube Isom 1", true, palette);
  double v[8][3];
  for (int i = 0; i < 8; ++i) {
    double x = (i & 1) ? 1 : -1, y = (i & 2) ? 1 : -1, z = (i & 4) ? 1 : -1;
    double a = 0.6, b = 0.4;  // turned about Y, then X
    double x1 = x * std::cos(a) + z * std::sin(a), z1 = -x * std::sin(a) + z * std::cos(a);
    double y2 = y * std::cos(b) - z1 * std::sin(b), z2 = y * std::sin(b) + z1 * std::cos(b);
    v[i][0] = x1 * 1.5 + 3;
    v[i][1] = y2 * 1.5 + 3;
    v[i][2] = z2;
  }
  std::vector<DrawLine> lines;
  for (int i = 0; i < 8; ++i)
    for (int bit = 1; bit < 8; bit <<= 1) {
      int j = i | bit;
      if (j == i) continue;
      int k = static_cast<int>((v[i][2] + v[j][2]) / 2 * 7 + 8);
      lines.push_back({0, 0, 0, 0, v[i][0], v[i][1], v[j][0], v[j][1], k});
    }
  host.drawFrame(lines);
  DrawFigures f;
  f.EdgeDef = "0.0123";
  f.PolyDef = "0.0045";
  f.IsomNo = "1";
  f.ExpandOpt = "global";
  host.showFigures(f);
  host.setStatus("");
}

// Where a widget lies in its window, and what it needs to show its text whole.
struct Clip {
  QString widget;
  QRect at;
  QSize needs;
};

std::vector<Clip> ClippedWidgets(QWidget* window) {
  std::vector<Clip> clipped;
  const QRect inside = window->rect();
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || w->isWindow()) continue;
    QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
    // Captions and buttons must be as large as their text needs.
    QSize needs;
    // (A colour button shows a colour, not text: its size is its own choice.)
    auto* button = qobject_cast<QAbstractButton*>(w);
    auto* label = qobject_cast<QLabel*>(w);
    if ((button && !button->text().isEmpty()) || (label && !label->text().isEmpty()))
      needs = w->minimumSizeHint();
    bool small = needs.isValid() && (w->width() < needs.width() || w->height() < needs.height());
    if (!inside.contains(at) || small)
      clipped.push_back({w->objectName() + " (" + w->metaObject()->className() + ")", at, needs});
  }
  return clipped;
}

// Every window, at whatever scale the screen has (QT_SCALE_FACTOR), pictured into
// KELMOR_SHOT_DIR/scale<N>/<Window>.png; none is clipped and each fits a 1366x768
// screen with a panel and a title bar.
TEST_F(GuiTest, ScreenshotOfEveryWindowNoneClipped) {
  DrawSampleCube(*gui_, dialogs_);
  gui_->segmentOptions()->showRows(5);
  gui_->intro()->setLastRun("snub_cube.txt");  // the main window as it is after a run
  const qreal scale = qApp->devicePixelRatio();
  const QString folder =
      QString(KELMOR_SHOT_DIR) + "/scale" + QString::number(qRound(scale));
  QDir().mkpath(folder);
  const QSize screen(1366, 768 - 40 - 32);  // a panel and a title bar
  for (QWidget* w : gui_->windows()) {
    SCOPED_TRACE(w->objectName().toStdString());
    ShowEnabled(w);
    QApplication::processEvents();
    QPixmap shot = w->grab();
    EXPECT_GT(shot.width(), 100);
    EXPECT_EQ(shot.width(), qRound(w->width() * scale)) << "pictured at the screen's scale";
    QString file = folder + "/" + w->objectName() + ".png";
    EXPECT_TRUE(shot.save(file, "PNG")) << file.toStdString();
    EXPECT_LE(w->frameGeometry().width(), screen.width());
    EXPECT_LE(w->height(), screen.height());
    for (const Clip& c : ClippedWidgets(w))
      ADD_FAILURE() << c.widget.toStdString() << " at " << c.at.x() << "," << c.at.y() << " "
                    << c.at.width() << "x" << c.at.height() << " needs " << c.needs.width()
                    << "x" << c.needs.height() << " in " << w->width() << "x" << w->height();
    w->hide();
  }
}

}  // namespace
}  // namespace kelmor::testing
