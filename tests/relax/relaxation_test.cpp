#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "model/geometry.h"
#include "model/numtext.h"
#include "relax/engine.h"
#include "run/error_handler.h"
#include "support/file_text.h"
#include "support/relax_fixture.h"
#include "support/temp_folder.h"

namespace kelmor::testing {
namespace {

const std::vector<std::array<double, 3>> TetraStart = {
    {0.9, 0.1, -0.3}, {-0.4, 0.8, 0.2}, {0.1, -0.7, 0.6}, {-0.2, 0.05, -0.9}};

std::vector<Face> TetrahedronFaces(const std::string& code = {}) {
  return {Face{{0, 1, 2}, 1, code}, Face{{0, 3, 1}, 1, code}, Face{{0, 2, 3}, 1, code},
          Face{{1, 3, 2}, 1, code}};
}

double Distance(const kelmor::Run& run, int a, int b) {
  const Model& m = run.model;
  return VectorLength(m.PosX[a] - m.PosX[b], m.PosY[a] - m.PosY[b], m.PosZ[a] - m.PosZ[b]);
}

TEST(RelaxationLoop, FacesAllCodedNOnlyDriftAndStayCentred) {
  RelaxRig rig(TetrahedronFaces("n"));
  rig.StartAt(TetraStart);
  rig.host.quitAfterPolls = 5;
  EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::EndRun);
  EXPECT_EQ(rig.run.relax.Iteration, 50);
  double cx = 0, cy = 0, cz = 0;
  for (int v = 0; v < 4; ++v) {
    cx += rig.run.model.PosX[v], cy += rig.run.model.PosY[v], cz += rig.run.model.PosZ[v];
    for (int w = v + 1; w < 4; ++w) {
      const double start = VectorLength(TetraStart[v][0] - TetraStart[w][0], TetraStart[v][1] - TetraStart[w][1],
                                        TetraStart[v][2] - TetraStart[w][2]);
      EXPECT_NEAR(Distance(rig.run, v, w), start, 1e-15);
    }
  }
  EXPECT_NEAR(VectorLength(cx, cy, cz), 0, 1e-15);
}

TEST(RelaxationLoop, SettledFiguresWriteOneHundredAndOneIterationsAfterTheReference) {
  RelaxRig rig(TetrahedronFaces("n"));
  rig.StartAt(TetraStart);
  rig.run.RunMode = 1;
  rig.run.DebugOn = 1;
  rig.run.debug.Create((rig.folder / "model_debug.txt").string());
  EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::EndRun);
  // E and P are 0 from the first iteration on; they stop changing at iteration 2.
  EXPECT_EQ(rig.session.ReferenceIteration, 2);
  EXPECT_EQ(rig.run.relax.Iteration, 103);
  EXPECT_TRUE(rig.host.saw("W11: model  VRML files written"));
  const std::string debug = ReadAll(rig.folder / "model_debug.txt");
  EXPECT_NE(debug.find("Iteration:  103  Deform:  0  Deforp:  0 \r\n"), std::string::npos) << debug;
  EXPECT_NE(debug.find("  Change since last iteration:  0 \r\n"), std::string::npos);
  EXPECT_NE(debug.find("       Change since iteration:  2  0 \r\n"), std::string::npos);
  EXPECT_NE(debug.find("  Writing output files after iteration : 103 \r\n"), std::string::npos);

  // The reference survives into the next run of the session.
  RelaxRig again(TetrahedronFaces("n"));
  again.session.ReferenceIteration = 500;
  again.run.RunMode = 1;
  EXPECT_EQ(RunAttempt(again.run), LoopOutcome::EndRun);
  EXPECT_EQ(again.run.relax.Iteration, 601);
}

