#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/numtext.h"
#include "run/run.h"
#include "topology/face_rows.h"
#include "topology/topology.h"

namespace kelmor {

namespace {

constexpr int HopSweeps = 30;  // pairs more than 31 hops apart stay 0

int InflateModeFor(int inflateOption) {
  switch (inflateOption) {
    case 0:
      return 1;  // Global
    case 2:
      return 3;  // Local "one"
    case 3:
      return 4;  // Local Diagonal
    default:
      return 0;  // None
  }
}

double D4FactorFor(int inflateMode) { return inflateMode == 3 || inflateMode == 4 ? 10 : 1; }

// The sweep (1..30) that expands an entry of this value: the one whose window, strictly
// between h - 0.99 and h + 0.01, holds it; 0 for none.
int SweepOf(float value) {
  const double v = value;
  if (!(v > 0.0 && v < HopSweeps + 1)) return 0;
  const int guess = static_cast<int>(std::floor(v + 0.99));
  for (int h = guess - 1; h <= guess + 1; ++h)
    if (h >= 1 && h <= HopSweeps && v > h - 0.99 && v < h + 0.01) return h;
  return 0;
}

// A hop entry for vertices that must lie inside the table (error 9 otherwise).
float& HopAt(InflationState& in, int a, int b) {
  if (a < in.HopFirst || a > in.HopLast || b < in.HopFirst || b > in.HopLast)
    raiseError(ErrSubscript);
  return in.Hop(a, b);
}

void SetBoth(InflationState& in, int a, int b, float value) {
  HopAt(in, a, b) = value;
  HopAt(in, b, a) = value;
}

// The band links of the input's edge-only faces, as vertex pairs.
std::vector<std::pair<int, int>> Bands(const Model& m) {
  std::vector<std::pair<int, int>> bands;
  for (int i = 1; i <= m.DigonCount; ++i) {
    const int row = BandRow(m, i);
    bands.emplace_back(m.FaceVertex(row, 1), m.FaceVertex(row, 2));
  }
  return bands;
}

}  // namespace

void ReadInflationOptions(Run& run) {
  const RunOptions& o = run.session.options;
  InflationState& in = run.infl;
  in.InflateMode = InflateModeFor(o.InflateOption);
  in.GlobalLimit = RoundInt16(ReadNumber(o.GlobLim));
  if (in.InflateMode == 4) {
    in.LocalOption = o.LocalOption;
    switch (in.LocalOption) {
      case 0:
        in.LocalTarget = ReadNumber(o.LocInfMin1);
        in.LocalModeCode = in.LocalTarget;
        break;
      case 1:
        in.LocalModeCode = 2;
        in.LocalMin = ReadNumber(o.LocInfMin1);
        in.LocalMax = ReadNumber(o.LocInfMax1);
        break;
      case 2:
        in.LocalModeCode = 3;
        in.LocalTarget = ReadNumber(o.LocInfMin1);
        in.StarTarget = ReadNumber(o.LocInfMin2);
        in.SelectedTarget = ReadNumber(o.LocInfMin3);
        break;
      case 3:
        in.LocalModeCode = 5;
        in.LocalMin = ReadNumber(o.LocInfMin1);
        in.LocalMax = ReadNumber(o.LocInfMax1);
        in.StarMin = ReadNumber(o.LocInfMin2);
        in.StarMax = ReadNumber(o.LocInfMax2);
        in.SelectedMin = ReadNumber(o.LocInfMin3);
        in.SelectedMax = ReadNumber(o.LocInfMax3);
        break;
      default:
        break;
    }
    if (!o.SelectFace.empty()) {
      NdValue nd = ReadNd(o.SelectFace);
      in.SelectedN = nd.n;
      in.SelectedD = nd.d;
    }
  }
  in.D4Factor = D4FactorFor(in.InflateMode);
  if (run.model.DigonCount > 0) run.edges.BandLength = ReadNumber(o.BandLen);
}

// The hop rule, sweep h = 1..30: every ordered pair (a, b) whose entry lies in the
// window of h passes h + 1 to each still-empty pair (a, c), c a neighbour of b, in both
// directions. An entry written in sweep h holds h + 1, outside the window of h, and only
// empty entries are written, so the pairs a sweep expands are fixed when it starts and
// every write of the sweep is the same value: the order of the pairs within a sweep does
// not matter. So instead of visiting all pairs in every sweep, each sweep visits exactly
// its pairs: those written by the sweep before and the edge and band entries whose value
// falls in its window. Cost: each pair is expanded at most once, O(n * edges) in all.
void BuildHopDistances(Run& run) {
  const Model& m = run.model;
  const EdgeTable& t = run.edges;
  InflationState& in = run.infl;
  int lo = m.MinVertex, hi = m.MaxVertex;
  if (hi < lo) return;
  const auto bands = Bands(m);
  // The table spans the model's vertices and whatever an edge or band names.
  for (int e = 1; e <= t.EdgeTotal; ++e)
    for (int end = 1; end <= 2; ++end)
      lo = std::min(lo, t.EdgeEnds(e, end)), hi = std::max(hi, t.EdgeEnds(e, end));
  for (auto [a, b] : bands) lo = std::min({lo, a, b}), hi = std::max({hi, a, b});
  if (lo < 0 || hi > MaxHopVertex) raiseError(ErrSubscript);
  in.SizeHopTable(lo, hi);
  const int rows = in.HopSize();

  for (int e = 1; e <= t.EdgeTotal; ++e)
    SetBoth(in, t.EdgeEnds(e, 1), t.EdgeEnds(e, 2), static_cast<float>(t.EdgeTarget[e]));
  for (auto [a, b] : bands) SetBoth(in, a, b, 1.0f);

  std::vector<std::vector<uint32_t>> seeds(HopSweeps + 1);
  auto seed = [&](int a, int b) {
    if (int h = SweepOf(in.Hop(a, b)); h > 0)
      seeds[static_cast<size_t>(h)].push_back(static_cast<uint32_t>(in.HopIndex(a, b)));
  };
  for (int e = 1; e <= t.EdgeTotal; ++e) {
    seed(t.EdgeEnds(e, 1), t.EdgeEnds(e, 2));
    seed(t.EdgeEnds(e, 2), t.EdgeEnds(e, 1));
  }
  for (auto [a, b] : bands) {
    seed(a, b);
    seed(b, a);
  }

  // Pairs travel as table indices: (a - lo) * rows + (b - lo).
  float* hop = in.HopDistance.data();
  std::vector<uint32_t> current, next;
  for (int h = 1; h <= HopSweeps; ++h) {
    const auto& s = seeds[static_cast<size_t>(h)];
    current.insert(current.end(), s.begin(), s.end());
    next.clear();
    const float value = static_cast<float>(h + 1);
    for (uint32_t ab : current) {
      const int a = static_cast<int>(ab / static_cast<uint32_t>(rows));
      const int b = static_cast<int>(ab % static_cast<uint32_t>(rows));
      float* rowA = hop + static_cast<size_t>(a) * static_cast<size_t>(rows);
      const int* neighbours = t.Neighbour.row(b + lo);
      const int degree = t.VertexDegree[b + lo];
      for (int i = 1; i <= degree; ++i) {
        const int c = neighbours[i] - lo;
        if (c < 0 || c >= rows) raiseError(ErrSubscript);
        if (rowA[c] != 0.0f) continue;
        rowA[c] = value;
        hop[static_cast<size_t>(c) * static_cast<size_t>(rows) + static_cast<size_t>(a)] = value;
        next.push_back(static_cast<uint32_t>(a * rows + c));
        if (c != a) next.push_back(static_cast<uint32_t>(c * rows + a));
      }
    }
    current.swap(next);
  }

  const float bandLength = static_cast<float>(run.edges.BandLength);
  for (auto [a, b] : bands) {
    SetBoth(in, a, b, bandLength);
    run.debug.Line(ListLine() << "Band found between vertices " << a << " and " << b);
  }
}

void ApplySqrtHop(Run& run) {
  const Model& m = run.model;
  InflationState& in = run.infl;
  int lo = m.MinVertex, hi = m.MaxVertex;
  if (hi < lo) return;
  // Only global inflation reads the table; other modes reshape what the table holds.
  if (hi > MaxHopVertex) {
    if (in.InflateMode == 1) raiseError(ErrSubscript);
    hi = MaxHopVertex;
  }
  if (lo < 0) raiseError(ErrSubscript);
  // Without global inflation there is no table yet: an empty one, as every entry was.
  if (!in.HopCovers(lo, hi)) in.SizeHopTable(lo, hi);
  const double mult = ReadNumber(run.session.options.SqrtMult);
  for (int a = lo; a <= hi; ++a)
    for (int b = lo; b <= hi; ++b) {
      float& h = in.Hop(a, b);
      if (h < 0) raiseError(ErrInvalidCall);  // square root of a negative band length
      h = static_cast<float>(mult * std::sqrt(static_cast<double>(h)));
    }
}

void PrepareAttemptInflation(Run& run) {
  Model& m = run.model;
  InflationState& in = run.infl;
  if (in.LocalOption == 1) in.LocalTarget = in.LocalMin + run.Rnd() * (in.LocalMax - in.LocalMin);
  // Differential Range draws its three targets; tested by the option itself, since the
  // mode code of the Value option is the typed value and may read 5 too.
  if (in.LocalOption == 3) {
    in.StarTarget = in.StarMin + run.Rnd() * (in.StarMax - in.StarMin);
    in.LocalTarget = in.LocalMin + run.Rnd() * (in.LocalMax - in.LocalMin);
    in.SelectedTarget = in.SelectedMin + run.Rnd() * (in.SelectedMax - in.SelectedMin);
  }
  while (m.MaxVertex > m.MinVertex && run.edges.VertexDegree[m.MaxVertex] <= 0) m.MaxVertex -= 1;
  if (in.SavedInflateMode == 3 || in.SavedInflateMode == 4) in.InflateMode = in.SavedInflateMode;
  run.relax.EdgeDeform = run.relax.PolyDeform = 999;
  run.relax.EdgeDeformPrev = run.relax.PolyDeformPrev = 999;
  in.D4Factor = D4FactorFor(in.InflateMode);
  run.debug.Line(ListLine() << "expand :" << in.InflateMode);
  run.debug.Line(ListLine() << "expold :" << in.SavedInflateMode);
  run.debug.Line(ListLine() << "minvert :" << m.MinVertex);
  run.debug.Line(ListLine() << "maxvert :" << m.MaxVertex);
  run.debug.Line(ListLine() << "d4fac :" << in.D4Factor);
}

}  // namespace kelmor
