#include "output/segment_file.h"

#include <algorithm>

#include "input/parser.h"
#include "model/geometry.h"
#include "model/numtext.h"
#include "output/call_files.h"
#include "output/off_writer.h"
#include "output/output_call.h"
#include "output/realm_file.h"
#include "output/vrml_file.h"
#include "run/run.h"

namespace kelmor {

namespace {

// The viewpoints of the segment file frame every segment, each taken to be about the size
// of the first at its own edge length and offset.
void SegmentFileHeader(VrmlFile& file) {
  Run& run = file.run();
  RelaxState& r = run.relax;
  const double radius = r.ViewRadius, distance = r.ViewDistance;
  double reach = 0;
  for (int s = 1; s <= run.model.SegmentCount; ++s) {
    const size_t i = static_cast<size_t>(s);
    const double offset =
        VectorLength(run.SegmentOffset[1][i], run.SegmentOffset[2][i], run.SegmentOffset[3][i]);
    reach = std::max(reach, radius * run.SegmentEdgeLength[i] + 3.5 * offset);
  }
  if (reach > 0) {
    r.ViewRadius = reach;
    r.ViewDistance = 5 * reach;
  }
  file.HeaderBlock();
  r.ViewRadius = radius;
  r.ViewDistance = distance;
}

// One segment: the first written also carries the header (with the report and the
// segment lines) and defines the colour table and the dummy sphere; every segment has its
// labels, spheres, face shape on its own coordinate set and edge decorations.
void SegmentShape(VrmlFile& file, bool first) {
  Run& run = file.run();
  Model& m = run.model;
  const int s = m.SegmentIndex;
  // A transparent segment is drawn whole at the transparency level: its faces coded "t"
  // need no shape of their own.
  std::string transparency;
  if (Ticked(run.session.options.SegTrans[static_cast<size_t>(s)])) {
    m.FaceTSeen = 0;
    transparency = NumberText(run.session.prefs.number("tran"), "#0.00");
  }
  if (first) SegmentFileHeader(file);
  file.LabelBlocks();
  file.VertexSpheres(false);
  PointLayout layout = MakePointLayout(run, FaceMode::Solid, {FaceMode::Solid});
  file.Line("Transform {");
  file.Line("  children[");
  file.Line("  Shape{");
  file.FaceSetHead(first);
  file.CoordinateList(layout, true);
  file.CoordinateIndices(layout, FaceMode::Solid);
  file.ColourIndexLine(FaceMode::Solid);
  file.ClosingBlock(layout, transparency);
  file.Line("]");
  file.Line("}");
  file.EdgeDecorations();
  file.StressSpheres();
  if (first) file.DummySphere();
}

}  // namespace

void WriteSegmentFile(OutputCall& call) {
  Run& run = call.run;
  Model& m = run.model;
  // A block that lists no vertex adds nothing, but still counts as a segment.
  if (m.MaxVertex >= m.MinVertex) {
    const bool first = !SegmentFileStarted(m, m.SegmentIndex);
    if (first) run.SegmentOffFaces.clear();
    const int firstRow = RecordRealmRows(run);
    AddToSegmentFile(call, std::filesystem::path(run.OutputDir) / (run.OutputName + ".wrl"), !first,
                     [&](std::ostream& os) {
                       VrmlFile file(call, os);
                       SegmentShape(file, first);
                     });
    for (std::string& line : OffFaceLines(call, HighlightRange::BelowSegments, firstRow - 1))
      run.SegmentOffFaces.push_back(std::move(line));
  }
  m.SegmentIndex += 1;
  if (m.SegmentIndex <= m.SegmentCount) {
    run.NextSegmentPending = 1;
    return;
  }
  // The last segment is written: the inter-realm section follows, when the input has one.
  run.NextSegmentEntry = 1;
  ReadInput(run);
  run.NextSegmentEntry = 0;
  if (run.RealmSectionClosed == 1)
    WriteRealmFiles(call);
  else
    CompleteSegmentFile(call);
}

}  // namespace kelmor