TEST(RelaxationLoop, AFailedWriteIsNotReportedAsWritten) {
  RelaxRig rig(TetrahedronFaces("n"));
  rig.run.RunMode = 1;
  rig.run.OutputDir = (rig.folder / "missing" / "folder").string();
  // The run ends at the failed write, without asking whether to resume.
  try {
    RunAttempt(rig.run);
    FAIL() << "the run went on";
  } catch (const RunAbandoned& a) {
    EXPECT_TRUE(a.writeFailed);
  }
  EXPECT_TRUE(rig.host.okCancelQuestions.empty());
  ASSERT_EQ(rig.host.messages.size(), 1u);
  EXPECT_EQ(rig.host.messages[0].rfind("Kelmor has come across an Error.  Code: 76File: " + rig.run.OutputDir, 0), 0u);
  EXPECT_TRUE(rig.host.written.empty());
}

TEST(RelaxationLoop, ForcesThatBlowUpEndTheRunWithTheOverflowMessage) {
  RelaxRig rig(CubeFaces());
  rig.run.Strength[1] = rig.run.Strength[2] = 1e6;
  EXPECT_THROW(GuardedStep(rig.run, [&] { RunAttempt(rig.run); }), RunAbandoned);
  EXPECT_EQ(rig.host.okCancelQuestions,
            std::vector<std::string>{"KELMOR has come across error, attempting to resume 6"});
  EXPECT_TRUE(rig.host.saw("Error: Overflow.  Try reducing some Force Strengths"));
}

TEST(RelaxationLoop, XYConfineKeepsAFlatModelFlatAndItSettlesRegular) {
  RelaxRig rig({Face{{0, 1, 2, 3, 4, 5, 6}, 1, {}}});
  rig.session.options.XYConfine = 1;
  rig.run.RunMode = 1;
  EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::EndRun);
  EXPECT_TRUE(rig.host.saw("W11: model  VRML files written"));
  for (int v = 0; v <= 6; ++v) EXPECT_EQ(rig.run.model.PosZ[v], 0.0);
  EXPECT_LT(rig.run.relax.EdgeDeform, 1e-9);
  EXPECT_LT(rig.run.relax.PolyDeform, 1e-9);
  for (int v = 0; v <= 6; ++v) EXPECT_NEAR(Distance(rig.run, v, (v + 1) % 7), 1.0, 1e-9);
}

TEST(RelaxationLoop, InputCoordinatesServeTheFirstAttemptOnly) {
  RelaxRig rig(TetrahedronFaces());
  rig.StartAt(TetraStart);
  SetStartingPositions(rig.run);
  EXPECT_EQ(rig.run.model.PosY[2], TetraStart[2][1]);
  SetStartingPositions(rig.run);
  EXPECT_EQ(rig.run.model.PosX[0], 0.0);  // index 0 was cleared: vertex 0 starts at 0
  EXPECT_NE(rig.run.model.PosY[2], TetraStart[2][1]);
}

TEST(DrawWindowButtons, QuitEndsTheRunAtTheTenthIteration) {
  RelaxRig rig(CubeFaces());
  rig.host.buttonsAtPoll[1] = QuitButton | WriteButton;
  EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::EndRun);
  EXPECT_EQ(rig.run.relax.Iteration, 10);
  EXPECT_EQ(rig.host.hides, 1);
  EXPECT_TRUE(rig.host.messages.empty());  // Quit comes before Write in the poll
}

TEST(DrawWindowButtons, StrengthButtonsAndTheirCancellation) {
  RelaxRig rig(CubeFaces());
  rig.host.buttonsAtPoll[1] = F1upButton;
  rig.host.buttonsAtPoll[2] = F1upButton | F1downButton;
  rig.host.buttonsAtPoll[3] = QuitButton;
  RunAttempt(rig.run);
  EXPECT_EQ(rig.run.Strength[1], 500.0);
  RelaxRig down(CubeFaces());
  down.host.buttonsAtPoll[1] = F1downButton;
  down.host.buttonsAtPoll[2] = QuitButton;
  RunAttempt(down.run);
  EXPECT_EQ(down.run.Strength[1], 20.0);
}

TEST(DrawWindowButtons, RedoStartsANewAttemptWithTheStrengthsReloaded) {
  RelaxRig rig(CubeFaces());
  rig.run.Strength[1] = 7;
  rig.run.Strength[5] = 3;
  rig.host.buttonsAtPoll[1] = RedoButton;
  EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::NewAttempt);
  EXPECT_EQ(rig.run.relax.Iteration, 10);
  EXPECT_EQ(rig.run.Strength[1], 100.0);
  EXPECT_EQ(rig.run.Strength[5], 20.0);
}

