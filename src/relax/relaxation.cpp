#include "relax/relaxation.h"

#include <array>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "output/output_call.h"
#include "output/report.h"
#include "output/solution_snapshot.h"
#include "output/writer.h"
#include "relax/engine.h"
#include "relax/pull_lists.h"
#include "relax/shape_pulls.h"
#include "relax/vertex_steps.h"
#include "run/error_handler.h"
#include "run/run.h"

namespace kelmor {

namespace {

constexpr long MaxIterations = 10'000'000;
constexpr int GlobalPasses = 1000;

const std::array<DepthColour, 16> DepthPalette = {{
    {192, 192, 192}, {156, 156, 192}, {128, 128, 192}, {96, 96, 192},
    {64, 64, 160},   {32, 32, 160},   {64, 32, 160},   {96, 32, 160},
    {128, 0, 128},   {160, 0, 96},    {196, 0, 64},    {224, 0, 32},
    {255, 0, 0},     {255, 0, 0},     {255, 0, 0},     {255, 255, 255},
}};

bool Has(const std::string& code, char letter) { return code.find(letter) != std::string::npos; }

// Main loop, iterations 1 .. 10 000 000 of one attempt.
LoopOutcome RelaxationLoop(Run& run) {
  RelaxState& r = run.relax;
  r.LocalInflationOn = 1;
  for (r.Iteration = 1; r.Iteration <= MaxIterations; ++r.Iteration) {
    if (auto outcome = MainIteration(run)) return *outcome;
  }
  // Nothing settled within the bound: end the run without writing, and say why.
  run.host.message("Run ended after " + std::to_string(MaxIterations) +
                   " iterations without a solution");
  return LoopOutcome::EndRun;
}

SolidView SolidViewOf(const Run& run) {
  const Model& m = run.model;
  const RelaxPlan& p = run.relax.plan;
  SolidView solid;
  solid.vmin = m.MinVertex, solid.vmax = m.MaxVertex;
  solid.faceCount = m.PolygonCount;
  solid.faceStart = p.faceStart;
  solid.faceVerts = p.faceVerts;
  solid.faceStep = std::span<const int>(m.FaceStep.data(), static_cast<size_t>(m.PolygonCount) + 1);
  solid.edgeA = p.springA;
  solid.edgeB = p.springB;
  solid.edgeTarget = p.springTarget;
  return solid;
}

StartPositions PositionSpans(Run& run) {
  Model& m = run.model;
  const size_t rows = static_cast<size_t>(m.MaxVertex) + 1;
  return {std::span<double>(m.PosX.data(), rows), std::span<double>(m.PosY.data(), rows),
          std::span<double>(m.PosZ.data(), rows)};
}

}  // namespace

void FinishPositions(Run& run) {
  RelaxState& r = run.relax;
  if (run.model.MaxVertex < run.model.MinVertex) return;
  if (!run.host.finishPositions(SolidViewOf(run), PositionSpans(run))) return;
  const double polyBefore = r.PolyDeformPrev;
  r.EdgeDeform = 0;
  ClearForces(run);
  EdgeAndPolygonForces(run, ShapePullsVectorAvailable());
  r.PolyDeformPrev = polyBefore;
}

bool SolutionAccepted(Run& run) {
  if (run.RunMode != 2 || run.model.SegmentCount != 1 || !run.host.screensSolutions()) return true;
  return run.host.acceptSolution(ShapeSnapshot(run));
}

void SetStartingPositions(Run& run) {
  Model& m = run.model;
  RelaxState& r = run.relax;
  const RunOptions& o = run.session.options;
  const int lo = m.MinVertex, hi = m.MaxVertex;
  const bool fromInput = m.StartVertex > 0 || Ticked(o.incord);
  for (int i = lo; i <= hi; ++i) {
    if (i - lo <= m.StartVertex) {
      m.PosX[i] = m.VertexX[i - lo];
      m.PosY[i] = m.VertexY[i - lo];
      m.PosZ[i] = m.VertexZ[i - lo];
    } else {
      m.PosX[i] = 2 * run.Rnd() - 1;
      m.PosY[i] = 2 * run.Rnd() - 1;
      m.PosZ[i] = 2 * run.Rnd() - 1;
    }
    r.VelX[i] = r.VelY[i] = r.VelZ[i] = 0;
    r.ForceX[i] = r.ForceY[i] = r.ForceZ[i] = 0;
  }
  if (!fromInput && hi >= lo) run.host.chooseStart(SolidViewOf(run), PositionSpans(run));
  if (!Ticked(o.incord) && m.PolygonCount == 1) {
    const std::string& code = m.FaceCode[1];
    for (int i = lo; i <= hi; ++i) {
      if (Has(code, 'X')) m.PosX[i] = 0;
      if (Has(code, 'Y')) m.PosY[i] = 0;
      if (Has(code, 'Z')) m.PosZ[i] = 0;
    }
  }
  if (Ticked(o.XYConfine))
    for (int i = lo; i <= hi; ++i) m.PosZ[i] = 0;
  // Input coordinates serve the first attempt only.
  for (int i = lo; i <= hi; ++i) m.VertexX[i] = m.VertexY[i] = m.VertexZ[i] = 0;
  m.StartVertex = 0;
}

std::optional<LoopOutcome> MoveVertices(Run& run) {
  RelaxState& r = run.relax;
  Model& m = run.model;
  const int lo = r.plan.vmin, hi = r.plan.vmax;
  double* X = m.PosX.data();
  double* Y = m.PosY.data();
  double* Z = m.PosZ.data();
  const StepColumns columns{X, Y, Z,
                            m.VertexX.data(), m.VertexY.data(), m.VertexZ.data(),
                            r.VelX.data(), r.VelY.data(), r.VelZ.data(),
                            r.ForceX.data(), r.ForceY.data(), r.ForceZ.data()};
  const bool vector = StepVerticesVectorAvailable();
  const StepSums sums = StepVertices(columns, lo, hi, r.Damping, vector);
  const double sx = sums.x, sy = sums.y, sz = sums.z, zmax = sums.zmax, zmin = sums.zmin;
  // One test per move catches any position that ran away (inf or NaN reach the sums).
  if (!std::isfinite(sx + sy + sz)) raiseError(ErrOverflow);
  if (hi >= lo) {
    const double count = hi - lo + 1;
    CentreVertices(columns, lo, hi, sx / count, sy / count, sz / count, vector);
  }
  r.ZMax = zmax;
  r.ZMin = zmin;
  r.ZBand = (zmax - zmin) / 14;
  if (r.ZBand == 0) r.ZBand = 0.1;
  DrawFrame(run);
  if (r.Iteration % 10 == 0) return UpdateAndPoll(run);
  return std::nullopt;
}

std::optional<LoopOutcome> GlobalInflationPhase(Run& run) {
  RelaxState& r = run.relax;
  r.InflateShown = run.infl.InflateMode;
  r.EdgeDeform = 999;
  for (r.Iteration = 1; r.Iteration <= GlobalPasses; ++r.Iteration) {
    r.EdgeDeformPrev = r.EdgeDeform;
    r.EdgeDeform = 0;
    ClearForces(run);
    HopForces(run);
    if (auto outcome = MoveVertices(run)) return outcome;
    if (std::fabs(r.EdgeDeformPrev - r.EdgeDeform) < 1e-6) break;
  }
  return std::nullopt;
}

void EdgeAndPolygonForces(Run& run, bool vector) {
  RelaxState& r = run.relax;
  // The vector path adds each vertex's spring and shape pulls in one go, in the order the
  // plain passes add them.
  const double* rows = vector ? PositionRows(run) : nullptr;
  if (vector)
    EdgePulls(run, rows);
  else
    EdgeForces(run);
  r.PolyDeformPrev = r.PolyDeform;
  r.PolyDeform = 0;
  RhombusMeasures(run, 1);
  HexagonMeasures(run, 1);
  HexagonMeasures(run, 2);
  RhombusMeasures(run, 2);
  RhombusMeasures(run, 3);
  if (!vector) return PolygonForces(run, false);
  ShapePulls(run, rows, true);
  const VertexArrays va(run);
  AddPullRows(r.plan.forcePullList, r.plan.pulls.data(), va.FX, va.FY, va.FZ, true);
}

std::optional<LoopOutcome> MainIteration(Run& run) {
  RelaxState& r = run.relax;
  const int mode = run.infl.InflateMode;
  r.InflateShown = 0;
  r.EdgeDeformPrev = r.EdgeDeform;
  r.EdgeDeform = 0;
  ClearForces(run);
  if ((mode == 3 || mode == 4) && r.Iteration <= 999 && r.LocalInflationOn == 1) {
    LocalInflationForces(run);
    if (Ticked(run.session.options.RegHex)) r.RegularHexActive = 1;
  } else {
    r.RegularHexActive = 0;
  }
  EdgeAndPolygonForces(run, ShapePullsVectorAvailable());
  if (auto outcome = MoveVertices(run)) return outcome;
  return EndOfIteration(run);
}

void RaiseEdgeStrength(Run& run) { run.Strength[1] = 5 * run.Strength[1]; }
void LowerEdgeStrength(Run& run) { run.Strength[1] = run.Strength[1] / 5; }

void RestartRequest(Run& run) {
  static constexpr const char* keys[7] = {"", "f001", "f002", "f003", "f004", "f005", "f006"};
  for (int i = 1; i <= 6; ++i) run.Strength[i] = run.session.prefs.number(keys[i]);
  run.relax.RestartFlag = 1;
}

void SetSolutionName(Run& run) {
  run.OutputName = run.IsomorphIndex == 1
                       ? run.BaseName
                       : run.BaseName + "_isom" + std::to_string(run.IsomorphIndex);
}

namespace {

// The report's figures as the files were given them, for hosts that keep them (a batch
// table, the library's solutions). A figure the model cannot give stays empty: reading
// them must never end a run whose files are written.
void FillReportFigures(const Run& run, WrittenReport& report) {
  report.edgeCount = run.edges.EdgeTotal;
  report.isomorph = run.IsomorphIndex;
  try {
    report.singleEdge = MaxEdgeDistortion(run);
    report.angleDeform = AngleDeformation(run);
  } catch (const KelmorError&) {
  }
}

}  // namespace

bool WriteSolution(Run& run, bool notify) {
  const int before = run.filesWritten;
  std::vector<std::string> written;
  const bool completed = GuardedWrite(run, [&] {
    OutputCall call(run);
    try {
      WriteOutputFiles(call);
    } catch (...) {
      written = call.written;
      throw;
    }
    written = call.written;
  });
  // Segmented input is one solution, reported when its last segment is written.
  if (notify && run.filesWritten > before && run.NextSegmentPending == 0) {
    const RelaxState& r = run.relax;
    WrittenReport report;
    report.outputName = run.OutputName;
    report.edgeDeform = r.EdgeDeform;
    report.polyDeform = r.PolyDeform;
    report.iterations = r.Iteration;
    report.attempts = r.attempts;
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - run.started).count();
    report.files = written;
    FillReportFigures(run, report);
    run.host.solutionWritten(report);
  }
  return completed;
}

