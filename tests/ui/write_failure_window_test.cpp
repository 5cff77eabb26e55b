// The windows when files cannot be written: a folder that cannot take them is named before
// the run starts, and a write that fails mid-run ends the run and goes back to the file
// selection, so that another output folder can be chosen.
#include "gui_fixture.h"
#include "run/run.h"
#include "ui/check_box.h"
#include "ui/draw_window.h"
#include "ui/file_lists.h"
#include "ui/intro.h"
#include "ui/kelmor_window.h"
#include "ui/run_time.h"

namespace kelmor::testing {
namespace {

class WriteFailureWindows : public GuiTest {
 protected:
  // The file selection with cube.txt chosen and its own output folder, then the RunTime
  // window.
  RunTime* OpenRunTime(const fs::path& out) {
    copyExample("cube.txt", "cube.txt");
    chooseFile("cube.txt");
    Kelmor* k = gui_->kelmor();
    if (control<CheckBox>(k, "OutSame")->checkState() == Qt::Checked) click(k, "OutSame");
    session_.input.OutSame = false;
    session_.input.OutDir = out.string();
    click(k, "Run");
    return gui_->runTime();
  }
};

TEST_F(WriteFailureWindows, AMissingOutputFolderIsNamedBeforeTheRunAndTheFolderCanBeChanged) {
  const fs::path gone = root_ / "gone";
  RunTime* rt = OpenRunTime(gone);
  ASSERT_TRUE(rt->isVisible());
  click(rt, "RunOK");
  EXPECT_EQ(dialogs_.last(), "Error: output folder '" + gone.string() + "' does not exist");
  // Back where another folder can be chosen.
  EXPECT_FALSE(rt->isVisible());
  EXPECT_TRUE(gui_->kelmor()->isVisible());
  EXPECT_FALSE(gui_->drawWindow()->isVisible());
  EXPECT_EQ(rt->activeRun(), nullptr);
}

TEST_F(WriteFailureWindows, AWriteThatFailsEndsTheRunAndGoesBackToTheFileSelection) {
  const fs::path out = root_ / "out";
  fs::create_directories(out);
  RunTime* rt = OpenRunTime(out);
  ASSERT_TRUE(rt->isVisible());
  DrawWindow* dw = gui_->drawWindow();
  bool pressed = false;
  RunDriver driver(*gui_, [&] {
    if (!pressed && dw->attemptsShown() > 0 && rt->activeRun() && rt->activeRun()->relax.Iteration >= 20) {
      fs::remove_all(out);
      Press(*gui_, "WriteButton");
      pressed = true;
    }
    return false;
  });
  click(rt, "RunOK");
  ASSERT_TRUE(pressed);
  EXPECT_TRUE(dialogs_.sawStart("Kelmor has come across an Error.  Code: 76File: " + (out / "cube").string()))
      << dialogs_.last();
  for (const std::string& m : dialogs_.messages) EXPECT_EQ(m.rfind("W12", 0), std::string::npos) << m;
  EXPECT_TRUE(gui_->kelmor()->isVisible());
  EXPECT_FALSE(gui_->intro()->isVisible());
  EXPECT_FALSE(dw->isVisible());
  EXPECT_EQ(rt->activeRun(), nullptr);
}

}  // namespace
}  // namespace kelmor::testing
