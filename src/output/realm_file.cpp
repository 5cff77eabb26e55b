// The realm path: realm vertices, inter-realm faces, the realm shapes of the segment file
// and the 4OFF file.
#include "output/realm_file.h"

#include <filesystem>
#include <utility>

#include "model/colour.h"
#include "model/numtext.h"
#include "output/off_writer.h"
#include "output/output_call.h"
#include "output/call_files.h"
#include "output/vrml_file.h"
#include "run/run.h"

namespace kelmor {

namespace {

bool IsRealmSegment(const Model& m, int segment) { return m.SegmentRealmMode[segment] != 0; }

// The colour of an inter-realm face: the inter-realm face colour unless its letters carry
// a colour code.
int RealmLinkColour(const RealmLink& link) {
  int colour = 1;
  if (HasLetter(link.code, "Q"))
    FaceColourIndex(static_cast<int>(link.rows.size()), 1, link.code, colour);
  return colour;
}

// The realm coordinate set: defined by the first realm shape, used by the others.
void RealmPoints(VrmlFile& file, bool& defined, const std::vector<Point3>& points) {
  if (defined) {
    file.Line("    coord USE CSEG");
    return;
  }
  file.PointList("CSEG", points);
  defined = true;
}

// The inter-realm faces of three or more corners: with inter-realm transparency on, those
// not coded "s" at the transparency level and the others solid; each set as one face shape
// on the realm coordinate set.
void RealmFaceShape(VrmlFile& file, const std::vector<RealmLink>& links, bool solid,
                    bool& coloursDefined, bool& pointsDefined, const std::vector<Point3>& points) {
  const bool transparent = file.run().session.prefs.flag("rtrn");
  std::vector<const RealmLink*> faces;
  for (const RealmLink& link : links) {
    const bool faceSolid = !transparent || HasLetter(link.code, "s");
    if (link.rows.size() >= 3 && faceSolid == solid) faces.push_back(&link);
  }
  if (faces.empty()) return;
  file.Line("Transform {");
  file.Line("  children[");
  file.Line("  Shape{");
  file.FaceSetHead(!coloursDefined);
  coloursDefined = true;
  RealmPoints(file, pointsDefined, points);
  file.Line("    coordIndex[");
  for (const RealmLink* face : faces) {
    std::string text = "     ";
    for (int row : face->rows) text += BareNumber(row - 1) + ",";
    file.Line(text + "-1,");
  }
  file.Line("    ]");
  file.Line("    colorIndex[");
  file.Put("              ");
  for (const RealmLink* face : faces) file.Put(BareNumber(RealmLinkColour(*face)) + ",");
  file.Line(" ");
  file.Line("    ]");
  file.Line("    }");
  const Run& run = file.run();
  file.ShapeAppearance(solid ? std::string()
                             : NumberText(run.session.prefs.number("tran"), "#0.00"));
  file.Line("]");
  file.Line("}");
}

// Lines in the inter-realm line colour: inter-realm faces of two corners and the line of
// every line realm.
void RealmLineSet(VrmlFile& file, const std::vector<RealmLink>& links, bool& pointsDefined,
                  const std::vector<Point3>& points) {
  const Model& m = file.run().model;
  std::vector<std::pair<int, int>> lines;
  for (const RealmLink& link : links)
    if (link.rows.size() == 2) lines.emplace_back(link.rows[0], link.rows[1]);
  for (int s = 1; s <= m.SegmentCount; ++s) {
    if (m.SegmentRealmMode[s] < 2) continue;
    int a = RealmRow(m, s, 0), b = RealmRow(m, s, 1);
    if (a > 0 && b > 0) lines.emplace_back(a, b);
  }
  if (lines.empty()) return;
  Palette& colours = file.call().palette;
  file.Line("Transform {");
  file.Line("  children[");
  file.Line("  Shape{");
  file.Line("    geometry IndexedLineSet{");
  file.Line("      colorPerVertex FALSE");
  file.Line("      color Color{");
  file.Line("color [ " + colours.Unit("rlin", "Inter-Realm Line") + " ]");
  file.Line("      }");
  RealmPoints(file, pointsDefined, points);
  file.Line("    coordIndex[");
  for (const auto& [a, b] : lines)
    file.Line("     " + BareNumber(a - 1) + "," + BareNumber(b - 1) + ",-1,");
  file.Line("    ]");
  file.Put("    colorIndex[ ");
  for (size_t i = 0; i < lines.size(); ++i) file.Put("0,");
  file.Line("");
  file.Line("    ]");
  file.Line("    }");
  file.Line("  }");
  file.Line("  ]");
  file.Line("}");
}

// The realm shapes: appended to the segment file, or, when no segment was written to
// it, a file of their own under the same name with the header and the colour table.
void RealmShapes(VrmlFile& file, const std::vector<RealmLink>& links, bool started) {
  const Run& run = file.run();
  const Model& m = run.model;
  std::vector<Point3> points;
  for (int row = 1; row < m.RealmCount; ++row) points.push_back(RealmPosition(run, row));
  if (!started) file.HeaderBlock();
  bool coloursDefined = started, pointsDefined = false;
  RealmFaceShape(file, links, false, coloursDefined, pointsDefined, points);
  RealmFaceShape(file, links, true, coloursDefined, pointsDefined, points);
  RealmLineSet(file, links, pointsDefined, points);
  if (!started) file.DummySphere();
}

FourOffContent RealmFourOff(const Run& run, const std::vector<RealmLink>& links) {
  const Model& m = run.model;
  FourOffContent content;
  // The realms lie apart in the fourth coordinate, so the offsets that keep them apart in
  // the three-dimensional view are left out.
  for (int row = 1; row < m.RealmCount; ++row) {
    Point3 p = RealmPosition(run, row);
    int s = m.RealmSegment[row];
    content.points.push_back({p.x - run.SegmentOffset[1][static_cast<size_t>(s)],
                              p.y - run.SegmentOffset[2][static_cast<size_t>(s)],
                              p.z - run.SegmentOffset[3][static_cast<size_t>(s)],
                              RealmFourth(m, row)});
  }
  content.faces = run.SegmentOffFaces;
  for (const RealmLink& link : links) content.links.push_back(link.rows);
  return content;
}

}  // namespace

int RecordRealmRows(Run& run) {
  Model& m = run.model;
  const int s = m.SegmentIndex;
  int first = m.RealmCount;
  for (int row = 1; row < m.RealmCount; ++row) {
    if (m.RealmSegment[row] == s) {
      first = row;
      break;
    }
  }
  m.RealmCount = first;
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v) {
    const int row = m.RealmCount;
    Point3 p = Placed(run, VertexPosition(run, v));
    m.RealmMark[row] = v;
    m.RealmSegment[row] = s;
    m.RealmPoint(row, 1) = p.x;
    m.RealmPoint(row, 2) = p.y;
    m.RealmPoint(row, 3) = p.z;
    m.RealmCount += 1;
  }
  return first;
}

