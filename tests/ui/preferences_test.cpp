// The preference windows: saving and run-only modes, the colour preferences and the
// colour table, down to the lines of kelmor.ini.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <sstream>

#include "gui_fixture.h"
#include "ui/colour_button.h"
#include "ui/colour_pick.h"
#include "ui/colour_pref.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"
#include "ui/user_pref.h"

namespace kelmor::testing {
namespace {

bool HasLine(const std::string& file, const std::string& line) {
  std::istringstream in(file);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (l == line) return true;
  }
  return false;
}

QColor CentrePixel(QWidget* w) {
  QImage img = w->grab().toImage();
  return img.pixelColor(img.width() / 2, img.height() / 2);
}

class PrefTest : public GuiTest {
 protected:
  // The preferences window opened from the main window (saving mode).
  UserPref* openSaving() {
    click(gui_->intro(), "P");
    UserPref* up = gui_->userPref();
    EXPECT_TRUE(up->isVisible());
    EXPECT_EQ(control<QLabel>(up, "Notice")->text().toStdString(), UserPref::SavingNotice);
    return up;
  }
  std::string ini() const { return ReadAll(session_.settingsPath); }
};

TEST_F(PrefTest, ColourChosenFromTheTableIsSaved) {
  UserPref* up = openSaving();
  click(up, "cmdColour");
  ColourPref* cp = gui_->colourPref();
  ASSERT_TRUE(cp->isVisible());
  EXPECT_EQ(cp->windowTitle(), "Kelmor Colour Preferences");
  EXPECT_FALSE(up->isEnabled());

  // A cube colour for the triangles.
  click(cp, "Col3");
  ColourPick* pick = gui_->colourPick();
  ASSERT_TRUE(pick->isVisible());
  EXPECT_EQ(pick->windowTitle(), "Kelmor Colour Table");
  EXPECT_FALSE(cp->isEnabled());
  click(pick, "Col215");
  EXPECT_FALSE(pick->isVisible());
  EXPECT_TRUE(cp->isEnabled());
  EXPECT_EQ(control<QLineEdit>(cp, "Colour3")->text(), "0.0.0");
  EXPECT_EQ(control<ColourButton>(cp, "Col3")->colour(), (Rgb{0, 0, 0}));

  // A metal for the background.
  click(cp, "ColB");
  click(pick, "MVal1");
  EXPECT_EQ(control<QLineEdit>(cp, "VRMLBack")->text(), "181.166.66");

  // A range colour stored in a user colour, then chosen from there.
  click(cp, "ColLF");
  control<QSlider>(pick, "Slider1")->setValue(62);
  EXPECT_EQ(control<QLabel>(pick, "XPNo")->text(), "62");
  EXPECT_EQ(control<QLabel>(pick, "XPCol")->text(), "250.250.250");
  EXPECT_EQ(control<QLabel>(pick, "Prompt")->text(),
            "Now choose a user defined colour to store your selection");
  click(pick, "UCol3");
  EXPECT_TRUE(pick->isVisible()) << "storing a user colour chooses nothing yet";
  EXPECT_EQ(control<QWidget>(pick, "UCol3")->toolTip(), "250.250.250");
  click(pick, "UCol3");
  EXPECT_FALSE(pick->isVisible());
  EXPECT_EQ(control<QLineEdit>(cp, "LabFCol")->text(), "250.250.250");

  click(cp, "cmdOK");
  EXPECT_FALSE(cp->isVisible());
  EXPECT_TRUE(up->isEnabled());
  click(up, "cmdOK");
  EXPECT_EQ(dialogs_.last(), "Kelmor User Preferences Updated");
  EXPECT_FALSE(up->isVisible());
  EXPECT_TRUE(gui_->intro()->isVisible());
  std::string file = ini();
  EXPECT_TRUE(HasLine(file, "clp3=0.0.0")) << file;
  EXPECT_TRUE(HasLine(file, "colb=181.166.66"));
  EXPECT_TRUE(HasLine(file, "lbcf=250.250.250"));
  EXPECT_TRUE(HasLine(file, "uc03=250.250.250"));
}

TEST_F(PrefTest, SuffixClashIsRefusedAndNothingIsWritten) {
  std::string before = ini();
  UserPref* up = openSaving();
  type(up, "SufSwitch", "solid");
  click(up, "cmdOK");
  EXPECT_EQ(dialogs_.last(), "Error: Suffixes for selected output files must be different");
  EXPECT_TRUE(up->isVisible());
  EXPECT_EQ(ini(), before);

  click(up, "VrmlSwitch");  // not written: the same suffix no longer clashes
  click(up, "LabelOption0");
  click(up, "cmdOK");
  EXPECT_EQ(dialogs_.last(), "Kelmor User Preferences Updated");
  std::string after = ini();
  EXPECT_TRUE(HasLine(after, "sswt=solid"));
  EXPECT_TRUE(HasLine(after, "vswt=0"));
  EXPECT_TRUE(HasLine(after, "vlab=0"));
}

TEST_F(PrefTest, TransparencyAboveOneIsRefusedOnlyWhenSaving) {
  std::string before = ini();
  UserPref* up = openSaving();
  type(up, "TranLevel", "1.5");
  click(up, "cmdOK");
  EXPECT_EQ(dialogs_.last(), "Error: Transparency Level must be between 0 and 1");
  EXPECT_TRUE(up->isVisible());
  EXPECT_EQ(ini(), before);
  click(up, "cmdCancel");
  EXPECT_EQ(dialogs_.last(), "Default settings have not been updated");

  // From the run-time options the value is for the next run only, and accepted.
  copyExample("cube.txt", "cube.txt");
  ASSERT_NO_FATAL_FAILURE(chooseFile("cube.txt"));
  click(gui_->kelmor(), "Run");
  RunTime* rt = gui_->runTime();
  click(rt, "Pref");
  ASSERT_TRUE(up->isVisible());
  EXPECT_EQ(control<QLineEdit>(up, "TranLevel")->text(), "1.5");
  size_t messages = dialogs_.messages.size();
  click(up, "cmdOK");
  EXPECT_EQ(dialogs_.messages.size(), messages) << dialogs_.last();
  EXPECT_FALSE(up->isVisible());
  EXPECT_TRUE(rt->isEnabled());
  EXPECT_EQ(control<QPushButton>(rt, "Pref")->text(), "&Preferences");
  EXPECT_EQ(control<QLabel>(up, "Notice")->text().toStdString(), UserPref::SavingNotice);
  EXPECT_EQ(session_.prefs.text("tran"), "1.5");
  // The run kept its folders for the next start; the value for this run only is not
  // saved.
  EXPECT_TRUE(HasLine(ini(), "tran=0.5"));
  EXPECT_TRUE(HasLine(ini(), "diri=" + inputFolder()));
}

TEST_F(PrefTest, ResetAndTheVertexSphereWarning) {
  std::string before = ini();
  UserPref* up = openSaving();
  type(up, "Force1", "7");
  type(up, "Force5", "8");
  click(up, "cmdReset");
  EXPECT_EQ(control<QLineEdit>(up, "Force1")->text(), "100");
  EXPECT_EQ(control<QLineEdit>(up, "Force5")->text(), "20");
  EXPECT_EQ(session_.prefs.text("f005"), "20");
  EXPECT_EQ(ini(), before);

  // Leaving the box (Tab) checks it; Enter would be the window's OK.
  auto* size = control<QLineEdit>(up, "VertexSize");
  size->setFocus();
  type(up, "VertexSize", "15");
  key(up, Qt::Key_Tab);
  EXPECT_TRUE(dialogs_.messages.empty());
  size->setFocus();
  type(up, "VertexSize", "25");
  key(up, Qt::Key_Tab);
  EXPECT_EQ(dialogs_.last(),
            "Warning: Setting the vertex spheres to be > 20% is not recommended as it only "
            "serves to highlight the shortcomings of VRML's sphere node.");
  EXPECT_EQ(session_.prefs.text("vxsz"), "25");
  size->setFocus();
  key(up, Qt::Key_Tab);  // unchanged: no second warning
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST_F(PrefTest, ColourTableContents) {
  ColourPick* pick = gui_->colourPick();
  pick->chooseFor("Col3");
  auto* first = control<ColourButton>(pick, "Col0");
  auto* last = control<ColourButton>(pick, "Col215");
  EXPECT_EQ(first->colour(), (Rgb{255, 255, 255}));
  EXPECT_EQ(first->toolTip(), "255.255.255");
  EXPECT_EQ(last->colour(), (Rgb{0, 0, 0}));
  EXPECT_EQ(last->toolTip(), "0.0.0");
  EXPECT_EQ(CentrePixel(first), QColor(255, 255, 255));
  EXPECT_EQ(CentrePixel(last), QColor(0, 0, 0));
  EXPECT_EQ(control<ColourButton>(pick, "Col44")->colour(), (Rgb{204, 204, 153}));  // 36+6+2
  EXPECT_EQ(control<ColourButton>(pick, "MVal4")->toolTip(), "230.232.250");

  // The default bar runs from 0.0.0 to 255.255.255 and stops short of white.
  EXPECT_EQ(pick->rangeColour(62), (Rgb{250, 250, 250}));
  EXPECT_EQ(control<QLabel>(pick, "XCol_62")->toolTip(), "250.250.250");
  EXPECT_EQ(control<QLabel>(pick, "XCol_0")->toolTip(), "0.0.0");

  // A new left colour: the next colour pressed, not handed back.
  click(pick, "XCol1");
  EXPECT_EQ(dialogs_.last(), "Now choose a colour to use as the left range colour");
  click(pick, "Col5");  // 255.255.0
  EXPECT_TRUE(pick->isVisible());
  EXPECT_EQ(control<QWidget>(pick, "XCol1")->toolTip(), "255.255.0");
  EXPECT_EQ(session_.prefs.text("xcl1"), "255.255.0");
  EXPECT_EQ(pick->rangeColour(0), (Rgb{255, 255, 0}));
  EXPECT_EQ(pick->rangeColour(62), (Rgb{255, 255, 250}));
  click(pick, "XCol2");
  EXPECT_EQ(dialogs_.last(), "Now choose a colour to use as the right range colour");
}

TEST_F(PrefTest, ColourTextPaintsItsButton) {
  UserPref* up = openSaving();
  click(up, "cmdColour");
  ColourPref* cp = gui_->colourPref();
  type(cp, "Colour3", "205");
  auto* button = control<ColourButton>(cp, "Col3");
  EXPECT_EQ(button->colour(), (Rgb{205, 205, 205}));
  EXPECT_EQ(CentrePixel(button), QColor(205, 205, 205));
  type(cp, "Colour3", "255.128.0");
  EXPECT_EQ(CentrePixel(button), QColor(255, 128, 0));
  EXPECT_EQ(session_.prefs.text("clp3"), "255.128.0");
  // Every colour preference has its button painted from its box.
  size_t count = 0;
  const ColourPref::Entry* entries = ColourPref::entries(count);
  EXPECT_EQ(count, 35u);
  for (size_t i = 0; i < count; ++i) {
    auto* b = control<ColourButton>(cp, entries[i].button);
    EXPECT_EQ(b->colour(), ColourOfText(session_.prefs.text(entries[i].key))) << entries[i].key;
  }
  click(cp, "RhomColO");
  EXPECT_EQ(session_.prefs.text("rclo"), "1");
}

TEST(ColourText, WindowReadingRules) {
  EXPECT_EQ(ColourOfText("205"), (Rgb{205, 205, 205}));
  EXPECT_EQ(ColourOfText("1.2.3"), (Rgb{1, 2, 3}));
  EXPECT_EQ(ColourOfText("10.20.3004"), (Rgb{10, 20, 255})) << "blue: three characters at most";
  EXPECT_EQ(ColourOfText("10.20"), (Rgb{10, 20, 0}));
  EXPECT_EQ(ColourOfText("300.-5.abc"), (Rgb{255, 0, 0}));
  EXPECT_EQ(ColourOfText(""), (Rgb{0, 0, 0}));
  EXPECT_EQ(ColourValue({1, 2, 3}), 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(ColourText(ColourValue({181, 166, 66})), "181.166.66");
}

}  // namespace
}  // namespace kelmor::testing

namespace kelmor::testing {
namespace {

TEST_F(PrefTest, ExportChoiceIsSavedBesideKelmorIniNotInIt) {
  UserPref* up = openSaving();
  control<QCheckBox>(up, "ExportGlb")->setChecked(true);
  control<QCheckBox>(up, "Export3mf")->setChecked(true);
  QLineEdit* scale = control<QLineEdit>(up, "ExportScale");
  scale->setText("25mm");
  click(up, "cmdOK");
  EXPECT_TRUE(up->isVisible()) << "an unreadable edge length keeps the window open";
  fs::path exportIni = fs::path(session_.settingsPath).parent_path() / "kelmor-export.ini";
  EXPECT_FALSE(fs::exists(exportIni));
  scale->setText("25");
  click(up, "cmdOK");
  EXPECT_FALSE(up->isVisible());
  std::string saved = ReadAll(exportIni);
  EXPECT_TRUE(HasLine(saved, "formats=glb,3mf")) << saved;
  EXPECT_TRUE(HasLine(saved, "scale=25")) << saved;
  EXPECT_EQ(ini().find("glb"), std::string::npos) << "kelmor.ini keeps only its own keys";
  // Opened again, the window shows the choice.
  up = openSaving();
  EXPECT_TRUE(control<QCheckBox>(up, "ExportGlb")->isChecked());
  EXPECT_FALSE(control<QCheckBox>(up, "ExportStl")->isChecked());
  EXPECT_EQ(control<QLineEdit>(up, "ExportScale")->text(), "25");
}

}  // namespace
}  // namespace kelmor::testing
