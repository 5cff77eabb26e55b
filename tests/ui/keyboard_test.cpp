// The windows driven by the keyboard alone: no mouse event in this file.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui_fixture.h"
#include "run/run.h"
#include "settings/settings_file.h"
#include "ui/check_box.h"
#include "ui/colour_pick.h"
#include "ui/colour_pref.h"
#include "ui/draw_window.h"
#include "ui/file_lists.h"
#include "ui/help_ref.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"
#include "ui/special_in.h"
#include "ui/user_pref.h"

namespace kelmor::testing {
namespace {

std::vector<std::string> Written(const fs::path& folder, const std::string& base) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::string n = e.path().filename().string();
    if (n.rfind(base, 0) == 0 && n != base + ".txt") names.push_back(n);
  }
  return names;
}

class KeyboardTest : public GuiTest {
 protected:
  // The input folder as the folder of the last start, output beside the input.
  void startInInputFolder() {
    session_.prefs.set("diri", inputFolder());
    session_.prefs.setFlag("otsm", true);
    gui_->kelmor()->loadFolders();
  }
  // "&Save Preferences" and "&Simple" share Alt+S: each press moves the focus to the
  // next of the two; Space presses the one reached.
  void openShapes() {
    Kelmor* k = gui_->kelmor();
    auto* simple = control<QWidget>(k, "SpecialInput");
    for (int i = 0; i < 2 && k->focusWidget() != simple; ++i) key(k, Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(k->focusWidget(), simple);
    key(k, Qt::Key_Space);
    ASSERT_TRUE(gui_->specialIn()->isVisible());
  }
  // File (Alt+F), type the start of a name, Enter: the run-time options of that file.
  void openByKeys(const QString& typed) {
    key(gui_->intro(), Qt::Key_F, Qt::AltModifier);
    Kelmor* k = gui_->kelmor();
    ASSERT_TRUE(k->isVisible());
    ASSERT_EQ(k->focusWidget(), control<FileList>(k, "InFile"));
    keys(k, typed);
    key(k, Qt::Key_Return);
    ASSERT_TRUE(gui_->runTime()->isVisible()) << dialogs_.last();
  }
};

TEST_F(KeyboardTest, WholeSnubCubeRunFromKeyPressesWritesItsFiles) {
  copyExample("snub_cube.txt", "snub_cube.txt");
  copyExample("cube.txt", "cube.txt");
  writeInput("snub_cube_debug.txt", "left over from an earlier run\n");
  startInInputFolder();
  ASSERT_NO_FATAL_FAILURE(openByKeys("sn"));
  RunTime* rt = gui_->runTime();
  EXPECT_EQ(rt->windowTitle(), "Kelmor RunTime Options: snub_cube.txt");

  DrawWindow* dw = gui_->drawWindow();
  bool written = false, quitSent = false, writeSent = false;
  RunDriver driver(*gui_, [&] {
    if (written && !quitSent) {
      quitSent = true;
      key(dw, Qt::Key_Q, Qt::AltModifier);  // "&Quit"
    }
    // The model as it stands after some relaxation is written from the keyboard.
    if (!written && !writeSent && rt->activeRun() && rt->activeRun()->relax.Iteration > 100) {
      writeSent = true;
      key(dw, Qt::Key_W, Qt::AltModifier);  // "&Write"
    }
    return false;
  });
  dialogs_.onMessage = [&](const std::string& text) {
    if (text.rfind("W", 0) == 0 && text.find("written") != std::string::npos) written = true;
  };
  key(rt, Qt::Key_Return);  // OK: the run happens inside this key press

  EXPECT_TRUE(written) << dialogs_.last();
  EXPECT_TRUE(quitSent);
  EXPECT_TRUE(gui_->intro()->isVisible());
  auto files = Written(root_ / "in", "snub_cube");
  bool wrl = false, off = false;
  for (const std::string& n : files) {
    wrl |= n.ends_with(".wrl");
    off |= n.ends_with(".off");
  }
  EXPECT_TRUE(wrl && off) << files.size() << " files";
  // The write message names the folder on its second line.
  ASSERT_FALSE(dialogs_.details.empty());
  EXPECT_EQ(dialogs_.details.back(), "Written to " + inputFolder());

  // Run again: F5 on the main window goes back to the options of the same file.
  EXPECT_EQ(control<QLabel>(gui_->intro(), "LastRun")->text(), "Last run: snub_cube.txt");
  key(gui_->intro(), Qt::Key_F5);
  EXPECT_TRUE(rt->isVisible());
  EXPECT_EQ(rt->windowTitle(), "Kelmor RunTime Options: snub_cube.txt");
  key(rt, Qt::Key_Escape);
  EXPECT_TRUE(gui_->intro()->isVisible());

  // The loader opens again on the same file, ready for Enter; written files are not
  // offered as input.
  key(gui_->intro(), Qt::Key_F, Qt::AltModifier);
  auto* list = control<FileList>(gui_->kelmor(), "InFile");
  EXPECT_EQ(list->selectedFile(), "snub_cube.txt");
  QStringList shown;
  for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
  EXPECT_EQ(shown, QStringList({"cube.txt", "snub_cube.txt"}));

  // The recent files from the keyboard: Alt+N, Down to the newest, Enter runs it.
  Kelmor* k = gui_->kelmor();
  keys(k, "c");
  EXPECT_EQ(list->selectedFile(), "cube.txt");
  key(k, Qt::Key_N, Qt::AltModifier);  // "Rece&nt files:"
  ASSERT_EQ(k->focusWidget(), control<QComboBox>(k, "RecentFiles"));
  key(k, Qt::Key_Down);
  EXPECT_EQ(list->selectedFile(), "snub_cube.txt");
  key(k, Qt::Key_Return);
  EXPECT_TRUE(rt->isVisible());
  EXPECT_EQ(rt->windowTitle(), "Kelmor RunTime Options: snub_cube.txt");
}

// Escape in each window, opened from the keyboard: where the focus goes back to.
TEST_F(KeyboardTest, EscapeLeavesEveryWindowTheWayItsCancelDoes) {
  copyExample("cube.txt", "cube.txt");
  startInInputFolder();
  Intro* intro = gui_->intro();
  struct Case {
    const char* name;
    std::function<QWidget*()> open;  // returns the window Escape is pressed in
    std::function<QWidget*()> back;  // the window that must be active after
  };
  const Case cases[] = {
      {"loader", [&] { key(intro, Qt::Key_F, Qt::AltModifier); return gui_->kelmor(); },
       [&] { return intro; }},
      {"run-time options",
       [&] { openByKeys("cu"); return gui_->runTime(); }, [&] { return intro; }},
      {"shapes",
       [&] {
         key(intro, Qt::Key_F, Qt::AltModifier);
         openShapes();
         return gui_->specialIn();
       },
       [&] { return intro; }},
      {"preferences", [&] { key(intro, Qt::Key_P, Qt::AltModifier); return gui_->userPref(); },
       [&] { return intro; }},
      {"help", [&] { key(intro, Qt::Key_F1); return gui_->helpRef(); },
       [&] { return intro; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* w = c.open();
    ASSERT_TRUE(w->isVisible());
    key(w, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(c.back()->isVisible());
    c.back()->activateWindow();
  }
  EXPECT_TRUE(dialogs_.saw("Default settings have not been updated"));

  // The colour table, opened from a colour button by Space: Escape gives the colour
  // preferences back.
  key(intro, Qt::Key_P, Qt::AltModifier);
  key(gui_->userPref(), Qt::Key_A, Qt::AltModifier);  // "&Adjust Colour Preferences"
  ColourPref* cp = gui_->colourPref();
  ASSERT_TRUE(cp->isVisible());
  auto* col3 = control<QPushButton>(cp, "Col3");
  col3->setFocus();
  key(cp, Qt::Key_Space);
  ColourPick* pick = gui_->colourPick();
  ASSERT_TRUE(pick->isVisible());
  EXPECT_EQ(control<QLabel>(pick, "TargetName")->text(), "Choosing the colour of: Triangles");
  EXPECT_EQ(pick->windowTitle(), "Kelmor Colour Table");
  key(pick, Qt::Key_Escape);
  EXPECT_FALSE(pick->isVisible());
  EXPECT_TRUE(cp->isEnabled());
}

TEST_F(KeyboardTest, EnterPressesTheDefaultButtonUnlessAListTakesIt) {
  copyExample("cube.txt", "cube.txt");
  startInInputFolder();
  Intro* intro = gui_->intro();
  // Enter on the main window: File, the first toolbar button.
  key(intro, Qt::Key_Return);
  Kelmor* k = gui_->kelmor();
  ASSERT_TRUE(k->isVisible());
  // No file chosen: Enter presses Run, which says so.
  auto* patt = control<QLineEdit>(k, "InPatt");
  patt->setFocus();
  key(k, Qt::Key_Return);
  EXPECT_EQ(dialogs_.last(), "You must choose a file to run");
  EXPECT_TRUE(k->isVisible());

  // Enter in the run-time options' text boxes is OK; a refused option says why.
  control<FileList>(k, "InFile")->setFocus();
  keys(k, "c");
  key(k, Qt::Key_Return);
  RunTime* rt = gui_->runTime();
  ASSERT_TRUE(rt->isVisible());
  auto* globLim = control<QLineEdit>(rt, "GlobLim");
  globLim->setFocus();
  globLim->selectAll();
  keys(rt, "0");
  key(rt, Qt::Key_Return);
  EXPECT_EQ(dialogs_.last(), "Error: Global Limit must be >= 1");
  EXPECT_TRUE(rt->isVisible());
  key(rt, Qt::Key_Escape);

  // In the shapes window: a shape, its n/d, Enter runs.
  key(intro, Qt::Key_F, Qt::AltModifier);
  ASSERT_NO_FATAL_FAILURE(openShapes());
  SpecialIn* si = gui_->specialIn();
  control<QWidget>(si, "SpecialOption3")->setFocus();
  key(si, Qt::Key_Space);
  auto* nd = control<QLineEdit>(si, "Specialnd");
  nd->setFocus();
  keys(si, "5");
  key(si, Qt::Key_Return);
  ASSERT_TRUE(rt->isVisible());
  EXPECT_EQ(rt->windowTitle(), "Kelmor RunTime Options: antiprism5");

  // Tab to Cancel and Enter: the focused button is the one pressed.
  auto* cancel = control<QPushButton>(rt, "RunCancel");
  cancel->setFocus();
  key(rt, Qt::Key_Return);
  EXPECT_FALSE(rt->isVisible());
  EXPECT_TRUE(intro->isVisible());
}

TEST_F(KeyboardTest, MainWindowKeys) {
  Intro* intro = gui_->intro();
  key(intro, Qt::Key_F1);
  EXPECT_TRUE(gui_->helpRef()->isVisible());
  key(gui_->helpRef(), Qt::Key_Return);  // Close
  EXPECT_FALSE(gui_->helpRef()->isVisible());
  EXPECT_FALSE(control<QWidget>(intro, "RunAgain")->isVisible()) << "nothing has run yet";
  key(intro, Qt::Key_F5);
  EXPECT_TRUE(intro->isVisible());
  // Tab reaches the toolbar's buttons in turn; Enter presses the one with the focus.
  EXPECT_EQ(intro->focusWidget(), control<QWidget>(intro, "F"));
  key(intro, Qt::Key_Tab);
  EXPECT_EQ(intro->focusWidget(), control<QWidget>(intro, "P"));
  key(intro, Qt::Key_Return);
  EXPECT_TRUE(gui_->userPref()->isVisible());
  EXPECT_FALSE(intro->isVisible());
  key(gui_->userPref(), Qt::Key_Escape);
  ASSERT_TRUE(intro->isVisible());
  key(intro, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_TRUE(quitCalled_);
}

// Typing a name jumps to it in both lists; Enter on a folder opens it and does not run.
TEST_F(KeyboardTest, TypeAheadInFolderAndFileLists) {
  fs::create_directories(root_ / "in" / "alpha");
  fs::create_directories(root_ / "in" / "beta");
  writeInput("beta/tetra.txt", "{0,1,2,-1,}\n");
  writeInput("beta/tri.txt", "{0,1,2,-1,}\n");
  startInInputFolder();
  key(gui_->intro(), Qt::Key_F, Qt::AltModifier);
  Kelmor* k = gui_->kelmor();
  auto* dirs = control<FolderList>(k, "InDir");
  for (int i = 0; i < dirs->count(); ++i)
    EXPECT_FALSE(dirs->item(i)->text().startsWith(' ')) << dirs->item(i)->text().toStdString();
  key(k, Qt::Key_O, Qt::AltModifier);  // "F&older:"
  ASSERT_EQ(k->focusWidget(), dirs);
  keys(k, "be");
  ASSERT_NE(dirs->currentItem(), nullptr);
  EXPECT_EQ(dirs->currentItem()->text(), "beta");
  key(k, Qt::Key_Return);
  EXPECT_EQ(dirs->path().toStdString(), (root_ / "in" / "beta").string());
  EXPECT_TRUE(k->isVisible()) << "Enter on a folder must not run";
  EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.last();

  key(k, Qt::Key_F, Qt::AltModifier);  // "&File:"
  keys(k, "tr");
  EXPECT_EQ(session_.input.InFile, "tri.txt");
}

}  // namespace
}  // namespace kelmor::testing
