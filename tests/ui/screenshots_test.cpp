// A picture of every window, for a person to look at: KELMOR_SHOT_DIR/<Window>.png.
#include <QDir>
#include <QPixmap>
#include <array>
#include <cmath>

#include "gui_fixture.h"
#include "ui/draw_window.h"
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

TEST_F(GuiTest, ScreenshotOfEveryWindow) {
  QDir().mkpath(KELMOR_SHOT_DIR);
  DrawSampleCube(*gui_, dialogs_);
  gui_->segmentOptions()->showRows(5);
  for (QWidget* w : gui_->windows()) {
    ShowEnabled(w);
    QApplication::processEvents();
    QPixmap shot = w->grab();
    EXPECT_GT(shot.width(), 100) << w->objectName().toStdString();
    QString file = QString(KELMOR_SHOT_DIR) + "/" + w->objectName() + ".png";
    EXPECT_TRUE(shot.save(file, "PNG")) << file.toStdString();
    w->hide();
  }
}

}  // namespace
}  // namespace kelmor::testing
