// The geometry blocks of the VRML files: the face set with its colour table, the
// coordinate list, face and colour indices, the transparent shape and the edge lines.
#include <cmath>

#include "model/numtext.h"
#include "output/vrml_file.h"
#include "run/run.h"

namespace kelmor {

namespace {

std::string Coordinate(double value) { return NumberText(value, "#0.0#######"); }

std::string SegmentNumber(const Run& run) { return NumberText(run.model.SegmentIndex, "0"); }

// The comment written after each colour taken from a preference, and the fixed lines.
const char* const ColourTableText[33] = {
    "        0 0 0,",
    ", #  1 inter realm faces",
    ", #  2 highlighting",
    ", # 3 triangle",
    ", # 4 square",
    ", # 5 pentagon",
    ", # 6 hexagon",
    ", # 7 apolydronic",
    ", # 8 octagon",
    "        0 0 0",
    ", # 10 decagon",
    ", # 11 pentagram",
    ", # 12 octagram",
    ", # 13 decagram",
    ", #  14 rhombus set 1",
    ", #  15 rhombus set 2",
    ", # 16 segment 1",
    ", # 17 segment 2",
    ", # 18 segment 3",
    ", # 19 segment 4",
    ", # 20 segment 5",
    "        1 0 0     # 21 red",
    "        1 .6 0    # 22 amber (orange)",
    "        1 1 0     # 23 yellow",
    "        0 1 0     # 24 green",
    "        0 1 1     # 25 cyan",
    "        0 0 1     # 26 blue",
    "        1 0 1     # 27 magenta",
    "        .8 .8 .8  # 28 pseudo-white (grey)",
    ", # 29 Highlight",
    ", # 30 Distorted Hexagon 1",
    ", # 31 Distorted Hexagon 2",
    ", #  32 rhombus set 3",
};

bool FaceHas(const Run& run, int f, const char* letter) { return HasLetter(run.model.FaceCode[f], letter); }

}  // namespace

VrmlFile::VrmlFile(OutputCall& call, std::ostream& os) : call_(call), run_(call.run), os_(os) {}

Point3 Placed(const Run& run, const Point3& p) { return Placed(run, run.model.SegmentIndex, p); }

Point3 Placed(const Run& run, int s, const Point3& p) {
  const RunOptions& o = run.session.options;
  double scale = run.SegmentEdgeLength[s];
  return {p.x * scale * (Ticked(o.FlipX[s]) ? -1 : 1) + run.SegmentOffset[1][s],
          p.y * scale * (Ticked(o.FlipY[s]) ? -1 : 1) + run.SegmentOffset[2][s],
          p.z * scale * (Ticked(o.FlipZ[s]) ? -1 : 1) + run.SegmentOffset[3][s]};
}

void VrmlFile::CreaseAngleLine() {
  const RunOptions& o = run_.session.options;
  if (Ticked(o.Smooth)) Line("      creaseAngle " + o.SmoothAngle);
}

void VrmlFile::FaceSetHead(bool defineColours) {
  Line("    geometry IndexedFaceSet{");
  CreaseAngleLine();
  Line("      solid FALSE");
  Line("      convex FALSE");
  Line("      colorPerVertex FALSE");
  if (!defineColours) {
    Line("      color USE COL");
    return;
  }
  Line("      color DEF COL Color{");
  Line("color [");
  for (int i = 0; i <= 32; ++i) {
    ColourEntry entry = ColourEntryOf(i, false);
    if (!entry.key)
      Line(ColourTableText[i]);
    else
      Line("       " + call_.palette.Unit(entry.key, entry.label) + ColourTableText[i]);
  }
  Line("        ]");
  Line("      }");
}

void VrmlFile::CoordinateList(const PointLayout& layout, bool placed) {
  std::vector<Point3> points;
  points.reserve(static_cast<size_t>(layout.pointCount));
  ForEachPoint(run_, layout, false,
               [&](const Point3& p) { points.push_back(placed ? Placed(run_, p) : p); });
  PointList("C" + SegmentNumber(run_), points);
}

void VrmlFile::PointList(std::string_view name, const std::vector<Point3>& points) {
  Line("    coord DEF " + std::string(name) + " Coordinate{");
  Line("         point[");
  for (const Point3& p : points)
    Line("          " + Coordinate(p.x) + " " + Coordinate(p.y) + " " + Coordinate(p.z) + ",");
  Line("         ]");
  Line("    }");
}

void VrmlFile::FaceIndices(int f, const PointLayout& layout, FaceMode mode) {
  const Model& m = run_.model;
  if (FaceHas(run_, f, "B")) return;
  int n = m.FaceSize[f];
  int k = m.FaceStep[f];
  auto point = [&](int p) { return BareNumber(m.FaceVertex(f, p) - m.MinVertex); };
  if (IsFrameFace(m, f, mode)) {
    for (int p = 1; p <= n; ++p) {
      int q = p + k > n ? p + k - n : p + k;
      Line("     " + point(p) + "," + point(q) + "," + BareNumber(layout.InnerPoint(f, q)) + "," +
           BareNumber(layout.InnerPoint(f, p)) + ", -1,");
    }
  } else if (IsFanShaped(m, f)) {
    std::string centre = BareNumber(layout.centre[f]);
    for (int p = 1; p <= n; ++p) {
      int q = n > 0 ? (p + k) % n : 0;
      if (q == 0) q = n;
      Line("     " + centre + "," + point(p) + "," + point(q) + ", -1,");
    }
  } else {
    std::string text = "     ";
    for (int p = 1; p <= n; ++p) text += point(p) + ",";
    Line(text + "-1,");
  }
}

void VrmlFile::CoordinateIndices(const PointLayout& layout, FaceMode mode, bool onlyTransparent) {
  Line("    coordIndex[");
  for (int f = 1; f <= run_.model.PolygonCount; ++f)
    if (!onlyTransparent || FaceHas(run_, f, "t")) FaceIndices(f, layout, mode);
  Line("    ]");
}

void VrmlFile::ColourIndices(int f, int colour, FaceMode mode) {
  const Model& m = run_.model;
  if (FaceHas(run_, f, "B")) return;
  bool whole = !IsFrameFace(m, f, mode) && !IsFanShaped(m, f);
  int entries = whole ? 1 : m.FaceSize[f];
  std::string entry = BareNumber(colour) + ",";
  for (int i = 0; i < entries; ++i) Put(entry);
}

void VrmlFile::ColourIndexLine(FaceMode mode) {
  Line("    colorIndex[");
  Put("              ");  // the entries start in the second print zone
  int colour = 7;
  for (int f = 1; f <= run_.model.PolygonCount; ++f)
    ColourIndices(f, FaceColour(run_, f, colour, HighlightRange::BelowFixed), mode);
}

void VrmlFile::ShapeAppearance(const std::string& transparency) {
  Line("    appearance Appearance {");
  Line("      material Material {");
  Line("        shininess 1");
  Line("        specularColor 1 1 1");
  if (!transparency.empty()) Line("        transparency " + transparency);
  Line("      }");
  Line("    }");
  Line("  }");
}

void VrmlFile::ClosingBlock(const PointLayout& layout, const std::string& transparency) {
  Line(" ");
  Line("    ]");
  Line("    }");
  ShapeAppearance(transparency);
  TransparentShape(layout);
  if (run_.session.prefs.flag("edge")) EdgeLineSet();
}

void VrmlFile::TransparentShape(const PointLayout& layout) {
  Model& m = run_.model;
  if (m.FaceTSeen != 1) return;
  Line("Transform {");
  Line("  children[");
  Line("  DEF TRANS Shape{");
  Line("    geometry IndexedFaceSet{");
  CreaseAngleLine();
  Line("      solid FALSE");
  Line("      convex FALSE");
  Line("      colorPerVertex FALSE");
  Line("      color USE COL");
  Line("      coord USE C" + SegmentNumber(run_));
  CoordinateIndices(layout, FaceMode::Whole, true);
  Line("    colorIndex[");
  int colour = 7;
  for (int f = 1; f <= m.PolygonCount; ++f) {
    FaceColour(run_, f, colour, HighlightRange::BelowFixed);
    if (FaceHas(run_, f, "t")) ColourIndices(f, colour, FaceMode::Whole);
  }
  Line("    ]");
  Line("    }");
  ShapeAppearance(NumberText(run_.session.prefs.number("tran"), "#0.00"));
  Line("  ]");
  Line("  }");
}

void VrmlFile::EdgeLineSet() {
  const Model& m = run_.model;
  const EdgeTable& e = run_.edges;
  Palette& colours = call_.palette;
  Line("Transform {");
  Line("  children[");
  Line("  DEF EDGES Shape{");
  Line("    geometry IndexedLineSet{");
  Line("      colorPerVertex FALSE");
  Line("      color Color{");
  Line("color [ " + colours.Unit("cole", "VRML Edge") + " ,");
  Line("        " + colours.Unit("nedg", "Unmatched Edge") + " ,");
  Line("        " + colours.Unit("hedg", "Highlight Edge") + " ]");
  Line("      }");
  Line("    coord USE C" + SegmentNumber(run_));
  struct Drawn {
    int edge;
    int colour;
  };
  std::vector<Drawn> drawn;
  for (int i = 1; i <= e.EdgeTotal; ++i) {
    if (e.EdgeTarget[i] != 1.0) continue;
    const std::string& a = m.FaceCode[e.EdgeFaces(i, 1)];
    const std::string& b = m.FaceCode[e.EdgeFaces(i, 2)];
    bool bothE = HasLetter(a, "e") && HasLetter(b, "e");
    bool anyE = HasLetter(a, "E") || HasLetter(b, "E");
    bool blankA = HasLetter(a, "B"), blankB = HasLetter(b, "B");
    if (blankA && blankB && !anyE && !bothE) continue;
    int colour = 0;
    if (anyE || bothE || e.EdgeEnds(i, 3) % 10 == 1)
      colour = 2;
    else if (blankA != blankB)
      colour = 1;
    drawn.push_back({i, colour});
  }
  Line("    coordIndex[");
  for (const Drawn& d : drawn)
    Line("     " + BareNumber(e.EdgeEnds(d.edge, 1) - m.MinVertex) + "," +
         BareNumber(e.EdgeEnds(d.edge, 2) - m.MinVertex) + ",-1,");
  Line("    ]");
  Put("    colorIndex[ ");
  for (const Drawn& d : drawn) Put(std::to_string(d.colour) + ",");
  Line("");
  Line("    ]");
  Line("    }");
  Line("  }");
  Line("  ]");
  Line("}");
}

}  // namespace kelmor
