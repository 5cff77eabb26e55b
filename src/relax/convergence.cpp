#include <cmath>

#include "relax/engine.h"
#include "run/run.h"

namespace kelmor {

namespace {

constexpr long WriteInterval = 100;

// Rule 6: the figures have stopped changing; once they stay at or above the recorded
// reference for more than the interval, the solution is written.
void PeriodicWriteTest(Run& run, double change) {
  RelaxState& r = run.relax;
  Session& s = run.session;
  r.WriteNow = 0;
  if (!(change < 1e-15)) return;
  const double total = r.EdgeDeform + r.PolyDeform;
  if (s.ReferenceIteration == 0) {
    s.WriteReference = total;
    s.ReferenceIteration = r.Iteration;
  }
  if (r.Iteration - s.ReferenceIteration <= WriteInterval) return;
  if (run.debug.on()) {
    run.debug.Line(ListLine() << "Iteration: " << r.Iteration << " Deform: " << r.EdgeDeform
                              << " Deforp: " << r.PolyDeform);
    run.debug.Line(ListLine() << "  Change since last iteration: " << change);
    run.debug.Line(ListLine() << "       Change since iteration: " << s.ReferenceIteration
                              << (total - s.WriteReference));
    if (total >= s.WriteReference)
      run.debug.Line(ListLine() << "  Writing output files after iteration :" << r.Iteration);
  }
  if (total >= s.WriteReference) {
    r.WriteNow = 1.0;
  } else {
    s.WriteReference = total;
    s.ReferenceIteration = r.Iteration;
  }
}

// Rule 7: write the solution when it is new, valid and exact (or in weaken mode), then
// end, go on with the next segment, or ask for the next attempt.
std::optional<LoopOutcome> WriteTest(Run& run, bool settled = false) {
  RelaxState& r = run.relax;
  Model& m = run.model;
  if (run.RunMode != 2 && m.SegmentCount == 1) FinishPositions(run);
  PrepareSolution(run);
  SetSolutionName(run);
  const bool exact = settled || r.EdgeDeform < run.edges.EdgeTotal * 1e-12;
  bool tried = false;
  bool written = false;
  if (!IsDuplicate(run) && r.SolutionValid == 1 && (exact || run.RunMode == 3) && SolutionAccepted(run)) {
    tried = true;
    written = WriteSolution(run);
    if (m.SegmentIndex > m.SegmentCount) return LoopOutcome::EndRun;
    if (run.NextSegmentPending == 1) {
      run.NextSegmentPending = 0;
      return LoopOutcome::NextSegment;
    }
    if (run.WeakenLimitValue < 99) {
      if (written) run.host.message("W10: " + run.OutputName + "  VRML files written");
      return LoopOutcome::EndRun;
    }
    run.IsomorphIndex += 1;
  }
  if (m.SegmentCount != 1) {
    // A segment has one attempt: one that settled inexactly is written as it stands, as
    // once mode writes an unsegmented model. One the writer could not finish ends the run
    // rather than being read and relaxed again without end.
    if (!tried) WriteSolution(run);
    if (run.NextSegmentPending == 1) {
      run.NextSegmentPending = 0;
      return LoopOutcome::NextSegment;
    }
    return LoopOutcome::EndRun;
  }
  if (run.RunMode == 2 || run.RunMode == 3) {
    RestartRequest(run);
  } else if (run.RunMode == 1) {
    // Once mode writes the files again; the same solution is not reported twice.
    return WriteThenNotify(run, "W11: ", "  VRML files written", !written)
        .value_or(LoopOutcome::EndRun);
  }
  return std::nullopt;
}

}  // namespace

std::optional<LoopOutcome> WriteSettled(Run& run) {
  if (IsDuplicate(run)) run.host.setStatus("Duplicate Isomorph");
  return WriteTest(run, true);
}

std::optional<LoopOutcome> EndOfIteration(Run& run) {
  RelaxState& r = run.relax;
  InflationState& infl = run.infl;
  const double delta = std::fabs(r.EdgeDeformPrev - r.EdgeDeform);

  // 1. Local inflation has settled: switch it off for the rest of the attempt.
  if ((infl.InflateMode == 3 || infl.InflateMode == 4) && delta < 1e-6) {
    r.SettleCountdown = 3;
    infl.SavedInflateMode = infl.InflateMode;
    infl.InflateMode = 0;
    r.Damping = 0.5;
    infl.D4Factor = 1;
    r.LocalInflationOn = 0;
  }
  // 2. Stall after local inflation (repeat mode). In the iteration in which rule 1 ends
  // local inflation this rule already counts the settle countdown down to 2, so the
  // automatic lowering of rule 8 (which looks for 3) follows a weaken-mode stall only,
  // never the end of local inflation. The rules stay in this order: a stall restart keeps
  // the strengths, and lowering Strength(1) at every end of local inflation would soften
  // the edges further with each attempt.
  if (infl.InflateMode == 0 && infl.SavedInflateMode > 2) {
    if (r.SettleCountdown > 0) r.SettleCountdown -= 1;
    if (run.RunMode == 2 && r.InflateShown == 0 && r.SettleCountdown == 0) {
      if ((delta < 0.001 && r.EdgeDeform > 1) || (delta < 1e-6 && r.EdgeDeform > 0.01))
        r.RestartFlag = 1;
    }
  }
  // 3. Weaken-mode stall.
  if (run.RunMode == 3) {
    if (r.SettleCountdown > 0)
      r.SettleCountdown -= 1;
    else if (delta < 1e-10 && r.InflateShown == 0 && r.EdgeDeform > 0.0001)
      r.SettleCountdown = 3;
  }
  // 4. New-solution test, once per attempt.
  if (r.IsomorphTested == 0 && r.EdgeDeform < 0.001) {
    PrepareSolution(run);
    if (r.SolutionValid == 0) r.RestartFlag = 1;
    r.IsomorphTested = 1.0;
    if (IsDuplicate(run)) {
      r.RestartFlag = 1;
      run.host.setStatus("Duplicate Isomorph");
    }
  }
  // 5. Restart.
  if (r.RestartFlag == 1) {
    r.RestartFlag = 0;
    r.IsomorphTested = 0;
    return LoopOutcome::NewAttempt;
  }
  // 6 and 7. Periodic write test and write.
  PeriodicWriteTest(run, delta + std::fabs(r.PolyDeformPrev - r.PolyDeform));
  if (r.WriteNow == 1.0) {
    if (auto outcome = WriteTest(run)) return outcome;
  }
  // 8. Automatic lowering, in the iteration in which a weaken-mode stall set the countdown
  // (see rule 2 for the end of local inflation).
  if (r.SettleCountdown == 3) LowerEdgeStrength(run);
  return std::nullopt;
}

}  // namespace kelmor
