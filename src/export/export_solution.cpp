#include "export/export_solution.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "export/flat_foot.h"
#include "export/format_writers.h"
#include "export/lay_on.h"
#include "export/print_advice.h"
#include "export/shell_check.h"
#include "export/strut_size.h"

namespace kelmor {

namespace {

namespace fs = std::filesystem;

// Makes one model in one format; a failure is reported and makes no file.
void MakeOne(const Mesh& unitMesh, const std::string& title, const fs::path& target, ExportFormat f,
             const ExportRequest& r, ExportOutcome& out) {
  try {
    Mesh mesh = unitMesh.Scaled(UnitsPerEdge(f, r));
    if (ForPrinting(f)) mesh = OnTheBed(std::move(mesh));
    std::vector<FurtherFile> made;
    switch (f) {
      case ExportFormat::Glb:
      case ExportFormat::Gltf: made = WriteGltf(mesh, title, f == ExportFormat::Glb, target.string()); break;
      case ExportFormat::Stl: made = WriteStl(mesh, title, target.string()); break;
      case ExportFormat::ThreeMf: made = Write3mf(mesh, title, target.string()); break;
      case ExportFormat::Obj: made = WriteObj(mesh, title, target.string()); break;
    }
    for (FurtherFile& file : made) out.files.push_back(std::move(file));
  } catch (const std::exception& e) {
    out.failures.push_back(target.string() + ": " + e.what());
  }
}

// A model in the two ways it is written: as solved for viewers, which turn it, and laid
// on the bed with its struts sized for printing.
struct Model {
  std::string title;
  std::string file;
  Mesh view, print;
  bool solid = true;
  int starGaps = 0;      // open edges the star faces' outlines left; then filled whole
  double footCut = 0;    // millimetres cut off the bottom for a steady foot
};

std::vector<Model> Models(const SolutionSnapshot& s, const ExportRequest& r, ExportOutcome& out) {
  std::string layWarning;
  SolutionSnapshot laid = LaidOn(s, r.layOn, layWarning);
  if (!layWarning.empty()) out.warnings.push_back(s.name + s.suffix + ": " + layWarning);
  std::vector<Model> models;
  const double edge = r.scale.value_or(DefaultEdgeMillimetres);
  int starGaps = 0;
  double footCut = 0;
  Mesh solid = FlatFoot(OnTheBed(PrintedSolidMesh(laid, starGaps)), edge, footCut);
  models.push_back({s.name, s.name + s.suffix, ViewedSolidMesh(s), std::move(solid), true, starGaps, footCut});
  if (s.cylinderModel && !s.struts.empty()) {
    SolutionSnapshot printed = WithStrutSizes(laid, PrintedStrutSizes(s, r), edge);
    models.push_back({s.name + "_struts", s.name + "_struts" + s.suffix, StrutMesh(s, edge), StrutMesh(printed, edge),
                      false, 0, 0});
  }
  return models;
}

// What a printer should know before slicing the model: its size, thin struts, holes
// and a solid that runs through itself.
void AdviseOnPrinting(const SolutionSnapshot& s, const ExportRequest& r, const Model& m, ExportOutcome& out) {
  auto advise = [&](const std::optional<std::string>& advice) {
    if (advice) out.warnings.push_back(m.file + ": " + *advice);
  };
  ShellReport report = CheckShells(m.print.points, m.print.triangles);
  bool star = std::any_of(s.faces.begin(), s.faces.end(), [](const SnapshotFace& f) { return f.step > 1; });
  if (m.starGaps)
    advise("the star faces leave gaps between their points (" + std::to_string(m.starGaps) +
           " open edges): the printed solid fills each star face as the polygon through its corners");
  else if (auto advice = ShellAdvice(report, m.solid ? s.openFaces : 0, m.solid && star))
    advise(report.Printable() && s.cylinderModel && !s.struts.empty()
               ? *advice + "; the strut model " + s.name + "_struts" + s.suffix + " prints every edge"
               : *advice);
  if (!m.solid) advise(StrutAdvice(PrintedStrutSizes(s, r)));
  if (m.footCut > 0) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "the solid touches the bed only at points: its lowest %.2f mm are cut off flat so that it stands",
                  m.footCut);
    advise(std::string(text));
  }
  advise(SizeAdvice(m.print.Scaled(r.scale.value_or(DefaultEdgeMillimetres))));
}

}  // namespace

ExportOutcome ExportSolution(const SolutionSnapshot& s, const ExportRequest& r) {
  ExportOutcome out;
  std::vector<Model> models;
  try {
    models = Models(s, r, out);
  } catch (const std::exception& e) {
    out.failures.push_back(s.name + ": " + e.what());
    return out;
  }
  bool printing = std::any_of(r.formats.begin(), r.formats.end(), ForPrinting);
  for (const Model& m : models) {
    if (printing) AdviseOnPrinting(s, r, m, out);
    for (ExportFormat f : r.formats)
      MakeOne(ForPrinting(f) ? m.print : m.view, m.title, fs::path(s.folder) / (m.file + Extension(f)), f, r, out);
  }
  return out;
}

}  // namespace kelmor