bool SegmentFileStarted(const Model& m, int segment) {
  for (int row = 1; row < m.RealmCount; ++row) {
    int s = m.RealmSegment[row];
    if (s < segment && !IsRealmSegment(m, s)) return true;
  }
  return false;
}

int RealmRow(const Model& m, int segment, int vertex) {
  for (int row = 1; row < m.RealmCount; ++row)
    if (m.RealmSegment[row] == segment && m.RealmMark[row] == vertex) return row;
  return 0;
}

Point3 RealmPosition(const Run& run, int row) {
  const Model& m = run.model;
  Point3 p{m.RealmPoint(row, 1), m.RealmPoint(row, 2), m.RealmPoint(row, 3)};
  const int s = m.RealmSegment[row];
  return IsRealmSegment(m, s) ? Placed(run, s, p) : p;
}

double RealmFourth(const Model& m, int row) { return m.RealmSegment[row] - 1; }

std::vector<RealmLink> ResolveRealmLinks(Run& run) {
  const Model& m = run.model;
  std::vector<RealmLink> links;
  bool reported = false;
  for (int f = 1; f < m.RealmFaceIndex; ++f) {
    RealmLink link;
    link.face = f;
    link.code = m.RealmCode[f];
    bool whole = true;
    for (int p = 1; p <= m.RealmFaceSize[f] && whole; ++p) {
      const int segment = m.RealmFaceFrom(f, p), vertex = m.RealmFace(f, p);
      const int row = segment >= 1 && segment <= m.SegmentCount ? RealmRow(m, segment, vertex) : 0;
      if (row == 0) {
        whole = false;
        if (!reported)
          run.host.message("Input file error: Inter-realm face " + std::to_string(f) +
                           " names vertex " + std::to_string(vertex) + " of segment " +
                           std::to_string(segment) + ", which has no such vertex");
        reported = true;
      }
      link.rows.push_back(row);
    }
    if (whole && link.rows.size() >= 2) links.push_back(std::move(link));
  }
  return links;
}

void WriteRealmFiles(OutputCall& call) {
  Run& run = call.run;
  const Model& m = run.model;
  run.RealmSectionClosed = 0;
  std::vector<RealmLink> links = ResolveRealmLinks(run);
  if (run.debug.on()) {
    for (const RealmLink& link : links) {
      ListLine line;
      line << "Inter-realm Link: " << link.face << " Vertices:";
      for (int row : link.rows) line << row;
      run.debug.Line(line);
    }
  }
  namespace fs = std::filesystem;
  const bool started = SegmentFileStarted(m, m.SegmentCount + 1);
  AddToSegmentFile(call, fs::path(run.OutputDir) / (run.OutputName + ".wrl"), started,
                   [&](std::ostream& os) {
                     VrmlFile file(call, os);
                     RealmShapes(file, links, started);
                   });
  CompleteSegmentFile(call);
  WriteCallFile(call, fs::path(run.OutputDir) / (run.OutputName + ".off"),
                [&](std::ostream& os) { Write4OffFile(call, os, RealmFourOff(run, links)); });
  // Both files are in place before the message says so.
  CommitCallFiles(call);
  run.host.message("W02: " + run.OutputName + " segmented VRML file written");
}

}  // namespace kelmor
