// Edge cylinders, stress cones, vertex and side distortion spheres, and the dummy sphere.
#include <cmath>

#include "model/geometry.h"
#include "model/numtext.h"
#include "output/vrml_file.h"
#include "run/run.h"

namespace kelmor {

namespace {

std::string Fine(double v) { return NumberText(v, "#0.0#####"); }
std::string Position(double v) { return NumberText(v, "#0.0#######"); }

double Length(const Point3& a, const Point3& b) { return VectorLength(b.x - a.x, b.y - a.y, b.z - a.z); }

// The rotation and translation that lay a shape's own axis (+y, towards its top) along
// the line from a to b, centred between them.
void Orientation(VrmlFile& file, const Point3& a, const Point3& b) {
  Point3 m{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  double h = Length(a, b) / 2;
  double ax = (b.x - m.x) / 2, ay = (h + b.y - m.y) / 2, az = (b.z - m.z) / 2;
  // Pointing straight down there is no bisector; a half turn about x does it.
  if (VectorLength(ax, ay, az) < 1e-12) ax = 1, ay = 0, az = 0;
  file.Line("  rotation " + Fine(ax) + " " + Fine(ay) + " " + Fine(az) + " 3.1415");
  file.Line("  translation  " + Fine(m.x) + " " + Fine(m.y) + " " + Fine(m.z));
}

void Material(VrmlFile& file, const std::string& colour) {
  file.Line("    appearance Appearance {");
  file.Line("    material Material {");
  file.Line("     shininess 1");
  file.Line("     diffuseColor " + colour);
  file.Line("           shininess 1");
  file.Line("     transparency 0");
  file.Line("      }");
  file.Line("    }");
}

bool VertexHas(const Run& run, int v, const char* letter) { return HasLetter(run.model.VertexFlags[v], letter); }

}  // namespace

void VrmlFile::Cylinder(const Point3& a, const Point3& b, bool type2) {
  bool& written = type2 ? cylinder2Written_ : cylinderWritten_;
  double& firstLength = type2 ? cylinder2Length_ : cylinderLength_;
  const char* name = type2 ? "Cyl2" : "Cyl";
  double length = Length(a, b);
  Line("Transform {");
  Orientation(*this, a, b);
  if (written && std::fabs(length - firstLength) <= 1e-7) {
    Line(std::string("    children USE ") + name);
    Line("}");
    return;
  }
  Line("  children [");
  Line(written ? std::string("  Shape {") : std::string("  DEF ") + name + " Shape {");
  Material(*this, type2 ? call_.palette.Unit("cy2c", "Cylinder Colour 2")
                        : call_.palette.Unit("cylc", "Cylinder Colour"));
  Line("  geometry Cylinder {");
  Line("    radius " + NumberText(run_.session.prefs.number("cyls") * 0.01, "0.0####"));
  Line("    height " + Fine(length));
  Line("    }");
  Line("  }");
  Line("  ]");
  Line("}");
  if (!written) {
    written = true;
    firstLength = length;
  }
}

void VrmlFile::ConePair(const Point3& a, const Point3& b) {
  double length = Length(a, b);
  if (!(std::fabs(length - 1) > call_.SE * 0.01)) return;
  Point3 m{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  Palette& p = call_.palette;
  bool longer = length > 1;
  std::string compressed = p.Unit("comc", "Compressed Cone Colour");
  std::string first = longer ? p.Unit("extc", "Extended Cone Colour") : compressed;
  std::string second = longer ? p.Unit("cylc", "Cylinder Colour") : compressed;
  double radius = ReadNumber(run_.session.options.StressMult) * std::fabs(length - 1);
  // Each cone runs from its base to its tip: from the ends to the middle when the edge
  // is too long, from the middle to the ends when it is too short.
  auto cone = [&](const Point3& base, const Point3& tip, const std::string& colour) {
    Line("Transform {");
    Orientation(*this, base, tip);
    Line("  children [");
    Line("  DEF Con Shape {");
    Material(*this, colour);
    Line("  geometry Cone {");
    Line("    bottomRadius " + NumberText(radius, "0.0####"));
    Line("    height " + Fine(length / 2));
    Line("    }");
    Line("  }");
    Line("  ]");
    Line("}");
  };
  if (length >= 1) {
    cone(a, m, first);
    cone(b, m, second);
  } else {
    cone(m, a, first);
    cone(m, b, second);
  }
  Line("");
}

void VrmlFile::EdgeDecorations() {
  const Model& m = run_.model;
  const EdgeTable& e = run_.edges;
  if (m.CylinderMarks == 1) {
    for (int i = 1; i <= e.EdgeTotal; ++i) {
      if (e.EdgeTarget[i] != 1.0) continue;
      const std::string& a = m.FaceCode[e.EdgeFaces(i, 1)];
      const std::string& b = m.FaceCode[e.EdgeFaces(i, 2)];
      bool marked = e.EdgeEnds(i, 3) % 10 == 2;
      if (HasLetter(a, "B") && HasLetter(b, "B") && !marked) continue;
      int v1 = e.EdgeEnds(i, 1), v2 = e.EdgeEnds(i, 2);
      bool decorated = marked || HasLetter(a, "O") || HasLetter(b, "O") ||
                       (HasLetter(a, "o") && HasLetter(b, "o")) || VertexHas(run_, v1, "*") ||
                       VertexHas(run_, v2, "*");
      if (!decorated) continue;
      Point3 p1 = Placed(run_, VertexPosition(run_, v1)), p2 = Placed(run_, VertexPosition(run_, v2));
      if (run_.StressPass == 1)
        ConePair(p1, p2);
      else
        Cylinder(p1, p2, false);
    }
  }
  if (m.CylinderMarks2 == 1) {
    for (int i = 1; i <= e.EdgeTotal; ++i) {
      if (e.EdgeTarget[i] != 1.0 || e.EdgeEnds(i, 3) % 10 != 3) continue;
      Cylinder(Placed(run_, VertexPosition(run_, e.EdgeEnds(i, 1))),
               Placed(run_, VertexPosition(run_, e.EdgeEnds(i, 2))), true);
    }
  }
}

void VrmlFile::Sphere(const Point3& at, const std::string& colour, double radius, bool shared) {
  std::string ball = "Balls" + NumberText(run_.model.SegmentIndex, "0");
  std::string position = Position(at.x) + " " + Position(at.y) + " " + Position(at.z);
  if (shared && sphereWritten_) {
    Line("  Transform {");
    Line("   children USE " + ball);
    Line("   translation " + position);
    Line(" }");
    Line("");
    return;
  }
  Line("Transform {");
  Line(" translation " + position);
  Line("   children [");
  Line("      DEF " + ball + " Shape {");
  Line("       appearance  Appearance {");
  Line("         material  Material  {");
  Line("           diffuseColor " + colour);
  Line("           shininess 1");
  Line("         }");
  Line("       }");
  Line("       geometry Sphere {");
  Line("         radius " + NumberText(radius, "#0.000"));
  Line("       }");
  Line("     }");
  Line("   ]");
  Line(" }");
  Line("");
  if (shared) sphereWritten_ = true;
}

void VrmlFile::VertexSpheres(bool everyVertex) {
  const Model& m = run_.model;
  double radius = run_.session.prefs.number("vxsz") * 0.01;
  for (int v = m.MinVertex; v <= m.MaxVertex; ++v) {
    if (!everyVertex && !VertexHas(run_, v, "V")) continue;
    Sphere(Placed(run_, VertexPosition(run_, v)), call_.palette.Unit("vxcl", "Highlight Vertex Colour"),
           radius, true);
  }
}

void VrmlFile::StressSpheres() {
  if (run_.StressPass != 1) return;
  const Model& m = run_.model;
  double factor = ReadNumber(run_.session.options.StBallMult) * 0.5;
  for (int f = 1; f <= m.PolygonCount; ++f) {
    double deform = run_.relax.FaceDeform[f];
    if (deform <= 1e-12) continue;
    Sphere(Placed(run_, FaceMean(run_, f)),
           call_.palette.Unit("disb", "Side Distortion Sphere Colour"), factor * deform, false);
  }
}

void VrmlFile::DummySphere() {
  Line("# Dummy sphere to reset centre of rotation to origin");
  Line("Transform {");
  Line(" translation 0 0 0   children [");
  Line("     Shape {");
  Line("       appearance  Appearance {");
  Line("         material  Material  {");
  Line("           transparency 1");
  Line("         }");
  Line("       }");
  Line("       geometry Sphere {");
  Line("         radius 0.1");
  Line("       }");
  Line("     }");
  Line("   ]");
  Line(" }");
  Line("");
}

}  // namespace kelmor
