// The unattended choice of the RunTime window: ticked, a run from the windows escapes
// stalled attempts and searches its starts as the command line does; unticked, the run
// is the attempt loop of old. The choice lives beside kelmor.ini, never in it.
#include <QLabel>
#include <QLineEdit>
#include <map>
#include <sstream>

#include "gui_fixture.h"
#include "input/parser.h"
#include "ui/check_box.h"
#include "ui/draw_window.h"
#include "ui/kelmor_window.h"
#include "ui/qt_host.h"
#include "ui/result_view.h"
#include "ui/run_time.h"

namespace kelmor::testing {
namespace {

// Every file of a folder and its bytes.
std::map<std::string, std::string> Contents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) files[e.path().filename().string()] = ReadAll(e.path());
  return files;
}

class UnattendedTest : public GuiTest {
 protected:
  fs::path choiceFile() const { return root_ / "kelmor-unattended.ini"; }

  // The RunTime window for an example copied into the input folder, written there.
  RunTime* options(const std::string& example, const std::string& as) {
    copyExample(example, as);
    chooseFile(as);
    Kelmor* k = gui_->kelmor();
    if (control<CheckBox>(k, "OutSame")->value() != 1) click(k, "OutSame");
    click(k, "Run");
    RunTime* rt = gui_->runTime();
    EXPECT_TRUE(rt->isVisible());
    return rt;
  }

  // Runs with OK until the first solution is written (a repeat run writes exact solutions
  // without a message), then Quit; returns every text the viewer's message line showed,
  // in order, without repeats.
  std::vector<std::string> runToFirstSolution(RunTime* rt, int maxPolls = 20000) {
    std::vector<std::string> shown;
    auto* line = control<QLabel>(gui_->drawWindow(), "Duplicate");
    ResultView* view = gui_->resultView();
    written_ = false;
    RunDriver driver(*gui_, [&] {
      const std::string now = line->text().toStdString();
      if (!now.empty() && (shown.empty() || shown.back() != now)) shown.push_back(now);
      // One poll more after the write, for the line that tells how it was found.
      if (written_) return true;
      written_ = view->solutionCount() > 0;
      return false;
    }, maxPolls);
    click(rt, "RunOK");
    return shown;
  }

  bool written_ = false;
};

bool AnyStarts(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& l : lines)
    if (l.rfind(start, 0) == 0) return true;
  return false;
}

// The great rhombicosidodecahedron settles in false minima from random starts; with the
// stall escape and the search ticked (the search after one failed attempt), the run from
// the windows ends its first attempt itself and the search's start solves it.
TEST_F(UnattendedTest, TickedTheHardSolidIsSolvedThroughTheStallWatchAndTheSearch) {
  session_.seed = 1;  // a first attempt that stalls in a false minimum
  RunTime* rt = options("hard/great_rhombicosidodecahedron.txt", "grid.txt");
  EXPECT_FALSE(control<QLineEdit>(rt, "StallWindow")->isEnabled()) << "follows its box";
  click(rt, "StallEscape");
  EXPECT_TRUE(control<QLineEdit>(rt, "StallWindow")->isEnabled());
  type(rt, "StallWindow", "2000");
  click(rt, "Search");
  type(rt, "SearchAfter", "1");
  std::vector<std::string> shown = runToFirstSolution(rt);

  ASSERT_TRUE(written_) << "no solution within the polls; " << dialogs_.last();
  // The policies spoke on the viewer's message line, as a person would read it: the stall
  // watch ended the first attempt, and the line names the search's start that solved it.
  EXPECT_TRUE(AnyStarts(shown, "Stalled: attempt 1 at E ")) << (shown.empty() ? "" : shown.front());
  const std::string found = "Search: spectral start 1 of ";
  EXPECT_TRUE(AnyStarts(shown, found)) << (shown.empty() ? "" : shown.back());
  for (const std::string& l : shown)
    if (l.rfind(found, 0) == 0) EXPECT_NE(l.find(", search step 1 found it at attempt 2"), std::string::npos) << l;
  // The solution was exact but still creeping, and the watch judged it settled: it is
  // written as the run's own write test writes one, with no box to answer.
  for (const std::string& m : dialogs_.messages) EXPECT_FALSE(QtHost::isWriteMessage(m)) << m;
  EXPECT_TRUE(fs::exists(root_ / "in" / "grid.off"));

  // The choice is kept beside kelmor.ini for the next run, and not in it.
  EXPECT_EQ(ReadAll(choiceFile()),
            "; Kelmor: unattended choices of runs from the windows\n"
            "stall=on\nstall-window=2000\nsearch=on\nsearch-after=1\n");
  const std::string ini = ReadAll(session_.settingsPath);
  EXPECT_EQ(ini.find("stall"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("search"), std::string::npos) << ini;
  rt->prepare(ScanResult{});
  EXPECT_EQ(control<CheckBox>(rt, "StallEscape")->value(), 1);
  EXPECT_EQ(control<QLineEdit>(rt, "SearchAfter")->text(), "1");
}

// Unticked, nothing of the policies reaches the run: the cube writes the same files, with
// no choice file at all and with one whose boxes are off; ticked with a search that
// never starts and a window never reached, it writes them too (the policies only act).
TEST_F(UnattendedTest, UntickedOrIdleTheRunWritesWhatItWroteBefore) {
  std::vector<std::map<std::string, std::string>> outputs;
  std::vector<std::vector<std::string>> lines;
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    fs::remove_all(root_ / "in");
    fs::create_directories(root_ / "in");
    if (variant == 1) std::ofstream(choiceFile()) << "stall=off\nstall-window=5\nsearch=off\nsearch-after=0\n";
    RunTime* rt = options("cube.txt", "cube.txt");
    if (variant == 2) {
      click(rt, "StallEscape");
      type(rt, "StallWindow", "100000");
      click(rt, "Search");
      type(rt, "SearchAfter", "1000");
    }
    lines.push_back(runToFirstSolution(rt));
    ASSERT_TRUE(written_);
    outputs.push_back(Contents(root_ / "in"));
    if (variant == 0) EXPECT_FALSE(fs::exists(choiceFile())) << "an untouched choice leaves no file";
  }
  EXPECT_GT(outputs[0].size(), 3u);
  // The solution's facts are written beside its files, as from the command line.
  ASSERT_EQ(outputs[0].count("cube_facts.txt"), 1u);
  EXPECT_NE(outputs[0]["cube_facts.txt"].find("symmetry: Oh"), std::string::npos) << outputs[0]["cube_facts.txt"];
  EXPECT_EQ(outputs[1], outputs[0]);
  EXPECT_EQ(outputs[2], outputs[0]);
  EXPECT_TRUE(lines[0].empty()) << lines[0].front();
  EXPECT_TRUE(lines[1].empty()) << lines[1].front();
  EXPECT_EQ(lines[2], std::vector<std::string>{"Search: random start found it at attempt 1"});
}

