// Re-running, the lists, message tones, field enabling and the colour table's range bar.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>

#include "gui_fixture.h"
#include "settings/preferences.h"
#include "settings/settings_file.h"
#include "ui/check_box.h"
#include "ui/colour_button.h"
#include "ui/colour_pick.h"
#include "ui/draw_window.h"
#include "ui/file_lists.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"
#include "ui/qt_host.h"
#include "ui/recent_files.h"
#include "ui/run_time.h"
#include "ui/user_pref.h"

namespace kelmor::testing {
namespace {

TEST(FileListFilter, WrittenFilesAreNeverOfferedAsInput) {
  const struct {
    const char* name;
    bool written;
  } cases[] = {
      {"cube.txt", false},       {"cube_debug.txt", true}, {"CUBE_DEBUG.TXT", true},
      {"debug.txt", false},      {"cube_s.wrl", true},     {"cube.off", true},
      {"cube.OFF", true},        {"cube.wrl.txt", false},  {"offset.txt", false},
  };
  for (const auto& c : cases) EXPECT_EQ(FileList::isWrittenFile(c.name), c.written) << c.name;
}

TEST(RecentFileList, NewestFirstOnceEachWithinTheLimitAndKept) {
  QTemporaryDir dir;
  const QString path = dir.filePath("cfg/recent-files");
  auto make = [&](int i) {
    QString f = dir.filePath(QString("f%1.txt").arg(i));
    QFile file(f);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return f;
  };
  RecentFiles r;
  r.setPath(path);
  EXPECT_TRUE(r.files().isEmpty());
  for (int i = 0; i < RecentFiles::Limit + 2; ++i) r.add(make(i));
  r.add(dir.filePath("f5.txt"));
  QStringList got = r.files();
  ASSERT_EQ(got.size(), RecentFiles::Limit);
  EXPECT_EQ(got.first(), dir.filePath("f5.txt"));
  EXPECT_EQ(got.count(dir.filePath("f5.txt")), 1);
  EXPECT_FALSE(got.contains(dir.filePath("f0.txt"))) << "the oldest falls out";

  // Another session reads the same list; a file deleted since is not offered.
  QFile::remove(dir.filePath("f9.txt"));
  RecentFiles again;
  again.setPath(path);
  EXPECT_EQ(again.files().size(), RecentFiles::Limit - 1);
  EXPECT_EQ(again.files().first(), dir.filePath("f5.txt"));

  // A damaged list: relative names, blank lines and binary junk are ignored.
  QFile junk(path);
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("relative.txt\n\n\x01\x02\xff\n" + dir.filePath("f1.txt").toUtf8() + "\n");
  junk.close();
  again.setPath(path);
  EXPECT_EQ(again.files(), QStringList{dir.filePath("f1.txt")});
}

TEST(MessageTones, ErrorsWarnQuestionsAsk) {
  const struct {
    const char* text;
    Tone tone;
  } cases[] = {
      {"Kelmor has come across an Error.  Code: 76File: /x/y.txt", Tone::Critical},
      {"Error: Overflow.  Try reducing some Force Strengths", Tone::Critical},
      {"Error: Subscript out of range.  Input file too large?", Tone::Critical},
      {"Error:  File or directory not found, please check the entries in Kelmor.ini",
       Tone::Critical},
      {"Kelmor has detected a problem with kelmor.ini  Delete this file and restart kelmor",
       Tone::Critical},
      {"Error: Global Limit must be >= 1", Tone::Warning},
      {"Error: You must choose an inflation option", Tone::Warning},
      {"You must choose a file to run", Tone::Warning},
      {"Input file error: Realm face can have at most four vertices", Tone::Warning},
      {"Unexpected End of File in input, check for closing brackets", Tone::Warning},
      {"Warning: Setting the vertex spheres to be > 20% is not recommended", Tone::Warning},
      {"W12: cube VRML files written", Tone::Information},
      {"Kelmor User Preferences Updated", Tone::Information},
      {"Reading Starting Positions", Tone::Information},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageTone(c.text), c.tone) << c.text;
  EXPECT_EQ(QuestionTone("Collapse possible star polygon found in input?"), Tone::Question);
  EXPECT_EQ(QuestionTone("KELMOR has come across error, attempting to resume 11"),
            Tone::Critical);
}

TEST_F(GuiTest, WriteMessagesNameTheFolderOnASecondLine) {
  QtHost host(dialogs_, *gui_->drawWindow(), "/data/out");
  const struct {
    const char* text;
    bool detail;
  } cases[] = {
      {"W12: cube VRML files written", true},
      {"W02: cube segmented VRML file written", true},
      {"Error: Zero divide", false},
      {"Was this written?", false},
  };
  for (const auto& c : cases) {
    dialogs_.details.clear();
    host.message(c.text);
    EXPECT_EQ(dialogs_.last(), c.text) << "the text itself is unchanged";
    EXPECT_EQ(dialogs_.details.size(), c.detail ? 1u : 0u) << c.text;
    if (c.detail) EXPECT_EQ(dialogs_.details[0], "Written to /data/out");
  }
}

TEST_F(GuiTest, NumberFieldsFollowTheirBoxes) {
  RunTime* rt = gui_->runTime();
  ShowEnabled(rt);
  const struct {
    const char* box;
    std::vector<const char*> fields;
  } pairs[] = {{"StressMap", {"StressMult", "StBallMult"}}, {"Smooth", {"SmoothAngle"}}};
  for (const auto& p : pairs) {
    auto* box = control<CheckBox>(rt, p.box);
    for (int v : {0, 1, 2, 0}) {
      box->setValue(v);
      for (const char* f : p.fields)
        EXPECT_EQ(control<QLineEdit>(rt, f)->isEnabled(), v == 1) << p.box << "=" << v << " " << f;
    }
    click(rt, p.box);
    for (const char* f : p.fields) EXPECT_TRUE(control<QLineEdit>(rt, f)->isEnabled()) << f;
  }
}

TEST_F(GuiTest, SuffixFieldsFollowTheirOutputFiles) {
  QWidget* up = gui_->userPref();
  const std::pair<const char*, const char*> files[] = {{"VrmlSolid", "SufSolid"},
                                                       {"VrmlCyl", "SufCyl"}};
  for (const auto& [box, suffix] : files) {
    auto* b = control<CheckBox>(up, box);
    auto* field = control<QLineEdit>(up, suffix);
    ASSERT_TRUE(b->isChecked()) << "written by default";
    EXPECT_TRUE(field->isEnabled());
    b->setChecked(false);
    EXPECT_FALSE(field->isEnabled()) << suffix;
    // Loading a preference set shows the boxes and the fields together.
    session_.prefs.setFlag(box == std::string("VrmlSolid") ? "vsol" : "vcyl", true);
    gui_->userPref()->openSaving();
    EXPECT_TRUE(field->isEnabled()) << suffix;
  }
}

TEST_F(GuiTest, FileStaysChosenAndFoldersAreKeptForTheNextStart) {
  copyExample("cube.txt", "cube.txt");
  ASSERT_NO_FATAL_FAILURE(chooseFile("cube.txt"));
  Kelmor* k = gui_->kelmor();
  click(k, "Cancel");
  click(gui_->intro(), "F");
  EXPECT_EQ(control<FileList>(k, "InFile")->selectedFile(), "cube.txt");
  EXPECT_EQ(session_.input.InFile, "cube.txt");

  // A change meant for the next run only is not saved with the folders.
  session_.prefs.set("unam", "Only This Run");
  click(k, "Run");
  ASSERT_TRUE(gui_->runTime()->isVisible());
  Preferences stored(session_.programFolder);
  LoadSettings(stored, session_.settingsPath, session_.programFolder, [](const std::string&) {});
  EXPECT_EQ(stored.text("diri"), inputFolder());
  EXPECT_NE(stored.text("unam"), "Only This Run");
  EXPECT_FALSE(dialogs_.saw("Kelmor User Preferences Updated")) << "kept quietly";

  // The next start opens the same folder; the file is among the recent ones.
  NextStart next(session_, *gui_);
  Gui& second = next.gui;
  second.start();
  EXPECT_EQ(control<FolderList>(second.kelmor(), "InDir")->path().toStdString(), inputFolder());
  auto* recent = control<QComboBox>(second.kelmor(), "RecentFiles");
  second.intro()->fileClick();
  ASSERT_EQ(recent->count(), 2);
  EXPECT_EQ(recent->itemData(1).toString().toStdString(), (root_ / "in" / "cube.txt").string());
  for (QWidget* w : second.windows()) w->hide();
}

TEST_F(GuiTest, RecentFileOpensItsFolderEvenWhenThePatternHidesIt) {
  fs::create_directories(root_ / "elsewhere");
  std::string file = (root_ / "elsewhere" / "poly.dat").string();
  std::ofstream(file) << "{0,1,2,-1,}\n";
  gui_->recent.add(QString::fromStdString(file));
  click(gui_->intro(), "F");
  Kelmor* k = gui_->kelmor();
  auto* recent = control<QComboBox>(k, "RecentFiles");
  ASSERT_EQ(recent->count(), 2);
  k->recentChosen(recent->itemData(1).toString());
  EXPECT_EQ(session_.input.InDir, (root_ / "elsewhere").string());
  EXPECT_EQ(session_.input.InFile, "poly.dat");
}

TEST_F(GuiTest, RangeBarBoxZeroCanBePicked) {
  ColourPick* pick = gui_->colourPick();
  pick->chooseFor("ColH");
  EXPECT_EQ(control<QLabel>(pick, "TargetName")->text(), "Choosing the colour of: Highlight");
  auto* slider = control<QSlider>(pick, "Slider1");
  ASSERT_EQ(slider->value(), 0);
  // Clicking a box of the bar picks it, box 0 included, where the slider already is.
  for (int box : {5, 0}) {
    auto* b = control<QLabel>(pick, ("XCol_" + std::to_string(box)).c_str());
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(control<QLabel>(pick, "XPNo")->text(), QString::number(box));
    EXPECT_EQ(control<QLabel>(pick, "XPCol")->text().toStdString(),
              ColourText(pick->rangeColour(box)));
    EXPECT_EQ(slider->value(), box);
  }
  // Home on a slider standing at 0 picks box 0 too.
  pick->sliderMoved(7);
  slider->setValue(0);
  control<QLabel>(pick, "XPNo")->setText("");
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Home);
  EXPECT_EQ(control<QLabel>(pick, "XPNo")->text(), "0");
  // The pick waits for a user colour, which stores it.
  click(pick, "UCol4");
  EXPECT_EQ(session_.prefs.text("uc04"), ColourText(pick->rangeColour(0)));
  EXPECT_TRUE(pick->isVisible()) << "storing a user colour is not choosing";
}

}  // namespace
}  // namespace kelmor::testing

