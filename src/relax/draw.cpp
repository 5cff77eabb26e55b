#include <cmath>
#include <span>
#include <string>

#include "model/numtext.h"
#include "output/solution_snapshot.h"
#include "relax/engine.h"
#include "run/run.h"

namespace kelmor {

void DrawFrame(Run& run) {
  RelaxState& r = run.relax;
  // Drawing switches itself off one iteration after the model has nearly settled.
  if (r.EdgeDeform < 0.01) {
    run.GraphicsOn = r.EdgeDeformPrev >= 0.01 ? 1.0 : 0.0;
    run.GraphicsSettledOff = run.GraphicsOn == 0.0;
  }
  if (!(run.GraphicsOn == 1.0 && r.EdgeDeform > 0.005)) return;
  if (!run.host.drawsFrames()) return;

  RelaxPlan& p = r.plan;
  const Model& m = run.model;
  const double S = run.ScreenSize;
  const double* X = m.PosX.data();
  const double* Y = m.PosY.data();
  const double* Z = m.PosZ.data();
  const double* OX = m.VertexX.data();
  const double* OY = m.VertexY.data();
  const size_t count = p.drawA.size();
  for (size_t e = 0; e < count; ++e) {
    const int a = p.drawA[e], b = p.drawB[e];
    DrawLine& line = p.lines[e];
    line.oldX1 = OX[a] + S, line.oldY1 = OY[a] + S;
    line.oldX2 = OX[b] + S, line.oldY2 = OY[b] + S;
    line.newX1 = X[a] + S, line.newY1 = Y[a] + S;
    line.newX2 = X[b] + S, line.newY2 = Y[b] + S;
    const double z = (Z[a] + Z[b]) / 2;
    double k = std::floor((z - r.ZMin) / r.ZBand) + 1;
    if (!(k >= 0)) k = 0;
    if (k > 15) k = 15;
    line.colour = static_cast<int>(k);
  }
  run.host.drawFrame(std::span<const DrawLine>(p.lines.data(), count));
}

std::optional<LoopOutcome> UpdateAndPoll(Run& run) {
  RelaxState& r = run.relax;
  Host& host = run.host;
  DrawFigures& fig = r.figures;
  fig.EdgeDef = NumberText(r.EdgeDeform, "##0.0###############");
  fig.PolyDef = NumberText(r.PolyDeform, "##0.0###############");
  fig.IsomNo = std::to_string(run.IsomorphIndex);
  switch (r.InflateShown) {
    case 0: fig.ExpandOpt = "none"; break;
    case 1: fig.ExpandOpt = "global"; break;
    case 3: fig.ExpandOpt = "local-one"; break;
    case 4: fig.ExpandOpt = "local-diagonal"; break;
    default: break;  // unchanged
  }
  fig.edgeDeform = r.EdgeDeform;
  fig.polyDeform = r.PolyDeform;
  fig.iteration = r.Iteration;
  fig.attempt = r.attempts;
  host.showFigures(fig);
  if (host.wantsLiveShape()) host.liveShape(LiveSnapshot(run));

  const ButtonSet pressed = host.pollButtons();
  if (pressed == 0) return std::nullopt;
  if (pressed & QuitButton) {
    host.hideDrawWindow();
    return LoopOutcome::EndRun;
  }
  if (pressed & WriteButton) {
    run.OutputName = run.BaseName;
    PrepareSolution(run);
    if (auto outcome = WriteThenNotify(run, "W12: ", " VRML files written")) return outcome;
    RestartRequest(run);
  }
  if (pressed & SettledButton) {
    if (auto outcome = WriteSettled(run)) return outcome;
  }
  if (pressed & GraphButton) {
    run.GraphicsOn = run.GraphicsOn == 0 ? 1.0 : 0.0;
    run.GraphicsSettledOff = false;
  }
  if (pressed & RedoButton) RestartRequest(run);
  if (pressed & ReReadButton) return LoopOutcome::ReRead;
  // More F1 and Less F1 in the same poll cancel out exactly.
  const bool up = pressed & F1upButton, down = pressed & F1downButton;
  if (up && !down) RaiseEdgeStrength(run);
  if (down && !up) LowerEdgeStrength(run);
  return std::nullopt;
}

}  // namespace kelmor
