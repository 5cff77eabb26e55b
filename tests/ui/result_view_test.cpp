// The result window: the written solid framed in its colours, turned, zoomed and moved by
// hand, stepped through the solutions of a repeat run; and the live drawing that grows to
// hold the model.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <cmath>
#include <set>

#include "gui_fixture.h"
#include "ui/draw_window.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"
#include "ui/result_view.h"

namespace kelmor::testing {
namespace {

std::string Gallery(const std::string& name) {
  return std::string(KELMOR_SOURCE_DIR) + "/docs/gallery/" + name + ".off";
}

QImage Shot(ResultView& view) {
  QApplication::processEvents();
  return view.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct Coverage {
  double share = 0;          // of the canvas that differs from the background
  bool clearBorder = true;   // nothing of the solid on the canvas's edge
  double centreX = 0, centreY = 0;
};

Coverage Measure(const QImage& image) {
  const QRgb bg = image.pixel(0, 0);
  Coverage c;
  long count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != bg) {
        ++count;
        c.centreX += x, c.centreY += y;
        if (x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1) c.clearBorder = false;
      }
  c.share = static_cast<double>(count) / (image.width() * image.height());
  if (count) c.centreX /= count, c.centreY /= count;
  return c;
}

// Some pixel shows the colour at some lighting strength.
bool ShowsColour(const QImage& image, int r, int g, int b) {
  const int top = std::max({r, g, b});
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor p(image.pixel(x, y));
      const double s = static_cast<double>(std::max({p.red(), p.green(), p.blue()})) / std::max(top, 1);
      if (s < 0.3 || s > 1.01) continue;
      if (std::abs(p.red() - r * s) <= 3 && std::abs(p.green() - g * s) <= 3 && std::abs(p.blue() - b * s) <= 3)
        return true;
    }
  return false;
}

void Drag(QWidget* canvas, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
          Qt::KeyboardModifiers keys = Qt::NoModifier) {
  QTest::mousePress(canvas, button, keys, from);
  for (int i = 1; i <= 4; ++i) {
    QPoint at = from + (to - from) * i / 4;
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, button, keys);
    QApplication::sendEvent(canvas, &move);
  }
  QTest::mouseRelease(canvas, button, keys, to);
}

TEST_F(GuiTest, ResultViewShowsTheSnubCubeFramedInItsColoursAndTurnsIt) {
  ResultView* view = gui_->resultView();
  ASSERT_TRUE(view->showFile(QString::fromStdString(Gallery("snub_cube"))));
  ShowEnabled(view);
  QImage first = Shot(*view);
  Coverage before = Measure(first);
  EXPECT_GE(before.share, 0.2);
  EXPECT_LE(before.share, 0.8);
  EXPECT_TRUE(before.clearBorder);
  std::set<QRgb> faceColours;
  render::SolidMesh mesh = view->scene().picture->mesh();
  for (const auto& f : mesh.faces) faceColours.insert(qRgb(f.colour.r, f.colour.g, f.colour.b));
  for (QRgb c : faceColours) EXPECT_TRUE(ShowsColour(first, qRed(c), qGreen(c), qBlue(c))) << std::hex << c;
  if (const char* dir = std::getenv("KELMOR_SHOT_DIR_RESULT")) first.save(QString(dir) + "/ResultView.png");

  QWidget* canvas = view->canvas();
  Drag(canvas, canvas->rect().center(), canvas->rect().center() + QPoint(60, 25));
  QImage turned = Shot(*view);
  EXPECT_NE(turned, first);
  Coverage after = Measure(turned);
  EXPECT_NEAR(after.share, before.share, 0.1 * before.share);
  EXPECT_TRUE(after.clearBorder);
}

size_t DistinctColours(const QImage& image) {
  std::set<QRgb> seen;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) seen.insert(image.pixel(x, y));
  return seen.size();
}