// A damaged choice file is named with its line; what it could give still counts, and the
// run goes on. Numbers the run cannot take are refused before it starts.
TEST_F(UnattendedTest, DamagedChoiceFileAndRefusedNumbers) {
  std::ofstream(choiceFile()) << "stall=on\nstall-window=lots\nsearch=on\n";
  RunTime* rt = options("cube.txt", "cube.txt");
  ASSERT_FALSE(dialogs_.messages.empty());
  EXPECT_EQ(dialogs_.last(), "The unattended choice could not be read whole (" + choiceFile().string() +
                                 " line 2: stall-window takes 1 to 1000000000 iterations, not 'lots'); "
                                 "what it could not give stays unticked or at its default.");
  EXPECT_EQ(control<CheckBox>(rt, "StallEscape")->value(), 1);
  EXPECT_EQ(control<QLineEdit>(rt, "StallWindow")->text(), "10000");
  EXPECT_EQ(control<CheckBox>(rt, "Search")->value(), 1);

  const size_t before = dialogs_.messages.size();
  type(rt, "StallWindow", "0");
  click(rt, "RunOK");
  EXPECT_EQ(dialogs_.last(), "The stall window is a whole number of iterations from 1 to 1000000000.");
  type(rt, "StallWindow", "2000");
  type(rt, "SearchAfter", "-3");
  click(rt, "RunOK");
  EXPECT_EQ(dialogs_.last(), "The search starts after a whole number of failed attempts from 0 to 1000000.");
  EXPECT_EQ(dialogs_.messages.size(), before + 2);
  EXPECT_TRUE(rt->isVisible()) << "a refused number starts no run";
  EXPECT_EQ(ReadAll(choiceFile()), "stall=on\nstall-window=lots\nsearch=on\n") << "nothing saved yet";
  // Unticked, a bad number is no obstacle; the one kept is the last sound one.
  click(rt, "Search");
  EXPECT_FALSE(control<QLineEdit>(rt, "SearchAfter")->isEnabled());
  // Once only asks for one attempt: the choice does not apply.
  click(rt, "Once");
  EXPECT_FALSE(control<QWidget>(rt, "UnattendedFrame")->isEnabled());
  click(rt, "Once");
  EXPECT_TRUE(control<QWidget>(rt, "UnattendedFrame")->isEnabled());
  // The run saves the choice whole, in place of the damaged file.
  runToFirstSolution(rt);
  EXPECT_TRUE(written_);
  EXPECT_EQ(ReadAll(choiceFile()),
            "; Kelmor: unattended choices of runs from the windows\n"
            "stall=on\nstall-window=2000\nsearch=off\nsearch-after=8\n");
}

}  // namespace
}  // namespace kelmor::testing