TEST(DrawWindowButtons, ReReadGraphAndWrite) {
  RelaxRig reread(CubeFaces());
  reread.host.buttonsAtPoll[1] = ReReadButton;
  EXPECT_EQ(RunAttempt(reread.run), LoopOutcome::ReRead);

  RelaxRig graph(CubeFaces());
  graph.host.buttonsAtPoll[1] = GraphButton;
  graph.host.buttonsAtPoll[2] = QuitButton;
  RunAttempt(graph.run);
  EXPECT_EQ(graph.run.GraphicsOn, 0.0);

  RelaxRig write(CubeFaces(), "cube");
  write.run.IsomorphIndex = 3;
  write.host.buttonsAtPoll[1] = WriteButton;
  EXPECT_EQ(RunAttempt(write.run), LoopOutcome::NewAttempt);
  EXPECT_EQ(write.run.OutputName, "cube");
  EXPECT_EQ(write.host.messages, std::vector<std::string>{"W12: cube VRML files written"});
}

TEST(DrawWindow, FiguresEveryTenthIteration) {
  RelaxRig rig(CubeFaces());
  rig.host.quitAfterPolls = 3;
  RunAttempt(rig.run);
  ASSERT_EQ(rig.host.figures.size(), 3u);
  const DrawFigures& f = rig.host.figures[1];
  EXPECT_EQ(f.iteration, 20);
  EXPECT_EQ(f.attempt, 1);
  EXPECT_EQ(f.IsomNo, "1");
  EXPECT_EQ(f.ExpandOpt, "none");
  EXPECT_EQ(f.EdgeDef, NumberText(f.edgeDeform, "##0.0###############"));
  EXPECT_EQ(f.PolyDef, NumberText(f.polyDeform, "##0.0###############"));
  EXPECT_EQ(rig.host.captions, std::vector<std::string>{"model Isom 1"});
}

// Records the frames and whether each attempt window was cleared.
class DrawingHost : public QuittingHost {
 public:
  std::vector<bool> clears;
  std::vector<size_t> lineCounts;
  bool coloursInRange = true;
  void showAttemptWindow(const std::string& caption, bool clear,
                         std::span<const DepthColour, 16> palette) override {
    QuittingHost::showAttemptWindow(caption, clear, palette);
    clears.push_back(clear);
  }
  void drawFrame(std::span<const DrawLine> lines) override {
    QuittingHost::drawFrame(lines);
    lineCounts.push_back(lines.size());
    for (const DrawLine& l : lines) coloursInRange = coloursInRange && l.colour >= 0 && l.colour <= 15;
  }
};

// Drawing switches itself off once an attempt settles. Where frames are drawn, the next
// attempt is drawn again from a cleared square, so the window never shows an empty or
// stale drawing while a repeat run goes on; elsewhere drawing stays off.
TEST(DrawWindow, DrawingStopsOnceSettledAndComesBackOnlyWhereFramesAreDrawn) {
  for (const bool draws : {true, false}) {
    SCOPED_TRACE(draws ? "host draws frames" : "host draws no frames");
    Session session;
    DrawingHost host;
    host.drawFrames = draws;
    kelmor::Run run(session, host);
    BuildModel(run, CubeFaces());
    BuildTestEdges(run);
    run.Strength = {0, 100, 100, 10, 10, 20, 100};
    run.infl.InflateMode = 0;
    run.RunMode = 1;
    run.BaseName = "cube";
    const TempFolder folder;  // an attempt that settles writes its solution there
    run.OutputDir = folder.path().string();
    session.options.incord = 0;
    // A host that draws frames waits a second only between isomorphs; this is isomorph 1.
    RunAttempt(run);
    EXPECT_EQ(run.GraphicsOn, 0.0);
    const long first = host.framesDrawn;
    RunAttempt(run);
    EXPECT_EQ(run.GraphicsOn, 0.0);
    if (draws) {
      ASSERT_GT(first, 10);
      EXPECT_TRUE(host.coloursInRange);
      EXPECT_EQ(host.lineCounts.front(), 12u);
      EXPECT_EQ(host.clears, (std::vector<bool>{true, true}));
      EXPECT_GT(host.framesDrawn - first, 10);
    } else {
      EXPECT_EQ(host.framesDrawn, 0);
      EXPECT_EQ(host.clears, (std::vector<bool>{true, false}));
    }
  }
}