std::optional<LoopOutcome> WriteThenNotify(Run& run, std::string_view code, std::string_view tail,
                                           bool notify) {
  const bool written = WriteSolution(run, notify);
  if (run.NextSegmentPending == 1) {
    run.NextSegmentPending = 0;
    return LoopOutcome::NextSegment;
  }
  if (written) run.host.message(std::string(code) + run.OutputName + std::string(tail));
  return std::nullopt;
}

VertexArrays::VertexArrays(Run& run)
    : X(run.model.PosX.data()),
      Y(run.model.PosY.data()),
      Z(run.model.PosZ.data()),
      FX(run.relax.ForceX.data()),
      FY(run.relax.ForceY.data()),
      FZ(run.relax.ForceZ.data()) {}

LoopOutcome RunAttempt(Run& run) {
  RelaxState& r = run.relax;
  Host& host = run.host;
  // Let the user see the last solution before the next attempt replaces it.
  if (host.drawsFrames() && run.GraphicsOn == 1.0 && run.IsomorphIndex > 1)
    std::this_thread::sleep_for(std::chrono::seconds(1));
  if (run.GraphicsSettledOff && host.drawsFrames()) {
    run.GraphicsOn = 1.0;
    run.GraphicsSettledOff = false;
  }
  host.setStatus("");

  BuildRelaxPlan(run);
  r.RestartFlag = 0;
  r.IsomorphTested = 0;
  r.EdgeDeform = r.PolyDeform = 999;
  r.RegularHexActive = 0;
  r.Iteration = 0;
  r.attempts += 1;
  host.attemptStarted(r.attempts);

  SetStartingPositions(run);
  host.showAttemptWindow(run.BaseName + " Isom " + std::to_string(run.IsomorphIndex),
                         run.GraphicsOn == 1.0, DepthPalette);
  r.Step = 0.001;

  if (Ticked(run.session.options.incord)) {
    run.OutputName = run.BaseName;
    PrepareSolution(run);
    return WriteThenNotify(run, "W08: ", "  VRML files written as entered")
        .value_or(LoopOutcome::EndRun);
  }
  if (run.infl.InflateMode == 1) {
    if (auto outcome = GlobalInflationPhase(run)) return *outcome;
  }
  return RelaxationLoop(run);
}

}  // namespace kelmor
