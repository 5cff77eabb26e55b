#include <algorithm>
#include <string>

#include "model/limits.h"
#include "relax/engine.h"
#include "run/run.h"

namespace kelmor {

namespace {

bool Has(const std::string& code, char letter) { return code.find(letter) != std::string::npos; }

bool SkipsSprings(const Model& m, int face) {
  const std::string& code = m.FaceCode[face];
  return Has(code, 'n') || Has(code, 'N');
}

// A vertex number the per-vertex tables can hold; anything else is a limit violation.
int CheckedVertex(int v) {
  if (v < 0 || v > MaxItems) raiseError(ErrSubscript);
  return v;
}

double PolygonEntry(const double (&table)[MaxSides + 1][MaxStep + 1], int n, int k) {
  if (n < 0 || n > MaxSides || k < 0 || k > MaxStep) raiseError(ErrSubscript);
  return table[n][k];
}

void PlanEdges(Run& run, RelaxPlan& p) {
  const Model& m = run.model;
  const EdgeTable& et = run.edges;
  const InflationState& infl = run.infl;
  p.springEdge.clear(), p.springA.clear(), p.springB.clear(), p.springClass.clear();
  p.springTarget.clear();
  p.edgeFace1.clear(), p.edgeFace2.clear(), p.localTarget.clear();
  p.drawA.clear(), p.drawB.clear();
  for (int e = 1; e <= et.EdgeTotal; ++e) {
    int a = CheckedVertex(et.EdgeEnds(e, 1)), b = CheckedVertex(et.EdgeEnds(e, 2));
    int f1 = et.EdgeFaces(e, 1), f2 = et.EdgeFaces(e, 2);
    if (f1 < 0 || f1 > m.PolygonCount || f2 < 0 || f2 > m.PolygonCount) raiseError(ErrSubscript);
    if (!(SkipsSprings(m, f1) && SkipsSprings(m, f2))) {
      int cls = et.EdgeClass[e];
      if (cls < 0 || cls > 6) raiseError(ErrSubscript);  // Strength has rows 1..6
      p.springEdge.push_back(e);
      p.springA.push_back(a);
      p.springB.push_back(b);
      p.springClass.push_back(cls);
      p.springTarget.push_back(et.EdgeTarget[e]);
    }
    if (et.EdgeTarget[e] > 0.999) {
      p.drawA.push_back(a);
      p.drawB.push_back(b);
    }
    p.edgeFace1.push_back(f1);
    p.edgeFace2.push_back(f2);
    double t = 1.0;
    if (infl.InflateMode == 4) {
      auto inradius = [&](int f) {
        return PolygonEntry(run.poly.InradiusTable, m.FaceSize[f], m.FaceStep[f]);
      };
      double mult = infl.LocalTarget;
      if (infl.LocalOption == 2 || infl.LocalOption == 3) {
        if (m.FaceStep[f1] + m.FaceStep[f2] > 2) mult = infl.StarTarget;
        auto selected = [&](int f) {
          return m.FaceSize[f] == infl.SelectedN && m.FaceStep[f] == infl.SelectedD;
        };
        if (selected(f1) || selected(f2)) mult = infl.SelectedTarget;
      }
      t = (inradius(f1) + inradius(f2)) * mult;
    }
    p.localTarget.push_back(t);
  }
  p.lines.assign(p.drawA.size(), DrawLine{});
}

void PlanFaces(Run& run, RelaxPlan& p) {
  const Model& m = run.model;
  const int faces = m.PolygonCount;
  p.faceStart.assign(static_cast<size_t>(faces) + 2, 0);
  p.faceVerts.clear();
  p.faceMoves.assign(static_cast<size_t>(faces) + 1, 0);
  for (int f = 0; f <= faces; ++f) {
    p.faceStart[f] = static_cast<int>(p.faceVerts.size());
    int n = f == 0 ? 0 : m.FaceSize[f];
    for (int pos = 1; pos <= n; ++pos) p.faceVerts.push_back(CheckedVertex(m.FaceVertex(f, pos)));
    p.faceMoves[f] = m.FaceStep[f] <= 1 ? 1 : 0;
  }
  p.faceStart[faces + 1] = static_cast<int>(p.faceVerts.size());
  p.faceForceX.assign(static_cast<size_t>(faces) + 1, 0.0);
  p.faceForceY.assign(static_cast<size_t>(faces) + 1, 0.0);
  p.faceForceZ.assign(static_cast<size_t>(faces) + 1, 0.0);
}

// Slots of the shape pass: plain faces kind by kind (each kind padded to a multiple of four
// slots), then the faces of the rhombus sets and hexagon families in face order; and for
// every vertex its slots in face order, the order in which its forces add up.
void PlanShapeSlots(RelaxPlan& p) {
  p.shapeGroups.clear();
  p.shapeFamilyFaces.clear();
  p.slotRows.clear();
  p.slotReach.clear();
  p.slotReachStep.clear();
  auto slots = [&p] { return static_cast<int>(p.slotReach.size()); };
  auto add = [&](ShapeFace& s) {
    s.slot = slots();
    for (int i = s.first * 8; i < (s.first + s.n) * 8; ++i) p.slotRows.push_back(p.shapeIdx[i] * 4);
    p.slotReach.insert(p.slotReach.end(), static_cast<size_t>(s.n), s.reach);
    p.slotReachStep.insert(p.slotReachStep.end(), static_cast<size_t>(s.n), s.reachStep);
  };
  auto isFamily = [](const ShapeFace& s) { return s.rhombus != 0 || s.hex != 0; };
  // A group's strength is one number for all its slots: weakened faces form groups of
  // their own.
  for (auto [nr, nm] : {std::pair{1, 2}, {2, 2}, {3, 4}, {2, 4}}) {
    for (bool weak : {false, true}) {
      ShapeGroup g{nr, nm, weak, slots(), 0};
      for (ShapeFace& s : p.shapeFaces)
        if (!isFamily(s) && s.nr == nr && s.nm == nm && s.weak == weak) add(s);
      // Padding slots repeat a real vertex and reach nothing; their pulls go unused.
      while ((slots() - g.first) % 4 != 0) {
        p.slotRows.insert(p.slotRows.end(), 8, p.vmin * 4);
        p.slotReach.push_back(0);
        p.slotReachStep.push_back(0);
      }
      g.count = slots() - g.first;
      if (g.count > 0) p.shapeGroups.push_back(g);
    }
  }
  for (size_t i = 0; i < p.shapeFaces.size(); ++i) {
    if (!isFamily(p.shapeFaces[i])) continue;
    add(p.shapeFaces[i]);
    p.shapeFamilyFaces.push_back(static_cast<int>(i));
  }
  p.shapeFar.resize(p.slotReach.size());
  p.shapeLengths.assign(p.slotReach.size(), 0.0);
}

// The position rows every spring and slot reads (the model's range, checked once more
// here), the pull rows, and every vertex's pulls in the order its forces add up.
void PlanPulls(RelaxPlan& p) {
  p.rowLo = p.vmin, p.rowHi = p.vmax;
  auto cover = [&p](int v) { p.rowLo = std::min(p.rowLo, v), p.rowHi = std::max(p.rowHi, v); };
  for (int v : p.shapeIdx) cover(v);
  for (int v : p.springA) cover(v);
  for (int v : p.springB) cover(v);
  const size_t rows = p.rowHi >= 0 ? static_cast<size_t>(p.rowHi) + 1 : 0;
  p.positionRows.resize(rows);

  const int slots = static_cast<int>(p.slotReach.size());
  const int springs = static_cast<int>(p.springA.size());
  p.springPlus = slots;
  p.springMinus = slots + springs;
  p.pulls.resize(static_cast<size_t>(slots) + 2 * static_cast<size_t>(springs));

  std::vector<std::pair<int, int>> shape;
  for (const ShapeFace& s : p.shapeFaces)
    for (int pos = 0; pos < s.n; ++pos)
      shape.emplace_back(p.shapeIdx[static_cast<size_t>(s.first + pos) * 8], (s.slot + pos) * 4);
  p.shapePullList.build(shape, rows);
  // The plain edge pass subtracts the spring's force from a and adds it to b.
  std::vector<std::pair<int, int>> all;
  for (int i = 0; i < springs; ++i) {
    all.emplace_back(p.springA[i], (p.springMinus + i) * 4);
    all.emplace_back(p.springB[i], (p.springPlus + i) * 4);
  }
  all.insert(all.end(), shape.begin(), shape.end());
  p.forcePullList.build(all, rows);
}

void PlanShapes(Run& run, RelaxPlan& p) {
  const Model& m = run.model;
  p.shapeFaces.clear();
  p.shapeIdx.clear();
  p.shapeOnV.clear();
  p.anyWeakShape = false;
  for (auto& v : p.rhombusVerts) v.clear();
  for (auto& v : p.hexVerts) v.clear();

  for (int f = 1; f <= m.PolygonCount; ++f) {
    const std::string& code = m.FaceCode[f];
    const int n = m.FaceSize[f];
    const int* verts = &p.faceVerts[p.faceStart[f]];
    const bool hasD = Has(code, 'D'), hasd = Has(code, 'd'), hasq = Has(code, 'q');
    // The families take their faces whatever else the face carries.
    if (n == 4) {
      if (hasD) p.rhombusVerts[1].insert(p.rhombusVerts[1].end(), verts, verts + 4);
      if (hasd) p.rhombusVerts[2].insert(p.rhombusVerts[2].end(), verts, verts + 4);
      if (hasq) p.rhombusVerts[3].insert(p.rhombusVerts[3].end(), verts, verts + 4);
    }
    if (n == 6) {
      if (hasD) p.hexVerts[1].insert(p.hexVerts[1].end(), verts, verts + 6);
      if (hasd) p.hexVerts[2].insert(p.hexVerts[2].end(), verts, verts + 6);
    }
    if (Has(code, 'n') || Has(code, 'N') || n < 4) continue;

    ShapeFace s;
    s.face = f;
    s.n = n;
    s.first = static_cast<int>(p.shapeOnV.size());
    s.weak = n < run.WeakenLimitValue + 1;
    s.reach = PolygonEntry(run.poly.ReachTable, n, 1);
    const int step = m.FaceStep[f];
    s.reachStep = step > 1 ? PolygonEntry(run.poly.ReachTable, n, step) : 1.0;
    const bool averaged = n >= 6 && !hasD && !hasd;
    const bool even = n % 2 == 0;
    s.nr = even ? (averaged ? 3 : 1) : 2;
    s.nm = averaged ? 4 : 2;
    if (n == 4) s.rhombus = hasq ? 3 : hasd ? 2 : hasD ? 1 : 0;
    if (n == 6) s.hex = hasd ? 2 : hasD ? 1 : 0;
    p.anyWeakShape = p.anyWeakShape || s.weak;

    const int h = n / 2;
    auto at = [&](int pos) { return verts[((pos - 1) % n + n) % n]; };
    for (int pos = 1; pos <= n; ++pos) {
      const int q = pos + h;
      int idx[8];
      idx[0] = at(pos);
      if (even) {
        idx[1] = at(q);
        idx[2] = averaged ? at(q + 1) : idx[1];
        idx[3] = averaged ? at(q - 1) : idx[1];
      } else {
        idx[1] = at(q);
        idx[2] = at(pos - h);
        idx[3] = idx[1];
      }
      idx[4] = at(pos + 1);
      idx[5] = at(pos - 1);
      idx[6] = averaged ? at(pos + 2) : idx[4];
      idx[7] = averaged ? at(pos - 2) : idx[5];
      p.shapeIdx.insert(p.shapeIdx.end(), idx, idx + 8);
      bool onV = false;
      if (s.rhombus != 0)
        onV = Has(m.VertexFlags[idx[0]], 'v') || Has(m.VertexFlags[at(q)], 'v');
      p.shapeOnV.push_back(onV ? 1 : 0);
    }
    p.shapeFaces.push_back(s);
  }
  PlanShapeSlots(p);
}

}  // namespace

void BuildRelaxPlan(Run& run) {
  RelaxState& r = run.relax;
  if (r.ForceX.maxRow() < MaxItems) r.Reset();
  Model& m = run.model;
  if (m.PosX.maxRow() < MaxItems || run.edges.EdgeDev.maxRow() < run.edges.EdgeTotal)
    raiseError(ErrSubscript);
  RelaxPlan& p = r.plan;
  p.vmin = m.MinVertex;
  p.vmax = m.MaxVertex;
  if (p.vmax >= p.vmin) CheckedVertex(p.vmin), CheckedVertex(p.vmax);
  // The hot loops index these directly, by vertex, face and edge number.
  for (Table<double>* t : {&m.PosX, &m.PosY, &m.PosZ, &m.VertexX, &m.VertexY, &m.VertexZ,
                           &r.VelX, &r.VelY, &r.VelZ, &r.ForceX, &r.ForceY, &r.ForceZ})
    t->hold(p.vmax);
  for (Table<double>* t : {&r.FaceDeform, &r.FaceMidX, &r.FaceMidY, &r.FaceMidZ})
    t->hold(m.PolygonCount);
  run.edges.EdgeDev.hold(run.edges.EdgeTotal);
  PlanEdges(run, p);
  PlanFaces(run, p);
  PlanShapes(run, p);
  PlanPulls(p);
  // Faces without a shape force keep a deformation of 0.
  r.FaceDeform.fill(0.0);
}

}  // namespace kelmor
