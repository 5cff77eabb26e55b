// The windows as a keyboard user meets them, key presses only: the unattended run that
// ends, Escape that never quits, the last file kept across a restart, Alt letters and a
// fixed Tab order, the result window's keys, the live drawing, plain messages.
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <set>

#include "gui_fixture.h"
#include "render/solid_mesh.h"
#include "run/run.h"
#include "settings/settings_file.h"
#include "ui/check_box.h"
#include "ui/draw_window.h"
#include "ui/file_lists.h"
#include "ui/help_ref.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"
#include "ui/message_advice.h"
#include "ui/qt_host.h"
#include "ui/result_view.h"
#include "ui/run_time.h"
#include "ui/solid_facing.h"
#include "ui/tab_order.h"

namespace kelmor::testing {
namespace {

class KeysOnly : public GuiTest {
 protected:
  // The input folder as the folder of the last start, output beside the input.
  void startInInputFolder() {
    session_.prefs.set("diri", inputFolder());
    session_.prefs.setFlag("otsm", true);
    gui_->kelmor()->loadFolders();
  }
  // File (Alt+F), type the start of a name, Enter: the run-time options of that file.
  RunTime* openByKeys(const QString& typed) {
    key(gui_->intro(), Qt::Key_F, Qt::AltModifier);
    Kelmor* k = gui_->kelmor();
    EXPECT_TRUE(k->isVisible());
    keys(k, typed);
    key(k, Qt::Key_Return);
    EXPECT_TRUE(gui_->runTime()->isVisible()) << dialogs_.last();
    return gui_->runTime();
  }
  // The group box of the RunTime window whose caption, without its &, is title.
  QGroupBox* group(const QString& title) {
    for (auto* g : gui_->runTime()->findChildren<QGroupBox*>())
      if (g->title().remove('&') == title) return g;
    ADD_FAILURE() << "no group " << title.toStdString();
    return nullptr;
  }
};

// An unattended run with a short stall window writes each solution once and no box;
// Escape on the viewer ends it.
TEST_F(KeysOnly, UnattendedRunWritesEachIsomorphOnceAndEndsOnEscape) {
  copyExample("truncated_icosidodecahedron.txt", "ti.txt");
  startInInputFolder();
  RunTime* rt = openByKeys("ti");
  key(rt, Qt::Key_E, Qt::AltModifier);  // "R&e-do attempts that stall for"
  ASSERT_EQ(control<CheckBox>(rt, "StallEscape")->value(), 1);
  key(rt, Qt::Key_Tab);
  ASSERT_EQ(rt->focusWidget(), control<QLineEdit>(rt, "StallWindow"));
  control<QLineEdit>(rt, "StallWindow")->selectAll();
  keys(rt, "3000");
  ASSERT_EQ(control<QLineEdit>(rt, "StallWindow")->text(), "3000");

  DrawWindow* dw = gui_->drawWindow();
  ResultView* view = gui_->resultView();
  int solutionAttempt = 0;
  bool escaped = false;
  std::vector<std::string> written;
  RunDriver driver(*gui_, [&] {
    const kelmor::Run* run = rt->activeRun();
    if (!run || escaped) return false;
    if (view->solutionCount() > static_cast<int>(written.size()))
      written.push_back(view->summaryText().toStdString());
    if (solutionAttempt == 0 && view->solutionCount() > 0) solutionAttempt = run->relax.attempts;
    // Some attempts after the first solution, each of which finds it again, then Escape.
    if (solutionAttempt > 0 && run->relax.attempts >= solutionAttempt + 3) {
      EXPECT_EQ(QApplication::activeWindow(), dw) << "the viewer keeps the keyboard";
      key(dw, Qt::Key_Escape);
      escaped = true;
    }
    return false;
  }, 60000);
  key(rt, Qt::Key_Return);
  EXPECT_TRUE(escaped) << "no solution within the polls";
  EXPECT_LT(driver.polls(), 60000) << "ended by Escape, not by the test's Quit";
  EXPECT_EQ(rt->activeRun(), nullptr);
  EXPECT_FALSE(dw->isVisible());
  EXPECT_EQ(view->solutionCount(), 1) << "the same solution again is no new isomorph";
  for (const std::string& m : dialogs_.messages) EXPECT_FALSE(QtHost::isWriteMessage(m)) << m;
  EXPECT_TRUE(fs::exists(root_ / "in" / "ti.off"));
  EXPECT_FALSE(fs::exists(root_ / "in" / "ti_isom2.off"));
}

TEST_F(KeysOnly, EscapeOnTheMainWindowDoesNotQuit) {
  Intro* intro = gui_->intro();
  key(intro, Qt::Key_Escape);
  key(intro, Qt::Key_Escape);
  EXPECT_FALSE(quitCalled_);
  EXPECT_TRUE(intro->isVisible());
  // A dialog's Escape brings the main window back; one Escape more leaves it there.
  key(intro, Qt::Key_F1);
  key(gui_->helpRef(), Qt::Key_Escape);
  key(intro, Qt::Key_Escape);
  EXPECT_TRUE(intro->isVisible());
  EXPECT_FALSE(quitCalled_);
  // Every tool shows its Alt letter underlined, Solid too, and the letter presses it.
  for (const char* tool : {"F", "P", "S", "H", "Q"})
    EXPECT_EQ(control<QToolButton>(intro, tool)->text().left(2), QString("&") + tool) << tool;
  key(intro, Qt::Key_Q, Qt::AltModifier);
  EXPECT_TRUE(quitCalled_);
}

TEST_F(KeysOnly, TheLastRunsFileIsSelectedAfterARestart) {
  copyExample("cube.txt", "cube.txt");
  copyExample("snub_cube.txt", "snub_cube.txt");
  startInInputFolder();
  RunTime* rt = openByKeys("sn");
  key(rt, Qt::Key_Escape);
  key(gui_->intro(), Qt::Key_Q, Qt::ControlModifier);
  ASSERT_TRUE(quitCalled_);

  NextStart next(session_, *gui_);
  Gui& second = next.gui;
  for (QWidget* w : gui_->windows()) w->hide();
  second.start();
  key(second.intro(), Qt::Key_F, Qt::AltModifier);
  EXPECT_EQ(control<FileList>(second.kelmor(), "InFile")->selectedFile(), "snub_cube.txt");
  key(second.kelmor(), Qt::Key_Return);
  EXPECT_TRUE(second.runTime()->isVisible());
  EXPECT_EQ(second.runTime()->windowTitle(), "Kelmor RunTime Options: snub_cube.txt");
  for (QWidget* w : second.windows()) w->hide();
}

TEST_F(KeysOnly, AltLettersReachEveryRunTimeGroup) {
  copyExample("cube.txt", "cube.txt");
  startInInputFolder();
  RunTime* rt = openByKeys("cu");
  struct Case {
    Qt::Key letter;
    const char* group;
  };
  // Local Diagonal Inflation opens with its option (Alt+I reaches the options first).
  const Case cases[] = {
      {Qt::Key_I, "Inflation"},  {Qt::Key_B, "Bands"},  {Qt::Key_U, "Augmentation"},
      {Qt::Key_R, "Relaxation"}, {Qt::Key_T, "Output"}, {Qt::Key_N, "Unattended"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.group);
    QGroupBox* g = group(c.group);
    ASSERT_NE(g, nullptr);
    if (!g->isEnabled()) continue;  // Bands: only for input that has bands
    key(rt, c.letter, Qt::AltModifier);
    ASSERT_NE(rt->focusWidget(), nullptr);
    EXPECT_TRUE(g->isAncestorOf(rt->focusWidget())) << rt->focusWidget()->objectName().toStdString();
  }
  // The groups inside Augmentation open with Augment faces ticked, by its own letter.
  key(rt, Qt::Key_A, Qt::AltModifier);
  ASSERT_EQ(control<CheckBox>(rt, "Augment")->value(), 1);
  for (const Case& c : {Case{Qt::Key_G, "Augment Options"}, Case{Qt::Key_S, "Sides"}, Case{Qt::Key_L, "Colour"}}) {
    SCOPED_TRACE(c.group);
    key(rt, c.letter, Qt::AltModifier);
    EXPECT_TRUE(group(c.group)->isAncestorOf(rt->focusWidget()));
  }
  key(rt, Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(control<CheckBox>(rt, "Augment")->value(), 0);
  // The local options, once Local Diagonal is chosen.
  control<QWidget>(rt, "InflateOption3")->setFocus();
  key(rt, Qt::Key_Space);
  key(rt, Qt::Key_D, Qt::AltModifier);
  EXPECT_TRUE(group("Local Diagonal Inflation")->isAncestorOf(rt->focusWidget()));
  // The captions keep their words.
  EXPECT_EQ(control<CheckBox>(rt, "StallEscape")->text().remove('&'), "Re-do attempts that stall for");
  EXPECT_EQ(control<CheckBox>(rt, "Once")->text().remove('&'), "Once only");
}

// Tab walks the groups in reading order, never back, whatever was opened before.
TEST_F(KeysOnly, TabOrderIsFixedAndReadsThroughTheGroups) {
  copyExample("cube.txt", "cube.txt");
  startInInputFolder();
  const QStringList groups = {"Inflation", "Augmentation", "Relaxation", "Output", "Unattended"};
  auto walk = [&](RunTime* rt) {
    std::vector<QString> seen;
    control<QWidget>(rt, "InflateOption0")->setFocus();
    for (int i = 0; i < 200 && rt->focusWidget() != control<QWidget>(rt, "RunOK"); ++i) {
      for (const QString& title : groups)
        if (group(title)->isAncestorOf(rt->focusWidget()) && (seen.empty() || seen.back() != title))
          seen.push_back(title);
      key(rt, Qt::Key_Tab);
    }
    return seen;
  };
  RunTime* rt = openByKeys("cu");
  const std::vector<QString> first = walk(rt);
  EXPECT_EQ(first, std::vector<QString>(groups.begin(), groups.end()));
  // The count of Tabs from the first control to the unattended box stays the same when the
  // window is opened again.
  auto tabsTo = [&](const char* name) {
    control<QWidget>(rt, "InflateOption0")->setFocus();
    for (int i = 0; i < 200; ++i) {
      if (rt->focusWidget() == control<QWidget>(rt, name)) return i;
      key(rt, Qt::Key_Tab);
    }
    return -1;
  };
  const int before = tabsTo("StallEscape");
  EXPECT_GT(before, 0);
  key(rt, Qt::Key_Escape);
  rt = openByKeys("cu");
  EXPECT_EQ(tabsTo("StallEscape"), before);
  // The order read from the window's layout, checked on its parts.
  const std::vector<QWidget*> unattended = ReadingOrder(group("Unattended"));
  ASSERT_EQ(unattended.size(), 4u);
  EXPECT_EQ(unattended[0], control<QWidget>(rt, "StallEscape"));
  EXPECT_EQ(unattended[1], control<QWidget>(rt, "StallWindow"));
  EXPECT_EQ(unattended[2], control<QWidget>(rt, "Search"));
  EXPECT_EQ(unattended[3], control<QWidget>(rt, "SearchAfter"));
}

TEST_F(KeysOnly, ViewerButtonsAllHaveAltLetters) {
  DrawWindow* dw = gui_->drawWindow();
  ShowEnabled(dw);
  QtHost host(dialogs_, *dw);
  struct Case {
    Qt::Key letter;
    Button button;
  };
  for (Case c : {Case{Qt::Key_R, ReReadButton}, Case{Qt::Key_G, GraphButton}, Case{Qt::Key_L, F1downButton},
                 Case{Qt::Key_M, F1upButton}, Case{Qt::Key_D, RedoButton}, Case{Qt::Key_W, WriteButton},
                 Case{Qt::Key_Q, QuitButton}}) {
    key(dw, c.letter, Qt::AltModifier);
    EXPECT_EQ(host.pollButtons(), ButtonSet(c.button)) << c.button;
  }
}

class ResultKeys : public KeysOnly {
 protected:
  ResultView* openCube() {
    writeInput("cube.off",
               "OFF\n8 6 0\n-1 -1 -1\n1 -1 -1\n1 1 -1\n-1 1 -1\n-1 -1 1\n1 -1 1\n1 1 1\n-1 1 1\n"
               "4 0 3 2 1\n4 4 5 6 7\n4 0 1 5 4\n4 2 3 7 6\n4 1 2 6 5\n4 0 4 7 3\n");
    ResultView* view = gui_->resultView();
    EXPECT_TRUE(view->showFile(QString::fromStdString((root_ / "in" / "cube.off").string())));
    ShowEnabled(view);
    return view;
  }
};

TEST_F(ResultKeys, CtrlSWritesAPngAndCtrlCCopiesIt) {
  ResultView* view = openCube();
  QString suggested;
  const QString target = QString::fromStdString((root_ / "out" / "picture.png").string());
  view->choosePicturePath = [&](const QString& s) {
    suggested = s;
    return target;
  };
  key(view, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(suggested.toStdString(), (root_ / "in" / "cube.png").string()) << "beside the solid, named after it";
  QImage saved(target);
  ASSERT_FALSE(saved.isNull()) << view->summaryText().toStdString();
  EXPECT_GE(saved.width(), view->width());
  EXPECT_GE(saved.height(), view->height());
  EXPECT_EQ(view->summaryText(), "Picture saved as " + target);
  // Something of the solid is on it: not all one colour.
  EXPECT_NE(saved.pixelColor(saved.width() / 2, saved.height() / 2), saved.pixelColor(1, 1));

  // A file that cannot be written is reported, and nothing is left behind.
  const QString blocked = QString::fromStdString((root_ / "no-such-folder" / "p.png").string());
  view->choosePicturePath = [&](const QString&) { return blocked; };
  key(view, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(view->summaryText().startsWith("Picture not saved: cannot write ")) << view->summaryText().toStdString();
  EXPECT_FALSE(fs::exists(blocked.toStdString()));
  // Cancelled: nothing.
  view->choosePicturePath = [](const QString&) { return QString(); };
  EXPECT_FALSE(view->savePicture());

  QGuiApplication::clipboard()->clear();
  key(view, Qt::Key_C, Qt::ControlModifier);
  const QImage copied = QGuiApplication::clipboard()->image();
  if (copied.isNull()) GTEST_SKIP() << "this platform keeps no clipboard";
  EXPECT_EQ(copied.size(), saved.size());
}

TEST_F(ResultKeys, EscapeCtrlWAndQCloseItAndF1OpensHelp) {
  for (auto [keyCode, modifiers] : {std::pair{Qt::Key_Escape, Qt::NoModifier}, std::pair{Qt::Key_W, Qt::ControlModifier},
                                    std::pair{Qt::Key_Q, Qt::NoModifier}}) {
    ResultView* view = openCube();
    key(view, keyCode, modifiers);
    EXPECT_FALSE(view->isVisible()) << keyCode;
  }
  ResultView* view = openCube();
  key(view, Qt::Key_F1);
  EXPECT_TRUE(gui_->helpRef()->isVisible());
}

TEST(SolidFacing, OpensWithTheLargestFaceUpAndLabelsOnlyTheSideInView) {
  // A square pyramid: the square is its largest face, whatever way it lies.
  render::SolidMesh pyramid;
  pyramid.points = {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 0, 1}};
  for (const std::vector<int>& corners :
       {std::vector<int>{0, 1, 2, 3}, {0, 4, 1}, {1, 4, 2}, {2, 4, 3}, {3, 4, 0}}) {
    pyramid.faces.emplace_back();
    pyramid.faces.back().corners = corners;
  }
  const render::Matrix3 up = UprightTurn(pyramid);
  // The square's middle (0, 0, 0) lies below the centre of the box (0, 0, 0.5): down -z.
  const Vec3 turned = render::Apply(up, Vec3{0, 0, -1});
  EXPECT_NEAR(turned.x, 0, 1e-12);
  EXPECT_NEAR(turned.y, 1, 1e-12);
  EXPECT_NEAR(turned.z, 0, 1e-12);
  // Already up, or straight down: no turn, or half a turn.
  struct Case {
    const char* how;
    Vec3 (*place)(Vec3);
    Vec3 square;  // where the square lies from the centre, placed so
  };
  const Case cases[] = {
      {"square below", [](Vec3 p) { return Vec3{p.x, p.z, p.y}; }, {0, -1, 0}},
      {"square above", [](Vec3 p) { return Vec3{p.x, -p.z, p.y}; }, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    render::SolidMesh placed = pyramid;
    for (Vec3& p : placed.points) p = c.place(p);
    EXPECT_NEAR(render::Apply(UprightTurn(placed), c.square).y, 1, 1e-12) << c.how;
  }

  // Seen down -z from +z (no turn), only the faces towards +z face the eye; the square,
  // wound either way, faces away.
  const render::Matrix3 none = render::AxisRotation({0, 1, 0}, 0);
  const Facing seen = FacingTheEye(pyramid, none, {0, 0, 0.5});
  EXPECT_EQ(seen.faces, (std::vector<bool>{false, true, true, true, true}));
  EXPECT_EQ(seen.vertices, (std::vector<bool>{true, true, true, true, true}));
  const Facing below = FacingTheEye(pyramid, render::AxisRotation({1, 0, 0}, 3.14159265358979), {0, 0, 0.5});
  EXPECT_EQ(below.faces, (std::vector<bool>{true, false, false, false, false}));
  EXPECT_FALSE(below.vertices[4]) << "the apex is behind the square";
}

// The live drawing of a repeat run that keeps finding the same solution: never blank
// once the first frame is drawn, and the model fills most of the square.
TEST_F(KeysOnly, TheLiveDrawingShowsEveryAttemptFitted) {
  copyExample("snub_cube.txt", "snub_cube.txt");
  startInInputFolder();
  RunTime* rt = openByKeys("sn");
  DrawWindow* dw = gui_->drawWindow();
  int samples = 0, blank = 0, small = 0, attempts = 0, undrawn = 0;
  long attemptFrames = 0;
  RunDriver driver(*gui_, [&] {
    const kelmor::Run* run = rt->activeRun();
    if (!run || dw->framesDrawn() == 0) return false;
    // Each attempt is drawn as it goes, not only the one before it settled.
    if (run->relax.attempts != attempts) {
      if (attempts > 0 && dw->framesDrawn() - attemptFrames < 10) ++undrawn;
      attemptFrames = dw->framesDrawn();
    }
    attempts = run->relax.attempts;
    if (run->relax.Iteration % 50 != 0) return attempts >= 6;
    ++samples;
    const QImage shown = dw->area()->pixmap(200).toImage();
    const QColor bg = dw->background();
    QRect box;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x)
        if (shown.pixelColor(x, y) != bg) box |= QRect(x, y, 1, 1);
    if (box.isEmpty()) ++blank;
    else if (std::max(box.width(), box.height()) < 0.6 * 200) ++small;
    return attempts >= 6;
  }, 60000);
  key(rt, Qt::Key_Return);
  EXPECT_GE(attempts, 6);
  EXPECT_GT(samples, 10);
  EXPECT_EQ(blank, 0) << "of " << samples;
  EXPECT_EQ(small, 0) << "of " << samples;
  EXPECT_EQ(undrawn, 0) << "attempts that were not drawn";
}

TEST(MessageAdviceText, SaysWhyAndWhatOkAndCancelDo) {
  struct Case {
    std::string text, reason;
  };
  const Case cases[] = {
      {"KELMOR has come across error, attempting to resume 62", "Error 62: the input file ended before"},
      {"KELMOR has come across error, attempting to resume 6", "Error 6: the forces grew too large"},
      {"KELMOR has come across error, attempting to resume 75", "Error 75: a file or folder that cannot be used"},
      {"KELMOR has come across error, attempting to resume 999", "Error 999: an error the run did not expect"},
  };
  for (const Case& c : cases) {
    const std::string advice = MessageAdvice(c.text);
    EXPECT_EQ(advice.rfind(c.reason, 0), 0u) << advice;
    EXPECT_NE(advice.find("OK goes on"), std::string::npos) << advice;
    EXPECT_NE(advice.find("Cancel ends the run"), std::string::npos) << advice;
  }
  EXPECT_EQ(MessageAdvice("W12: cube VRML files written"), "");
}

// A folder that cannot take the files: the box says what to do, and the keyboard lands
// where the output folder is chosen.
TEST_F(KeysOnly, AFolderProblemLeadsBackToTheOutputFolder) {
  copyExample("cube.txt", "cube.txt");
  startInInputFolder();
  RunTime* rt = openByKeys("cu");
  Kelmor* k = gui_->kelmor();
  const fs::path gone = root_ / "gone";
  control<CheckBox>(k, "OutSame")->setValue(0);
  session_.input.OutDir = gone.string();  // as the folder list would set it
  key(rt, Qt::Key_Return);
  EXPECT_EQ(dialogs_.last(), "Error: output folder '" + gone.string() + "' does not exist");
  ASSERT_FALSE(dialogs_.details.empty());
  EXPECT_NE(dialogs_.details.back().find("Choose another output folder"), std::string::npos);
  EXPECT_FALSE(rt->isVisible());
  EXPECT_TRUE(k->isVisible());
  EXPECT_EQ(k->focusWidget(), control<QWidget>(k, "OutDir"));
  EXPECT_EQ(rt->activeRun(), nullptr);
}

}  // namespace
}  // namespace kelmor::testing