// While the hand turns or zooms the solid the frames are drafts (flat faces, no smoothed
// edges: few colours); when the drag ends, or the wheel rests, the full frame follows.
TEST_F(GuiTest, ResultViewDrawsDraftsWhileTurningAndTheFullFrameAtRest) {
  ResultView* view = gui_->resultView();
  ASSERT_TRUE(view->showFile(QString::fromStdString(Gallery("truncated_icosidodecahedron"))));
  ShowEnabled(view);
  QWidget* canvas = view->canvas();
  const size_t rest = DistinctColours(Shot(*view));

  const QPoint from = canvas->rect().center();
  QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
  QMouseEvent move(QEvent::MouseMove, from + QPoint(30, 10), canvas->mapToGlobal(from + QPoint(30, 10)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(canvas, &move);
  const size_t turning = DistinctColours(Shot(*view));
  EXPECT_LT(turning * 2, rest) << turning << " colours while turning, " << rest << " at rest";
  QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, from + QPoint(30, 10));
  const QImage released = Shot(*view);
  EXPECT_GT(DistinctColours(released) * 2, rest);

  QWheelEvent wheel(QPointF(50, 50), canvas->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(canvas, &wheel);
  EXPECT_LT(DistinctColours(Shot(*view)) * 2, rest);
  // The settle timer brings the full frame (waited for, not timed).
  size_t settled = 0;
  for (int i = 0; i < 100 && settled * 2 <= rest; ++i) {
    QTest::qWait(ResultView::kSettleMs / 3);
    settled = DistinctColours(Shot(*view));
  }
  EXPECT_GT(settled * 2, rest);
}

// On a graphics card the window draws in an OpenGL widget: the same solid, framed alike.
// (Needs a windowing platform: run the window tests under xvfb-run to see it.)
TEST_F(GuiTest, TheOpenGLWidgetAndTheImageDrawTheSameSolid) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "no OpenGL widgets on this platform";
  std::vector<Coverage> seen;
  for (auto canvas : {ResultView::Canvas::OpenGLWidget, ResultView::Canvas::Image}) {
    ResultView view(canvas);
    EXPECT_EQ(view.usesOpenGLWidget(), canvas == ResultView::Canvas::OpenGLWidget);
    ASSERT_TRUE(view.showFile(QString::fromStdString(Gallery("snub_cube"))));
    view.resize(500, 540);
    ShowEnabled(&view);
    seen.push_back(Measure(Shot(view)));
  }
  EXPECT_GE(seen[0].share, 0.2);
  EXPECT_NEAR(seen[0].share, seen[1].share, 0.02);
  EXPECT_NEAR(seen[0].centreX, seen[1].centreX, 3);
  EXPECT_NEAR(seen[0].centreY, seen[1].centreY, 3);
}

TEST_F(GuiTest, ResultViewZoomsMovesAndTakesTheAxisViewsFromTheKeys) {
  ResultView* view = gui_->resultView();
  ASSERT_TRUE(view->showFile(QString::fromStdString(Gallery("cube"))));
  ShowEnabled(view);
  QWidget* canvas = view->canvas();
  const Coverage home = Measure(Shot(*view));

  QTest::keyClick(view, Qt::Key_Z);
  EXPECT_EQ(view->scene().camera.rotation, render::ViewRotation({0, 0}));
  QTest::keyClick(view, Qt::Key_X, Qt::ShiftModifier);
  EXPECT_EQ(view->scene().camera.rotation, render::ViewRotation(*render::ParseView("-x")));

  QWheelEvent wheel(QPointF(50, 50), canvas->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(canvas, &wheel);
  EXPECT_GT(view->scene().camera.zoom, 1.2);
  QTest::keyClick(view, Qt::Key_R);
  EXPECT_EQ(view->scene().camera.zoom, 1);

  // A right drag and a shift drag both move the solid the way the mouse went.
  for (auto [button, keys] : {std::pair{Qt::RightButton, Qt::NoModifier}, {Qt::LeftButton, Qt::ShiftModifier}}) {
    QTest::keyClick(view, Qt::Key_Home);
    Drag(canvas, QPoint(100, 100), QPoint(160, 130), button, keys);
    Coverage moved = Measure(Shot(*view));
    EXPECT_NEAR(moved.centreX - home.centreX, 60, 3);
    EXPECT_NEAR(moved.centreY - home.centreY, 30, 3);
  }

  // Edges and labels from their keys and boxes.
  QTest::keyClick(view, Qt::Key_E);
  EXPECT_TRUE(view->scene().style.edges);
  EXPECT_TRUE(view->findChild<QCheckBox*>()->isChecked());
  QTest::keyClick(view, Qt::Key_R);
  const QImage plain = Shot(*view);
  QTest::keyClick(view, Qt::Key_V);
  EXPECT_TRUE(view->scene().vertexLabels);
  EXPECT_NE(Shot(*view), plain);
}

TEST_F(GuiTest, ResultViewStepsThroughTheSolutionsOfARepeatRun) {
  ResultView* view = gui_->resultView();
  view->addSolution(QString::fromStdString(Gallery("cube")), "first");
  view->addSolution(QString::fromStdString(Gallery("octahedron")), "second");
  view->addSolution(QString::fromStdString(Gallery("icosahedron")), "third");
  EXPECT_EQ(view->solutionIndex(), 2);
  EXPECT_EQ(view->findChild<QLabel*>("Isomorph")->text(), "3 of 3");
  auto buttons = view->findChildren<QPushButton*>();
  auto button = [&](const QString& text) {
    for (QPushButton* b : buttons)
      if (b->text() == text) return b;
    return static_cast<QPushButton*>(nullptr);
  };
  ASSERT_TRUE(button("&Next") && button("&Previous"));
  EXPECT_FALSE(button("&Next")->isEnabled());
  QTest::keyClick(view, Qt::Key_PageUp);
  QTest::keyClick(view, Qt::Key_PageUp);
  QTest::keyClick(view, Qt::Key_PageUp);  // already at the first: stays
  EXPECT_EQ(view->solutionIndex(), 0);
  EXPECT_TRUE(view->summaryText().endsWith("first"));
  EXPECT_EQ(view->scene().picture->mesh().points.size(), 8u);
  EXPECT_FALSE(button("&Previous")->isEnabled());
  // Each solution's facts on the line under its summary.
  const QString cubeFacts = view->findChild<QLabel*>("Facts")->text();
  EXPECT_TRUE(cubeFacts.startsWith("convex, not self-intersecting, symmetry Oh, edge ratio 1,")) << cubeFacts.toStdString();
  button("&Next")->click();
  EXPECT_EQ(view->scene().picture->mesh().points.size(), 6u);
  button("&Next")->click();
  EXPECT_NE(view->findChild<QLabel*>("Facts")->text().indexOf("symmetry Ih"), -1);
  button("&Previous")->click();

  // A file that cannot be read leaves the shown solid and says why.
  const std::string bad = writeInput("bad.off", "OFF\n3 1 0\n0 0 0\n");
  EXPECT_FALSE(view->showFile(QString::fromStdString(bad)));
  EXPECT_NE(view->summaryText().indexOf("ends after 1 of 3 vertices"), -1);
  EXPECT_EQ(view->scene().picture->mesh().points.size(), 6u);
}

TEST_F(GuiTest, TheSummaryLineComesFromTheFilesWrittenWithTheSolid) {
  const std::string off = writeInput("cube.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
  ResultView* view = gui_->resultView();
  ASSERT_TRUE(view->showFile(QString::fromStdString(off)));
  EXPECT_TRUE(view->summaryText().endsWith("3 vertices, 1 faces"));
  writeInput("cube_solid.wrl", "#VRML V2.0 utf8\n# Deformation Summary                    (E=0.001, P=0.002, A=0.3)\n");
  ASSERT_TRUE(view->showFile(QString::fromStdString(off)));
  EXPECT_TRUE(view->summaryText().endsWith("Deformation Summary (E=0.001, P=0.002, A=0.3)"))
      << view->summaryText().toStdString();
}

TEST_F(GuiTest, TheMainWindowOpensAnyOffFileAsASolid) {
  struct Dialogs : ScriptedDialogs {
    std::string file, from;
    std::string chooseFile(const std::string&, const std::string&, const std::string& folder) override {
      from = folder;
      return file;
    }
  };
  const std::string off = writeInput("tri.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2 255 0 0\n");
  ResultView* view = gui_->resultView();
  EXPECT_FALSE(view->isVisible());
  // The Solid tool asks through the dialog service; the fixture's dialogs choose nothing.
  click(gui_->intro(), "S");
  EXPECT_FALSE(view->isVisible());
  Dialogs chooser;
  chooser.file = off;
  Gui gui(session_, chooser);
  gui.start();
  click(gui.intro(), "S");
  EXPECT_TRUE(gui.resultView()->isVisible());
  EXPECT_EQ(gui.resultView()->scene().picture->mesh().faces.size(), 1u);
  EXPECT_EQ(chooser.from, session_.input.OutSame ? session_.input.InDir : session_.input.OutDir)
      << "the dialog starts in the output folder";
  EXPECT_FALSE(chooser.from.empty());
  chooser.file = writeInput("broken.off", "not an OFF file");
  gui.resultView()->hide();
  click(gui.intro(), "S");
  EXPECT_FALSE(gui.resultView()->isVisible());
  EXPECT_NE(chooser.last().find("expected the counts"), std::string::npos) << chooser.last();
}

// The solid as written: a translucent face ("t") and a frame face ("f") look as the solid
// file written with the OFF file draws them.
TEST_F(GuiTest, ASolutionWrittenInTheWindowsOpensInTheResultWindow) {
  writeInput("cube.txt", "{\n1,5,4,0t,-1,\n2,0,4,6f,-1,\n3,1,0,2,-1,\n5,1,3,7,-1,\n6,4,5,7,-1,\n7,3,2,6,-1,\n}\n");
  ASSERT_NO_FATAL_FAILURE(chooseFile("cube.txt"));
  click(gui_->kelmor(), "Run");
  ResultView* view = gui_->resultView();
  RunDriver driver(*gui_, [&] { return view->solutionCount() > 0; });
  click(gui_->runTime(), "RunOK");
  EXPECT_TRUE(driver.finished());
  ASSERT_EQ(view->solutionCount(), 1);
  EXPECT_TRUE(view->isVisible());
  const render::SolidMesh& mesh = view->scene().picture->mesh();
  ASSERT_EQ(mesh.points.size(), 8u);
  ASSERT_EQ(mesh.faces.size(), 6u);
  EXPECT_EQ(mesh.faces[0].ring.size(), 4u);  // "t": a ring and a pane
  EXPECT_GT(mesh.faces[0].pane, 0);
  EXPECT_LT(mesh.faces[0].pane, 255);
  EXPECT_EQ(mesh.faces[1].ring.size(), 4u);  // "f": a ring only
  EXPECT_EQ(mesh.faces[1].pane, 0);
  EXPECT_TRUE(mesh.faces[2].ring.empty());
  EXPECT_NE(view->summaryText().indexOf("cube.off   Deformation Summary (E="), -1)
      << view->summaryText().toStdString();
  EXPECT_EQ(view->summaryText().indexOf("drawn plain"), -1);
}

}  // namespace
}  // namespace kelmor::testing
