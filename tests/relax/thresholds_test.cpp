#include <gtest/gtest.h>

#include <cmath>

#include "model/geometry.h"
#include "relax/engine.h"
#include "support/relax_fixture.h"

// Every threshold of the iteration's rules, met from just inside and just outside.
namespace kelmor::testing {
namespace {

const std::vector<std::array<double, 3>> Tetrahedron = {
    {0.5, 0, -0.5 / std::sqrt(2.0)}, {-0.5, 0, -0.5 / std::sqrt(2.0)},
    {0, 0.5, 0.5 / std::sqrt(2.0)},  {0, -0.5, 0.5 / std::sqrt(2.0)}};

std::vector<Face> TetrahedronFaces() {
  return {Face{{0, 1, 2}, 1, {}}, Face{{0, 3, 1}, 1, {}}, Face{{0, 2, 3}, 1, {}}, Face{{1, 3, 2}, 1, {}}};
}

// A tetrahedron in place whose figures moved from (e + delta, p) to (e, p) in the last
// iteration; nothing else is pending.
struct RuleRig : RelaxRig {
  RuleRig(int runMode, double e, double delta, double p = 0.25) : RelaxRig(TetrahedronFaces()) {
    for (int v = 0; v < 4; ++v) {
      run.model.PosX[v] = Tetrahedron[v][0];
      run.model.PosY[v] = Tetrahedron[v][1];
      run.model.PosZ[v] = Tetrahedron[v][2];
    }
    run.RunMode = runMode;
    RelaxState& r = run.relax;
    r.Iteration = 40;
    r.EdgeDeform = e, r.EdgeDeformPrev = e + delta;
    r.PolyDeform = r.PolyDeformPrev = p;
    r.IsomorphTested = 1;
  }
  std::optional<LoopOutcome> End() { return EndOfIteration(run); }
};

struct RuleCase {
  const char* what;
  double e, delta;
  bool fires;
};

// Rule 1: local inflation has settled once E changes by less than 1e-6.
TEST(RuleThresholds, LocalInflationEndsBelowAChangeOfOneMillionth) {
  for (const RuleCase& c : {RuleCase{"just below", 2.0, 0.9e-6, true}, RuleCase{"just above", 2.0, 1.1e-6, false}}) {
    for (int mode : {3, 4}) {
      RuleRig rig(2, c.e, c.delta);
      rig.run.infl.InflateMode = mode;
      rig.End();
      EXPECT_EQ(rig.run.infl.InflateMode == 0, c.fires) << c.what << " mode " << mode;
      EXPECT_EQ(rig.run.infl.SavedInflateMode, c.fires ? mode : 0) << c.what;
    }
  }
  RuleRig global(2, 2.0, 0);  // global inflation has no such end
  global.run.infl.InflateMode = 1;
  global.End();
  EXPECT_EQ(global.run.infl.InflateMode, 1);
}

// Rule 2: after local inflation, repeat mode restarts an attempt that stalls far away.
TEST(RuleThresholds, StallAfterLocalInflationRestartsOnlyFarFromASolution) {
  const RuleCase cases[] = {
      {"slow, E above 1", 1.01, 0.9e-3, true},       {"not slow enough", 1.01, 1.1e-3, false},
      {"slow, E not above 1", 0.99, 0.9e-3, false},  {"still, E above 0.01", 0.011, 0.9e-6, true},
      {"almost still", 0.011, 1.1e-6, false},        {"still, E below 0.01", 0.009, 0.9e-6, false},
  };
  for (const RuleCase& c : cases) {
    for (int mode : {2, 1}) {
      RuleRig rig(mode, c.e, c.delta);
      rig.run.infl.SavedInflateMode = 3;
      EXPECT_EQ(rig.End() == LoopOutcome::NewAttempt, c.fires && mode == 2) << c.what << " run mode " << mode;
    }
  }
  RuleRig counting(2, 5, 0);  // while the countdown runs there is no restart
  counting.run.infl.SavedInflateMode = 4;
  counting.run.relax.SettleCountdown = 2;
  EXPECT_EQ(counting.End(), std::nullopt);
  EXPECT_EQ(counting.run.relax.SettleCountdown, 1);
}

// Rule 3 and 8: a weaken-mode stall (E changing by less than 1e-10 while above 0.0001)
// starts the countdown and lowers Strength(1) by 5 in the same iteration.
TEST(RuleThresholds, WeakenStallNeedsAStillModelAboveOneTenThousandth) {
  const RuleCase cases[] = {{"still", 0.00011, 0.9e-10, true},
                            {"moving", 0.00011, 1.1e-10, false},
                            {"close enough", 0.00009, 0.9e-10, false}};
  for (const RuleCase& c : cases) {
    RuleRig rig(3, c.e, c.delta);
    rig.End();
    EXPECT_EQ(rig.run.relax.SettleCountdown, c.fires ? 3 : 0) << c.what;
    EXPECT_EQ(rig.run.Strength[1], c.fires ? 20.0 : 100.0) << c.what;
  }
}

// Rule 4: the new-solution test runs once E is below 0.001.
TEST(RuleThresholds, NewSolutionTestBelowOneThousandth) {
  for (const RuleCase& c : {RuleCase{"below", 0.00099, 0.5, true}, RuleCase{"above", 0.00101, 0.5, false}}) {
    RuleRig rig(2, c.e, c.delta);
    rig.run.relax.IsomorphTested = 0;
    rig.End();
    EXPECT_EQ(rig.run.relax.IsomorphTested, c.fires ? 1.0 : 0.0) << c.what;
  }
}

// Rule 6: the figures have stopped changing when E and P together change by less than
// 1e-15; that iteration becomes the reference when there is none.
TEST(RuleThresholds, FiguresStopChangingBelowOneFemtoUnit) {
  struct Case {
    const char* what;
    double edgeChange, polyChange;
    bool still;
  } cases[] = {{"E still", 0.9e-15, 0, true},  {"E moving", 1.1e-15, 0, false},
               {"P still", 0, 0.9e-15, true},  {"P moving", 0, 1.1e-15, false},
               {"both, summed", 0.6e-15, 0.6e-15, false}};
  for (const Case& c : cases) {
    RuleRig rig(2, 0.5, c.edgeChange);
    rig.run.relax.PolyDeformPrev = 0.25 + c.polyChange;
    rig.End();
    EXPECT_EQ(rig.session.ReferenceIteration, c.still ? 40 : 0) << c.what;
  }
}

// Rule 6.2: written more than 100 iterations after the reference, when the figures
// have not fallen below it; a lower total moves the reference instead.
TEST(RuleThresholds, WriteFollowsOneHundredAndOneStillIterationsAtOrAboveTheReference) {
  struct Case {
    const char* what;
    long iteration;
    double total;  // relative to the reference 0.75
    bool write;
    long reference;
  } cases[] = {{"100 after", 110, 0.75, false, 10},
               {"101 after", 111, 0.75, true, 10},
               {"above the reference", 111, 0.75 + 1e-12, true, 10},
               {"below the reference", 111, 0.75 - 1e-12, false, 111}};
  for (const Case& c : cases) {
    RuleRig rig(2, c.total - 0.25, 0);
    rig.session.ReferenceIteration = 10;
    rig.session.WriteReference = 0.75;
    rig.run.relax.Iteration = c.iteration;
    rig.End();
    EXPECT_EQ(rig.run.relax.WriteNow, c.write ? 1.0 : 0.0) << c.what;
    EXPECT_EQ(rig.session.ReferenceIteration, c.reference) << c.what;
  }
}

// Rule 7: in repeat mode a settled solution is written only when E is below
// EdgeTotal × 1e-12; weaken mode writes whatever it settled on.
TEST(RuleThresholds, ExactSolutionBoundIsOnePicoUnitPerEdge) {
  struct Case {
    const char* what;
    int runMode;
    double perEdge;
    bool written;
  } cases[] = {{"repeat, just inside", 2, 0.9e-12, true},
               {"repeat, just outside", 2, 1.1e-12, false},
               {"weaken, far outside", 3, 1e-3, true}};
  for (const Case& c : cases) {
    RuleRig rig(c.runMode, 0, 0, 0);
    rig.run.WeakenLimitValue = c.runMode == 3 ? 3 : 99;
    ASSERT_EQ(rig.run.edges.EdgeTotal, 6);
    RelaxState& r = rig.run.relax;
    r.EdgeDeform = r.EdgeDeformPrev = 6 * c.perEdge;
    rig.session.ReferenceIteration = 1;
    rig.session.WriteReference = r.EdgeDeform;
    r.Iteration = 200;
    rig.End();
    EXPECT_EQ(rig.host.written.size(), c.written ? 1u : 0u) << c.what;
  }
}

// Coincident vertices: weighted squared distance at most 1e-7 (the weight is the lower
// vertex number + 1 when isomorphs are told apart by numbering).
TEST(CoincidenceThreshold, WeightedSquaredDistanceOfOneTenMillionth) {
  struct Case {
    int detect;
    double squared;
    bool valid;
  } cases[] = {{0, 1.1e-7, true}, {0, 0.9e-7, false}, {1, 0.6e-7, true}, {1, 0.4e-7, false}};
  for (const Case& c : cases) {
    RuleRig rig(2, 0.5, 0);
    rig.run.IsomorphDetect = c.detect;
    Model& m = rig.run.model;
    m.PosX[2] = m.PosX[1] + std::sqrt(c.squared), m.PosY[2] = m.PosY[1], m.PosZ[2] = m.PosZ[1];
    PrepareSolution(rig.run);
    EXPECT_EQ(rig.run.relax.SolutionValid, c.valid ? 1 : 0) << c.squared << " detect " << c.detect;
  }
}

// The global inflation pass takes vertex pairs two at a time; every vertex count, odd
// or even, must see every pair i < j exactly once, the last odd pair of a row included.
TEST(HopForces, EveryPairCountsOnceWhateverTheVertexCount) {
  for (int n = 3; n <= 8; ++n) {
    std::vector<int> ring(n);
    for (int i = 0; i < n; ++i) ring[i] = i;
    RelaxRig rig({Face{ring, 1, {}}});
    kelmor::Run& run = rig.run;
    Model& m = run.model;
    run.infl.SizeHopTable(0, n - 1);
    run.infl.GlobalLimit = 2;
    run.Strength[3] = 10, run.Strength[6] = 70;
    for (int i = 0; i < n; ++i) {
      m.PosX[i] = std::sin(1.3 * i + 0.2), m.PosY[i] = std::cos(2.1 * i), m.PosZ[i] = 0.1 * i;
      for (int j = 0; j < n; ++j) run.infl.Hop(i, j) = static_cast<float>((i + j) % 4);
    }
    BuildRelaxPlan(run);
    ClearForces(run);
    run.relax.EdgeDeform = 0;
    HopForces(run);

    std::vector<std::array<double, 3>> force(n, {0, 0, 0});
    double deform = 0;
    for (int i = 0; i < n; ++i) {
      for (int j = i + 1; j < n; ++j) {
        const double h = (i + j) % 4;
        const double t = h > 1 ? (h - 1) * 0.7 + 1 : 0.5 * h;
        const double d[3] = {m.PosX[i] - m.PosX[j], m.PosY[i] - m.PosY[j], m.PosZ[i] - m.PosZ[j]};
        const double L = VectorLength(d[0], d[1], d[2]);
        deform += std::fabs(L - t);
        if (h >= 2.1) continue;  // beyond the limit: counted, not pushed
        const double F = (L - t) * 0.001 * (h >= 1 ? 10 : 70);
        for (int a = 0; a < 3; ++a) force[i][a] -= F * d[a] / L, force[j][a] += F * d[a] / L;
      }
    }
    EXPECT_NEAR(run.relax.EdgeDeform, deform, 1e-12) << n << " vertices";
    for (int v = 0; v < n; ++v) {
      EXPECT_NEAR(run.relax.ForceX[v], force[v][0], 1e-14) << n << " vertices, vertex " << v;
      EXPECT_NEAR(run.relax.ForceY[v], force[v][1], 1e-14) << n << " vertices, vertex " << v;
      EXPECT_NEAR(run.relax.ForceZ[v], force[v][2], 1e-14) << n << " vertices, vertex " << v;
    }
  }
}

// One move: the velocity keeps half of the last one (damping 0.5) and adds the force;
// the model is re-centred afterwards.
TEST(MoveVertices, HalfTheLastDisplacementIsCarriedIntoTheNext) {
  RelaxRig rig({Face{{0, 1, 2}, 1, {}}});
  kelmor::Run& run = rig.run;
  BuildRelaxPlan(run);
  RelaxState& r = run.relax;
  r.Iteration = 1;
  r.VelX[0] = 0.4, r.ForceX[0] = 0.1;  // 0.5 × 0.4 + 0.1
  r.VelY[1] = -0.2, r.ForceY[1] = 0;
  r.VelZ[2] = 0.6, r.ForceZ[2] = 0;
  MoveVertices(run);
  EXPECT_DOUBLE_EQ(r.VelX[0], 0.3);
  EXPECT_DOUBLE_EQ(r.VelY[1], -0.1);
  EXPECT_NEAR(run.model.PosX[0], 0.3 - 0.1, 1e-15);  // centred: mean x 0.1
  EXPECT_NEAR(run.model.PosY[1], -0.1 + 0.1 / 3, 1e-15);
  EXPECT_NEAR(run.model.PosX[1] + run.model.PosX[2], -0.2, 1e-15);
  EXPECT_NEAR(run.model.PosZ[2], 0.3 - 0.1, 1e-15);  // centred across z as well
  EXPECT_NEAR(run.model.PosZ[0], -0.1, 1e-15);
}

// The force that turns into displacement is Step (0.001) × strength × deviation.
TEST(EdgeForces, StepIsOneThousandth) {
  RelaxRig rig({Face{{0, 1, 2}, 1, {}}});
  kelmor::Run& run = rig.run;
  run.model.PosX[1] = 2;  // edge 0-1 twice its target; 0-2 and 1-2 on target
  run.model.PosX[2] = 1;
  BuildRelaxPlan(run);
  ClearForces(run);
  run.relax.EdgeDeform = 0;
  EdgeForces(run);
  EXPECT_NEAR(run.relax.ForceX[0], 0.001 * 100 * 1, 1e-15);
  EXPECT_NEAR(run.relax.ForceX[1], -0.001 * 100 * 1, 1e-15);
  EXPECT_EQ(run.relax.ForceX[2], 0.0);
}

// Local inflation acts up to iteration 999 and no further, while it is on.
TEST(RuleThresholds, LocalInflationActsUpToIterationNineHundredAndNinetyNine) {
  struct Case {
    long iteration;
    int mode;
    bool acts;
  };
  for (const Case c : {Case{999, 3, true}, {1000, 3, false}, {999, 4, true}, {1000, 4, false}, {1, 0, false}}) {
    RuleRig rig(2, 2.0, 1.0);
    rig.run.infl.InflateMode = c.mode;
    rig.run.relax.LocalInflationOn = 1;
    BuildRelaxPlan(rig.run);
    rig.run.relax.Iteration = c.iteration;
    MainIteration(rig.run);
    EXPECT_EQ(rig.run.relax.InflateShown != 0, c.acts) << "iteration " << c.iteration << " mode " << c.mode;
  }
}

// The global inflation phase ends at the first pass whose E changed by less than 1e-6:
// the passes are replayed one by one beside it and the change at its last pass must lie
// between 1e-7 and 1e-6, so that a threshold ten times smaller would not have ended it.
TEST(RuleThresholds, GlobalInflationEndsAtTheFirstChangeBelowOneMillionth) {
  auto rigged = [](RelaxRig& rig) {
    kelmor::Run& run = rig.run;
    run.infl.InflateMode = 1;
    run.infl.SizeHopTable(0, 3);
    run.infl.GlobalLimit = 3;
    for (int a = 0; a < 4; ++a)
      for (int b = 0; b < 4; ++b) run.infl.Hop(a, b) = a == b ? 0.0f : 1.0f;
    const std::vector<std::array<double, 3>> start = {
        {0.9, 0.1, -0.3}, {-0.4, 0.8, 0.2}, {0.1, -0.7, 0.6}, {-0.2, 0.05, -0.9}};
    for (int v = 0; v < 4; ++v)
      run.model.PosX[v] = start[v][0], run.model.PosY[v] = start[v][1], run.model.PosZ[v] = start[v][2];
    BuildRelaxPlan(run);
  };
  RelaxRig phase(TetrahedronFaces());
  rigged(phase);
  ASSERT_FALSE(GlobalInflationPhase(phase.run).has_value());
  const long ended = phase.run.relax.Iteration;

  RelaxRig replay(TetrahedronFaces());
  rigged(replay);
  RelaxState& r = replay.run.relax;
  double previous = 999, change = 0;
  long pass = 1;
  for (; pass <= 1000; ++pass) {
    r.Iteration = pass;
    r.EdgeDeform = 0;
    ClearForces(replay.run);
    HopForces(replay.run);
    MoveVertices(replay.run);
    change = std::fabs(previous - r.EdgeDeform);
    previous = r.EdgeDeform;
    if (change < 1e-6) break;
  }
  EXPECT_EQ(ended, pass);
  EXPECT_GE(change, 1e-7) << "this start does not tell the threshold from one ten times smaller";
}

// A model of one face coded X, Y or Z starts flat across that axis.
TEST(StartingPositions, ASingleFaceCodedXYOrZStartsFlatAcrossThatAxis) {
  for (const char* code : {"X", "Y", "Z", "XZ", ""}) {
    RelaxRig rig({Face{{0, 1, 2, 3, 4}, 1, code}});
    SetStartingPositions(rig.run);
    const Model& m = rig.run.model;
    double spread[3] = {0, 0, 0};
    for (int v = 0; v < 5; ++v) {
      spread[0] += std::fabs(m.PosX[v]), spread[1] += std::fabs(m.PosY[v]), spread[2] += std::fabs(m.PosZ[v]);
    }
    const std::string c = code;
    for (int axis = 0; axis < 3; ++axis) {
      const bool flat = c.find("XYZ"[axis]) != std::string::npos;
      EXPECT_EQ(spread[axis] == 0, flat) << "code \"" << code << "\" axis " << "xyz"[axis];
    }
  }
}

}  // namespace
}  // namespace kelmor::testing