TEST(Convergence, LocalInflationSwitchesItselfOff) {
  RelaxRig rig(TetrahedronFaces());
  rig.run.infl.InflateMode = 3;
  rig.run.infl.D4Factor = 10;
  rig.host.quitAfterPolls = 120;
  RunAttempt(rig.run);
  EXPECT_EQ(rig.run.infl.InflateMode, 0);
  EXPECT_EQ(rig.run.infl.SavedInflateMode, 3);
  EXPECT_EQ(rig.run.infl.D4Factor, 1.0);
  EXPECT_EQ(rig.run.relax.LocalInflationOn, 0);
}

// Rule 1 sets the settle countdown to 3 and rule 2 counts it down in the same iteration,
// so the end of local inflation never lowers Strength(1); a weaken-mode stall does.
TEST(Convergence, SettleCountdownAfterLocalInflationAndAfterAWeakenStall) {
  RelaxRig rig(TetrahedronFaces());
  RelaxState& r = rig.run.relax;
  rig.run.RunMode = 2;
  rig.run.infl.InflateMode = 3;
  r.Iteration = 40;
  r.EdgeDeform = r.EdgeDeformPrev = 5;  // settled far from a solution
  r.PolyDeform = r.PolyDeformPrev = 0.5;
  EXPECT_EQ(EndOfIteration(rig.run), std::nullopt);
  EXPECT_EQ(rig.run.infl.InflateMode, 0);
  EXPECT_EQ(rig.run.infl.SavedInflateMode, 3);
  EXPECT_EQ(r.SettleCountdown, 2);
  EXPECT_EQ(rig.run.Strength[1], 100.0);
  r.Iteration += 1;
  EXPECT_EQ(EndOfIteration(rig.run), std::nullopt);
  EXPECT_EQ(r.SettleCountdown, 1);
  r.Iteration += 1;
  // Countdown 0: the stall (change below 0.001 with E above 1) starts a new attempt.
  EXPECT_EQ(EndOfIteration(rig.run), LoopOutcome::NewAttempt);
  EXPECT_EQ(r.SettleCountdown, 0);
  EXPECT_EQ(rig.run.Strength[1], 100.0);

  RelaxRig weak(TetrahedronFaces());
  RelaxState& w = weak.run.relax;
  weak.run.RunMode = 3;
  w.Iteration = 40;
  w.EdgeDeform = w.EdgeDeformPrev = 5;
  w.PolyDeform = w.PolyDeformPrev = 0.5;
  EXPECT_EQ(EndOfIteration(weak.run), std::nullopt);
  EXPECT_EQ(w.SettleCountdown, 3);
  EXPECT_EQ(weak.run.Strength[1], 20.0);
  w.Iteration += 1;
  EndOfIteration(weak.run);
  EXPECT_EQ(w.SettleCountdown, 2);
  EXPECT_EQ(weak.run.Strength[1], 20.0);
}

TEST(Convergence, WeakenModeStallLowersEdgeStrengthUntilWritten) {
  RelaxRig rig(TetrahedronFaces());
  rig.run.RunMode = 3;
  rig.run.WeakenLimitValue = 3;
  rig.run.edges.EdgeTarget[1] = 2;  // cannot be met with the other five at 1
  EXPECT_EQ(RunAttempt(rig.run), LoopOutcome::EndRun);
  EXPECT_TRUE(rig.host.saw("W10: model  VRML files written"));
  const double powers = std::log(100 / rig.run.Strength[1]) / std::log(5.0);
  EXPECT_GE(powers, 2);
  EXPECT_NEAR(powers, std::round(powers), 1e-9);
}

}  // namespace
}  // namespace kelmor::testing
