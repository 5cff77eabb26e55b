#include "export/export_solution.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "export/format_writers.h"
#include "export/shell_check.h"

namespace kelmor {

namespace {

namespace fs = std::filesystem;

constexpr double MinimumStrutMillimetres = 0.8;

// A printed model stands on the bed: its lowest point at z = 0.
Mesh OnTheBed(Mesh mesh) {
  if (mesh.points.empty()) return mesh;
  double low = mesh.points[0].z;
  for (const Vec3& p : mesh.points) low = std::min(low, p.z);
  for (Vec3& p : mesh.points) p.z -= low;
  return mesh;
}

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

std::string Flaw(const ShellReport& report) {
  std::ostringstream why;
  if (report.openEdges) why << report.openEdges << " open edges (faces coded B leave holes)";
  else if (report.overusedEdges) why << report.overusedEdges << " edges shared by more than two faces";
  else if (report.misorientedEdges) why << "a one-sided surface (no consistent outside)";
  else why << "a shell with no volume";
  return why.str();
}

}  // namespace

ExportOutcome ExportSolution(const SolutionSnapshot& s, const ExportRequest& r) {
  ExportOutcome out;
  struct Model {
    std::string title;
    std::string file;
    Mesh mesh;
  };
  std::vector<Model> models;
  try {
    models.push_back({s.name, s.name + s.suffix, SolidMesh(s)});
    if (s.cylinderModel && !s.struts.empty()) {
      double edge = r.scale.value_or(DefaultEdgeMillimetres);
      models.push_back({s.name + "_struts", s.name + "_struts" + s.suffix, StrutMesh(s, edge)});
    }
  } catch (const std::exception& e) {
    out.failures.push_back(s.name + ": " + e.what());
    return out;
  }
  bool printing = std::any_of(r.formats.begin(), r.formats.end(), ForPrinting);
  double edge = r.scale.value_or(DefaultEdgeMillimetres);
  // Struts thinner than a common nozzle's line print badly or not at all.
  if (printing && models.size() > 1 && 2 * s.strutRadius * edge < MinimumStrutMillimetres) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "struts %.2f mm thick at a %g mm edge print poorly; --pref cyls=%d makes them 2 mm", 2 * s.strutRadius * edge,
                  edge, static_cast<int>(std::ceil(100.0 / edge)));
    out.warnings.push_back(models[1].file + ": " + text);
  }
  for (const Model& m : models) {
    if (printing) {
      ShellReport report = CheckShells(m.mesh.points, m.mesh.triangles);
      if (!report.Printable())
        out.warnings.push_back(m.file + ": not a closed solid for printing: " + Flaw(report));
    }
    for (ExportFormat f : r.formats)
      MakeOne(m.mesh, m.title, fs::path(s.folder) / (m.file + Extension(f)), f, r, out);
  }
  return out;
}

}  // namespace kelmor
