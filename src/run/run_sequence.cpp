#include "run/run_sequence.h"

#include "input/parser.h"
#include "model/numtext.h"
#include "output/writer.h"
#include "relax/relaxation.h"
#include "run/error_handler.h"
#include "run/run.h"
#include "run/run_values.h"
#include "topology/topology.h"

namespace kelmor {

namespace {

enum class SegmentStep { Relax, NextSegment, EndRun };

// Phase 0, once per call: size the tables.
void SizeTables(Run& run) {
  run.model.Reset();
  run.edges.Reset();
  run.relax.Reset();
  run.SegmentPaletteIndex = {0, 16, 17, 18, 19, 20};
  run.VersionText = run.session.VersionText;
}

// Phase 2: per-segment reset and read.
SegmentStep ReadSegment(Run& run) {
  Model& m = run.model;
  const RunOptions& o = run.session.options;
  run.NoRelaxation = 0;
  run.NextSegmentPending = 0;
  run.NextSegmentEntry = 0;
  m.ResetSegment();
  run.IsomorphIndex = 1;
  run.relax.Damping = 0.5;
  GuardedStep(run, [&] { ReadRhombusSets(run); });
  FillPolygonTables(run.poly);
  GuardedStep(run, [&] { ReadInput(run); });

  // The last block was a realm and the input has no inter-realm section: the realms are
  // written all the same.
  if (run.NoRelaxation == 0 && run.NextSegmentPending == 0 && m.SegmentIndex > m.SegmentCount) {
    run.NoRelaxation = 1;
    run.RealmSectionClosed = 1;
  }
  if (run.NoRelaxation == 1) {
    GuardedStep(run, [&] { WriteOutputFiles(run); });
    return SegmentStep::EndRun;
  }
  if (run.NextSegmentPending == 1) {
    run.NextSegmentPending = 0;
    return SegmentStep::NextSegment;
  }
  GuardedStep(run, [&] {
    if (Ticked(o.HighVert)) {
      for (int v = m.MinVertex; v <= m.MaxVertex; ++v) m.VertexFlags[v] = "V" + m.VertexFlags[v];
      run.session.AllVerticesHighlighted = 1;
    }
    if (Ticked(o.AllCyl)) {
      for (int f = 1; f <= m.PolygonCount; ++f) m.FaceCode[f] = "O" + m.FaceCode[f];
      m.CylinderMarks = 1;
    }
  });
  if (m.MaxVertex < m.MinVertex) {
    run.NoRelaxation = 1;
    GuardedStep(run, [&] { WriteOutputFiles(run); });
    // An empty block of segmented input is passed over; the segments after it follow.
    if (run.NextSegmentPending == 1) {
      run.NextSegmentPending = 0;
      return SegmentStep::NextSegment;
    }
    return SegmentStep::EndRun;
  }
  GuardedStep(run, [&] {
    for (int i = 1; i <= m.MaxVertex - m.MinVertex + 1; ++i) {
      m.RealmMark[m.RealmCount] = m.MinVertex + i - 1;
      m.RealmSegment[m.RealmCount] = m.SegmentIndex;
      m.RealmCount += 1;
    }
  });
  GuardedStep(run, [&] {
    ReadInflationOptions(run);
    if (!o.HighlightVal.empty()) {
      NdValue nd = ReadNd(o.HighlightVal);
      run.HighlightN = nd.n;
      run.HighlightD = nd.d;
    }
  });
  return SegmentStep::Relax;
}

// Phase 3: topology. Returns false when a detected failure ended the run.
bool Topology(Run& run) {
  const RunOptions& o = run.session.options;
  GuardedStep(run, [&] {
    CollapseStarPolygons(run);
    RemoveUnusedVertices(run);
  });
  GuardedStep(run, [&] {
    if (run.AugmentMode == 1 || run.model.FaceASeen == 1) AugmentFaces(run);
    TidyFaces(run);
  });
  GuardedStep(run, [&] { BuildEdgeTable(run); });
  if (Ticked(o.Weaken) && run.WeakenLimitValue > 0) {
    bool ok = true;
    GuardedStep(run, [&] { ok = CheckWeakening(run); });
    if (!ok) return false;
  }
  GuardedStep(run, [&] { BuildAdjacency(run); });
  GuardedStep(run, [&] {
    if (run.infl.InflateMode == 1) BuildHopDistances(run);
    if (Ticked(o.SqrtHop)) ApplySqrtHop(run);
  });
  return true;
}

}  // namespace

RunOutcome RunSequence(Run& run) {
  try {
    SizeTables(run);
    for (;;) {
      // Phase 1: run start (Re-Read returns here).
      GuardedStep(run, [&] { ReadRunStart(run); });
      LoopOutcome outcome = LoopOutcome::NextSegment;
      while (outcome == LoopOutcome::NextSegment) {
        SegmentStep step = ReadSegment(run);
        if (step == SegmentStep::EndRun) goto finished;
        if (step == SegmentStep::NextSegment) continue;
        if (!Topology(run)) goto finished;
        // Phase 4: attempts, until the loop leaves for something else.
        do {
          GuardedStep(run, [&] { PrepareAttemptInflation(run); });
          outcome = LoopOutcome::EndRun;
          GuardedStep(run, [&] { outcome = RunAttempt(run); });
        } while (outcome == LoopOutcome::NewAttempt);
        if (outcome == LoopOutcome::EndRun) goto finished;
      }
      // outcome == ReRead: back to the run start.
    }
  finished:
    run.host.hideDrawWindow();
    return run.filesWritten > 0 ? RunOutcome::Written : RunOutcome::Ended;
  } catch (const RunAbandoned& a) {
    run.host.hideDrawWindow();
    if (!a.byError) return run.filesWritten > 0 ? RunOutcome::Written : RunOutcome::Ended;
    return RunOutcome::Abandoned;
  }
}

}  // namespace kelmor