namespace kelmor::testing {
namespace {

// Run again from the main window: the file or shape of the last run, or a clear message
// when the file has gone since.
TEST_F(GuiTest, RunAgainGoesBackToTheOptionsOfTheLastInput) {
  copyExample("cube.txt", "cube.txt");
  ASSERT_NO_FATAL_FAILURE(chooseFile("cube.txt"));
  Intro* intro = gui_->intro();
  RunTime* rt = gui_->runTime();
  struct Case {
    const char* name;
    std::function<void()> lastRun;
    const char* title;  // empty: the run-time options stay shut
    const char* message;
  };
  const Case cases[] = {
      {"file", [] {}, "Kelmor RunTime Options: cube.txt", ""},
      {"shape",
       [&] {
         session_.special.SpecialOption[2] = true;
         session_.special.Specialnd = "7";
       },
       "Kelmor RunTime Options: prism7", ""},
      {"file gone",
       [&] {
         session_.special.clear();
         fs::remove(root_ / "in" / "cube.txt");
       },
       "", "Kelmor has come across an Error.  Code: 76File: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.lastRun();
    gui_->kelmor()->hide();
    ShowEnabled(intro);
    intro->setLastRun("previous");
    click(intro, "RunAgain");
    EXPECT_EQ(rt->isVisible(), *c.title != '\0');
    EXPECT_NE(intro->isVisible(), rt->isVisible());
    if (*c.title) EXPECT_EQ(rt->windowTitle().toStdString(), c.title);
    if (*c.message) EXPECT_TRUE(dialogs_.sawStart(c.message)) << dialogs_.last();
    rt->hide();
  }
}

}  // namespace
}  // namespace kelmor::testing
