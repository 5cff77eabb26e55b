#pragma once

#include <vector>

#include "model/limits.h"
#include "model/table.h"
#include "relax/relax_plan.h"
#include "run/host.h"

namespace kelmor {

// Vertex state and the running figures of the relaxation. Per-vertex tables have rows
// 0..MaxItems, of which the plan holds those the model uses; held rows are contiguous,
// so the hot loops can run over them directly.
struct RelaxState {
  Table<double> VelX, VelY, VelZ;
  Table<double> ForceX, ForceY, ForceZ;
  Table<double> FaceDeform;  // per face 0..MaxItems
  Table<double> FaceMidX, FaceMidY, FaceMidZ;

  double Step = 0.001;
  double Damping = 0.5;
  long Iteration = 0;
  double EdgeDeform = 999, PolyDeform = 999;
  double EdgeDeformPrev = 999, PolyDeformPrev = 999;
  int InflateShown = 0;
  int LocalInflationOn = 0;
  int RegularHexActive = 0;
  int SettleCountdown = 0;
  int RestartFlag = 0;
  double ZMax = 0, ZMin = 0, ZBand = 0.1;

  // Convergence rules.
  double WriteNow = 0;
  double IsomorphTested = 0;
  int SolutionValid = 1;

  // Isomorphs.
  std::vector<double> IsomorphSignature;  // slots 0..MaxIsomorphs
  int CoincidenceReported = 0;
  double ViewRadius = 0, ViewDistance = 0;

  // Family targets of the polygon shape force; they keep their values between
  // iterations and are replaced only when the family has a face.
  double DiagShort1 = 0, DiagLong1 = 0, DiagShort2 = 0, DiagLong2 = 0, DiagShort3 = 0,
         DiagLong3 = 0;
  double HexPairD = 0, HexOddD = 0, HexPaird = 0, HexOddd = 0;

  int attempts = 0;  // attempts started in this run (reported with each written solution)

  // Derived once per attempt for the hot loops.
  RelaxPlan plan;
  // The figures shown every tenth iteration (kept, so "unchanged" modes keep their text).
  DrawFigures figures;

  void Reset() {
    auto zero = [](Table<double>& v) { v.resize(MaxItems, 0.0); };
    zero(VelX), zero(VelY), zero(VelZ), zero(ForceX), zero(ForceY), zero(ForceZ);
    zero(FaceDeform), zero(FaceMidX), zero(FaceMidY), zero(FaceMidZ);
    IsomorphSignature.assign(MaxIsomorphs + 1, 0.0);
    Step = 0.001;
    Damping = 0.5;
    attempts = 0;
  }
};

}  // namespace kelmor
