// The scene frame of every VRML file: header with the report, background, navigation,
// viewpoints, and the vertex and face labels.
#include <cmath>

#include "model/geometry.h"
#include "model/numtext.h"
#include "output/report.h"
#include "output/vrml_file.h"
#include "run/run.h"

namespace kelmor {

namespace {

const char* const Quote = "\"";

}  // namespace

void VrmlFile::HeaderBlock() {
  const Preferences& prefs = run_.session.prefs;
  const std::string user = OneLineText(prefs.text("unam"));
  Line("#VRML V2.0 utf8");
  Line("WorldInfo{");
  Line(std::string("      title ") + Quote + VrmlString(OneLineText(run_.OutputName)) + "   Generation Date: " +
       VrmlString(call_.date) + Quote);
  Line("      info[ ");
  Line(std::string("      ") + Quote + "Author: " + VrmlString(user) + Quote);
  Line("      ]");
  Line("}");
  Line("#");
  Line("# KELMOR --- Vozaradovo Zidorivaz, Version: " + run_.VersionText);
  Line("#            Polyhedra relaxed from their topology by edge and polygon forces");
  Line("#            Faces coloured by type; see the report below for the deformation");
  Line("#");
  Line("# Model by:  " + user + "   " + OneLineText(prefs.text("usid")));
  Line("#");
  WriteReport(call_, os_);

  // Background, navigation and viewpoints.
  RelaxState& r = run_.relax;
  if (r.ViewRadius == 0) r.ViewRadius = 2;
  if (r.ViewDistance == 0) r.ViewDistance = 10;
  double scale = prefs.number("vscl");
  Line("Background {");
  Line("  skyColor [" + call_.palette.Unit("colb", "VRML Back") + "]");
  Line("}");
  Line(" ");
  Line("NavigationInfo {");
  Line(std::string(" type ") + Quote + "EXAMINE" + Quote);
  Line(" headlight TRUE");
  Line(" avatarSize [0, 0, 0, 0, 0, 0]");
  Line("}");
  struct View {
    const char* name;
    std::string position;
    const char* fieldOfView;
  };
  const View views[6] = {
      {"Wide Angle", " position 0 0 " + NumberText(r.ViewRadius * scale, "#0.0##"), nullptr},
      {"Telephoto", " position 0 0 " + NumberText(r.ViewDistance * scale, "#0.0##"), " fieldOfView 0.15"},
      {"Origin", " position 0 0 0", nullptr},
      {"Origin Wide Angle", " position 0 0 0", " fieldOfView 1.0"},
      {"Origin Fish-Eye", " position 0 0 0", " fieldOfView 1.57"},
      {"Origin Super Fish-Eye", " position 0 0 0", " fieldOfView 2.4"},
  };
  for (const View& v : views) {
    Line("Viewpoint {");
    Line(v.position);
    if (v.fieldOfView) Line(v.fieldOfView);
    Line(std::string(" description ") + Quote + v.name + Quote);
    Line("}");
    Line(" ");
  }
}

void VrmlFile::Label(const Point3& at, int number, bool first, const char* app, const char* fons,
                     const std::string& colour) {
  const Preferences& prefs = run_.session.prefs;
  const RunOptions& o = run_.session.options;
  bool billboard = prefs.flag("vlab");
  double factor = billboard ? 1.01 : 1.0;
  if (Ticked(o.HighVert)) factor += prefs.number("vxsz") * 0.005;
  auto num = [](double v) { return NumberText(v, "##0.0#######"); };
  Line("Transform {");
  if (!billboard) {
    // Turn the text's forward axis (+z) towards the label's direction from the origin.
    double length = VectorLength(at.x, at.y, at.z);
    if (length == 0) length = 1;
    double ux = at.x / length, uy = at.y / length, uz = at.z / length;
    double angle = 2 * ArcSine(VectorLength(ux, uy, uz - 1) / 2);
    double axisX = -at.y, axisY = at.x;
    // On the z axis the turn has no axis of its own; a half turn about y does the same.
    if (axisX == 0 && axisY == 0) axisY = 1;
    Line(" rotation " + num(axisX) + " " + num(axisY) + " 0.0 " + num(angle));
  }
  Line(" translation " + num(at.x * factor) + " " + num(at.y * factor) + " " + num(at.z * factor));
  if (billboard) {
    Line("  children[");
    Line("  Billboard {");
    Line("  axisOfRotation  0 0 0");
  }
  Line("  children[");
  Line("   Shape{");
  if (first) {
    Line(std::string("    appearance DEF ") + app + " Appearance {");
    Line("     material Material {");
    Line("      diffuseColor 0 0 0");
    Line("      emissiveColor " + colour);
    Line("    }}");
    Line("    geometry Text {");
    Line(std::string("      fontStyle DEF ") + fons + " FontStyle {");
    double size = run_.SegmentEdgeLength[run_.model.SegmentIndex] * run_.relax.ViewRadius / 50;
    Line("        size " + NumberText(size, "#0.###"));
    Line(std::string("        family ") + Quote + "SERIF" + Quote);
    Line(std::string("        justify ") + Quote + "MIDDLE" + Quote);
    Line("      }");
  } else {
    Line(std::string("    appearance USE ") + app);
    Line("    geometry Text {");
    Line(std::string("      fontStyle USE ") + fons);
  }
  Line(std::string("      string ") + Quote + BareNumber(number) + Quote);
  Line("}}]}");
  if (billboard) Line("]}");
  Line(" ");
}

void VrmlFile::LabelBlocks() {
  const RunOptions& o = run_.session.options;
  const Model& m = run_.model;
  if (Ticked(o.Labelling)) {
    std::string colour = call_.palette.Unit("lbcv", "Vertex Labels");
    for (int v = m.MinVertex; v <= m.MaxVertex; ++v)
      Label(Placed(run_, VertexPosition(run_, v)), v, v == m.MinVertex, "App1", "Fons1", colour);
  }
  if (Ticked(o.SideLab)) {
    std::string colour = call_.palette.Unit("lbcf", "Face Labels");
    for (int f = 1; f <= m.PolygonCount; ++f)
      Label(Placed(run_, FaceMean(run_, f)), f, f == 1, "App2", "Fons2", colour);
  }
}

}  // namespace kelmor
