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

// The whole run's result: an input the parser could not read through ends without a
// written model, whatever an earlier segment wrote.
RunOutcome Outcome(const Run& run) {
  if (run.InputStopped == 1 || run.BlockUnclosed == 1) return RunOutcome::Ended;
  return run.filesWritten > 0 ? RunOutcome::Written : RunOutcome::Ended;
}

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
  run.InputStopped = 0;
  run.BlockUnclosed = 0;
  m.ResetSegment();
  run.IsomorphIndex = 1;
  run.relax.Damping = 0.5;
  GuardedStep(run, [&] { ReadRhombusSets(run); });
  FillPolygonTables(run.poly);
  GuardedStep(run, [&] { ReadInput(run); });
  if (run.BlockUnclosed == 1) {
    run.host.message(UnclosedBlockMessage);
    return SegmentStep::EndRun;
  }
  // The parser has said what is wrong; a half-read model is neither relaxed nor written.
  if (run.InputStopped == 1) return SegmentStep::EndRun;

  // The last block was a realm and the input has no inter-realm section: the realms are
  // written all the same.
  if (run.NoRelaxation == 0 && run.NextSegmentPending == 0 && m.SegmentIndex > m.SegmentCount) {
    run.NoRelaxation = 1;
    run.RealmSectionClosed = 1;
  }
  if (run.NoRelaxation == 1) {
    GuardedWrite(run, [&] { WriteOutputFiles(run); });
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
  // A model without faces has nothing to relax and nothing a viewer could open.
  if (m.SegmentCount == 1 && (m.MaxVertex < m.MinVertex || m.PolygonCount < 1)) {
    run.host.message(NoFacesMessage);
    run.InputStopped = 1;
    return SegmentStep::EndRun;
  }
  if (m.MaxVertex < m.MinVertex) {
    run.NoRelaxation = 1;
    GuardedWrite(run, [&] { WriteOutputFiles(run); });
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

// One attempt. In repeat mode a host may take an overflow of the forces for a failed
// attempt and have the next one started; otherwise the overflow goes to the handler.
LoopOutcome AttemptOrRetry(Run& run) {
  try {
    return RunAttempt(run);
  } catch (const KelmorError& e) {
    if (e.code() == ErrOverflow && run.RunMode == 2 && run.host.retryAfterOverflow())
      return LoopOutcome::NewAttempt;
    throw;
  }
}

}  // namespace

bool ReadFirstModel(Run& run) {
  try {
    SizeTables(run);
    GuardedStep(run, [&] { ReadRunStart(run); });
    const SegmentStep step = ReadSegment(run);
    if (step == SegmentStep::Relax) return Topology(run);
    return run.InputStopped == 0 && run.BlockUnclosed == 0;
  } catch (const RunAbandoned&) {
    return false;
  }
}

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
          GuardedStep(run, [&] { outcome = AttemptOrRetry(run); });
        } while (outcome == LoopOutcome::NewAttempt);
        if (outcome == LoopOutcome::EndRun) goto finished;
      }
      // outcome == ReRead: back to the run start.
    }
  finished:
    run.host.hideDrawWindow();
    return Outcome(run);
  } catch (const RunAbandoned& a) {
    run.host.hideDrawWindow();
    if (!a.byError) return Outcome(run);
    return a.writeFailed ? RunOutcome::WriteFailed : RunOutcome::Abandoned;
  }
}

}  // namespace kelmor
