#include "output/solution_snapshot.h"

#include <algorithm>

#include "output/faces.h"
#include "output/output_call.h"
#include "run/run.h"

namespace kelmor {

namespace {

SnapshotColour FromComponents(const ColourComponents& c) {
  return {c.red / 255.0, c.green / 255.0, c.blue / 255.0};
}

// The colour table's fixed entries (0, 9 and 21 to 28) as the solid file writes them.
SnapshotColour FixedEntry(int index) {
  switch (index) {
    case 21: return {1, 0, 0};
    case 22: return {1, 0.6, 0};
    case 23: return {1, 1, 0};
    case 24: return {0, 1, 0};
    case 25: return {0, 1, 1};
    case 26: return {0, 0, 1};
    case 27: return {1, 0, 1};
    case 28: return {0.8, 0.8, 0.8};
    default: return {0, 0, 0};
  }
}

std::vector<SnapshotColour> ColourTable(Palette& palette) {
  std::vector<SnapshotColour> table;
  for (int i = 0; i <= 32; ++i) {
    ColourEntry entry = ColourEntryOf(i, false);
    table.push_back(entry.key ? FromComponents(palette.Components(entry.key, entry.label)) : FixedEntry(i));
  }
  return table;
}

}  // namespace

SolutionSnapshot ShapeSnapshot(const Run& run) {
  const Model& m = run.model;
  SolutionSnapshot s;
  s.folder = run.OutputDir;
  s.name = run.OutputName;
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v) {
    Point3 p = VertexPosition(run, v);
    s.points.push_back({p.x, p.y, p.z});
  }
  for (int f = 1; f <= m.PolygonCount; ++f) {
    if (HasLetter(m.FaceCode[f], "B")) continue;
    SnapshotFace face;
    for (int p = 1; p <= m.FaceSize[f]; ++p) face.corners.push_back(m.FaceVertex(f, p) - m.MinVertex);
    face.step = m.FaceStep[f];
    face.fan = IsFanShaped(m, f);
    s.faces.push_back(std::move(face));
  }
  return s;
}

SolutionSnapshot LiveSnapshot(const Run& run) {
  SolutionSnapshot s = ShapeSnapshot(run);
  Palette silent(run, [](const std::string&) {});
  s.colours = ColourTable(silent);
  // Faces coded "B" are not in the snapshot but carry the colour rule on all the same.
  int colour = 7;
  size_t next = 0;
  for (int f = 1; f <= run.model.PolygonCount; ++f) {
    FaceColour(run, f, colour, HighlightRange::BelowFixed);
    if (!HasLetter(run.model.FaceCode[f], "B") && next < s.faces.size()) s.faces[next++].colour = colour;
  }
  return s;
}

SolutionSnapshot TakeSnapshot(OutputCall& call) {
  const Run& run = call.run;
  const Model& m = run.model;
  SolutionSnapshot s;
  s.folder = run.OutputDir;
  s.name = run.OutputName;
  s.suffix = call.runSuffix;
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v) {
    Point3 p = VertexPosition(run, v);
    s.points.push_back({p.x, p.y, p.z});
  }
  s.colours = ColourTable(call.palette);
  // The colour rule carries the index from face to face, so every face takes part.
  int colour = 7;
  for (int f = 1; f <= m.PolygonCount; ++f) {
    FaceColour(run, f, colour, HighlightRange::BelowFixed);
    if (HasLetter(m.FaceCode[f], "B")) {
      ++s.openFaces;
      continue;
    }
    SnapshotFace face;
    for (int p = 1; p <= m.FaceSize[f]; ++p) face.corners.push_back(m.FaceVertex(f, p) - m.MinVertex);
    face.step = m.FaceStep[f];
    face.fan = IsFanShaped(m, f);
    face.colour = colour;
    face.number = f;
    if (HasLetter(m.FaceCode[f], "f") && !HasLetter(m.FaceCode[f], "s"))
      for (int p = 1; p <= m.FaceSize[f]; ++p) {
        Point3 q = FrameInnerPoint(run, f, p);
        face.inner.push_back({q.x, q.y, q.z});
      }
    face.translucent = HasLetter(m.FaceCode[f], "t");
    s.faces.push_back(std::move(face));
  }
  const Preferences& prefs = run.session.prefs;
  s.transparency = std::clamp(prefs.number("tran"), 0.0, 1.0);
  s.cylinderModel = prefs.flag("vcyl");
  const EdgeTable& e = run.edges;
  for (int i = 1; i <= e.EdgeTotal; ++i) {
    if (e.EdgeTarget[i] != 1.0) continue;
    if (HasLetter(m.FaceCode[e.EdgeFaces(i, 1)], "B") && HasLetter(m.FaceCode[e.EdgeFaces(i, 2)], "B")) continue;
    s.struts.push_back({e.EdgeEnds(i, 1) - m.MinVertex, e.EdgeEnds(i, 2) - m.MinVertex});
  }
  s.strutRadius = prefs.number("cyls") * 0.01;
  s.ballRadius = prefs.number("vxsz") * 0.01;
  s.strutColour = FromComponents(call.palette.Components("cylc", "Cylinder Colour"));
  s.ballColour = FromComponents(call.palette.Components("vxcl", "Highlight Vertex Colour"));
  return s;
}

}  // namespace kelmor
