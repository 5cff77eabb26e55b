// The kinds of VRML file, as sequences of the blocks of VrmlFile.
#include "model/numtext.h"
#include "output/vrml_file.h"
#include "output/vrml_files.h"
#include "run/run.h"

namespace kelmor {

namespace {

void Decorations(VrmlFile& file) {
  file.EdgeDecorations();
  file.StressSpheres();
  file.DummySphere();
}

// The face shape of a solid or frame view: face-set head, points, faces, colours and the
// closing block with the transparent shape and the edge lines.
void FaceShape(VrmlFile& file, const PointLayout& layout, FaceMode mode) {
  file.FaceSetHead();
  file.CoordinateList(layout);
  file.CoordinateIndices(layout, mode);
  file.ColourIndexLine(mode);
  file.ClosingBlock(layout);
}

// The solid and frame files differ only in which faces are frames.
void ModelFile(OutputCall& call, std::ostream& os, FaceMode mode) {
  VrmlFile file(call, os);
  file.HeaderBlock();
  file.LabelBlocks();
  file.VertexSpheres(false);
  PointLayout layout = MakePointLayout(call.run, mode, {mode});
  file.Line("Transform {");
  file.Line("  children[");
  file.Line("  Shape{");
  FaceShape(file, layout, mode);
  file.Line("]");
  file.Line("}");
  Decorations(file);
}

// The switchable view's pieces. Its three choices share one set of points, defined in the
// frame view (choice 0) together with the colours and the TRANS and EDGES shapes.

void Lines(VrmlFile& file, std::initializer_list<const char*> texts) {
  for (const char* text : texts) file.Line(text);
}

// A node that keeps its children in front of the viewer wherever the viewer goes.
void HudProto(VrmlFile& file) {
  Lines(file, {"PROTO HUD [",
               "  exposedField SFVec3f size 3.4e38 3.4e38 3.4e38",
               "  exposedField SFVec3f translation 0.0 0.0 -10",
               "  exposedField SFRotation rotation 0 0 0 0",
               "  field MFNode children []",
               "]",
               "{",
               "    Group {",
               "    children [",
               "    DEF UserPosition ProximitySensor {",
               "            center 0 0 0",
               "            size IS size",
               "    }",
               "    DEF HUD Transform",
               "    {",
               "            children [",
               "        Transform {",
               "        children [",
               "        Transform {",
               "            translation IS translation",
               "            rotation IS rotation",
               "            children IS children",
               "        }",
               "        ]",
               "        }",
               "        ]",
               "    }",
               "    ]",
               "    }",
               "    ROUTE UserPosition.position_changed TO HUD.translation",
               "    ROUTE UserPosition.orientation_changed TO HUD.rotation",
               "}",
               ""});
}

// The button in the HUD that steps through the views, with the caption of the next one.
void HudButton(VrmlFile& file, const std::string& colour, const std::string& transparency) {
  Lines(file, {"HUD {", "    translation 0 -0.82 -2", "    children [", "    Transform {", "    children [",
               "    DEF SENSOR TouchSensor {", "    }", "    DEF POINT Transform {", "        children [",
               "        Shape {", "        geometry Box {", "            size 0.2 0.05 0.001", "        }",
               "        appearance Appearance {", "            material Material {"});
  file.Line("            diffuseColor " + colour);
  file.Line("            transparency " + transparency);
  Lines(file, {"            }", "        }", "        }", "        ]", "    }"});
  Lines(file, {"    DEF CMDTXT Switch {", "     whichChoice 1", "     choice ["});
  bool firstCaption = true;
  for (const char* caption : {"--> solid", "--> trans", "--> frame"}) {
    if (!firstCaption) file.Line("    ,");
    firstCaption = false;
    Lines(file, {"      Transform {", "       translation -0.15 -0.83 -2", "        children[", "         Shape{",
                 "          geometry Text {", "           fontStyle FontStyle {", "            size 0.08",
                 "            family \"SANS\"", "           }"});
    file.Line(std::string("          string \"") + caption + "\",");
    file.Line("     }}]}");
  }
  Lines(file, {"     ]}", "    ]", "    }", "    ]", "}", ""});
}

// What the solid and the everything-at-once views add when the model has them.
struct SwitchExtras {
  bool transparent;  // faces coded "t"
  bool edges;        // the edge lines preference
};

// Choice 1: the solid view on the frame view's points.
void SolidChoice(VrmlFile& file, const PointLayout& layout, const RunOptions& o, SwitchExtras extras) {
  Lines(file, {"Transform {", "  children[", "  DEF SOLID Shape{", "    geometry IndexedFaceSet{"});
  if (Ticked(o.Smooth)) file.Line("      creaseAngle " + o.SmoothAngle);
  Lines(file, {"      solid FALSE", "      convex FALSE", "      colorPerVertex FALSE", "      color USE COL",
               "    coord USE C1"});
  file.CoordinateIndices(layout, FaceMode::Solid);
  file.ColourIndexLine(FaceMode::Solid);
  Lines(file, {" ", "    ]", "    }", "    appearance Appearance {", "      material DEF MATER Material {",
               "        shininess 1", "        specularColor 1 1 1", "        transparency 0", "      }", "    }",
               "  }"});
  if (extras.transparent) Lines(file, {"Transform {", "  children USE TRANS", "}"});
  if (extras.edges) Lines(file, {"Transform {", "  children USE EDGES", "}"});
  Lines(file, {"]", "}", ","});
}

// The POLY switch: frame, solid, and everything at once.
void ViewChoices(VrmlFile& file, const PointLayout& layout, const RunOptions& o, SwitchExtras extras) {
  Lines(file, {"Group {", "  children  [", "    DEF POLY Switch {", "      whichChoice 1", "      choice [", " "});
  Lines(file, {"Transform {", "  children [", "  DEF FRAME Shape{"});
  FaceShape(file, layout, FaceMode::Frame);
  Lines(file, {"]", "}", ","});
  SolidChoice(file, layout, o, extras);
  Lines(file, {"Group{", "  children [", "    Transform {", "      children USE SOLID", "    }"});
  if (extras.transparent) Lines(file, {"Transform {", "  children USE TRANS", "}"});
  if (extras.edges) Lines(file, {"    Transform {", "      children USE EDGES", "    }"});
  Lines(file, {"    Transform {", "      children USE FRAME", "    }", "  ]", "}"});
  Lines(file, {"# end of switch nodes", "]", "}", "]", "}"});
}

// The script that a touch of the button runs: the next view, and the solid's
// transparency for the everything-at-once view.
void SwitcherScript(VrmlFile& file, const std::string& transparency) {
  Lines(file, {"",
               "PROTO Switcher [",
               "   eventIn SFBool isActive",
               "   eventOut SFInt32 switchvalue",
               "   eventOut SFFloat transp",
               "]",
               "{ Script {",
               "  eventIn SFBool isActive IS isActive",
               "  eventOut SFInt32 switchvalue IS switchvalue",
               "  eventOut SFFloat transp IS transp",
               "  field SFBool first  TRUE",
               "    url [ \"javascript:",
               "       function isActive(eventValue) {",
               "          if (eventValue == true) {",
               "            if (first == true) {",
               "              switchvalue = 1;",
               "              first = false;",
               "              }",
               "            if (switchvalue == 0) {",
               "              switchvalue = 1;",
               "              transp = 0;",
               "              }",
               "            else {",
               "              if (switchvalue == 1) {",
               "              switchvalue = 2;"});
  file.Line("              transp = " + transparency);
  Lines(file, {"              }",
               "              else {",
               "                if (switchvalue ==2) {",
               "                switchvalue = 0;",
               "               transp = 0;",
               "                }",
               "            } } } }\"",
               "        ]",
               " } }",
               "",
               "DEF VIEWSWITCH Switcher { }",
               "",
               "ROUTE SENSOR.isActive TO VIEWSWITCH.isActive",
               "ROUTE VIEWSWITCH.switchvalue TO POLY.whichChoice",
               "ROUTE VIEWSWITCH.switchvalue TO CMDTXT.whichChoice",
               "ROUTE VIEWSWITCH.transp TO MATER.transparency"});
}

}  // namespace

void WriteSolidFile(OutputCall& call, std::ostream& os) { ModelFile(call, os, FaceMode::Solid); }

void WriteFrameFile(OutputCall& call, std::ostream& os) { ModelFile(call, os, FaceMode::Frame); }

void WriteAnimationFile(OutputCall& call, std::ostream& os) {
  Run& run = call.run;
  VrmlFile file(call, os);
  file.HeaderBlock();
  file.LabelBlocks();
  file.VertexSpheres(false);
  PointLayout layout = MakePointLayout(run, FaceMode::Frame, {FaceMode::Frame});
  file.Line("Transform {");
  file.Line("children[");
  file.Line("DEF CI CoordinateInterpolator {");
  file.Line("key [ 0,.4,.8]");
  file.Line("keyValue [");
  auto point = [&](const Point3& p) {
    file.Line(" " + NumberText(p.x, "#0.0####") + " " + NumberText(p.y, "#0.0####") + " " +
              NumberText(p.z, "#0.0####") + ",");
  };
  // Frame, filled (faces not coded "f" closed up to their centres), frame again.
  for (bool filled : {false, true, false}) {
    ForEachPoint(run, layout, filled, point);
    file.Line(" ");
  }
  file.Line("]");
  file.Line("}");
  file.Line("DEF Cell Shape{");
  file.FaceSetHead();
  file.Line("    coord DEF C" + NumberText(run.model.SegmentIndex, "0") + " Coordinate{");
  file.Line("         point[");
  for (int i = 0; i < layout.pointCount; ++i) file.Put("0 0 0,");
  file.Line("");
  file.Line("         ]");
  file.Line("    }");
  file.CoordinateIndices(layout, FaceMode::Frame);
  file.ColourIndexLine(FaceMode::Frame);
  file.ClosingBlock(layout);
  Decorations(file);
  for (const char* text : {"DEF T TouchSensor {}", "DEF TS TimeSensor {", "cycleInterval 10.0", "loop TRUE",
                           "}", "]", "}", "ROUTE CI.value_changed TO C1.point",
                           "ROUTE T.touchTime TO TS.startTime", "ROUTE TS.fraction_changed TO CI.set_fraction"})
    file.Line(text);
}

void WriteSwitchFile(OutputCall& call, std::ostream& os) {
  Run& run = call.run;
  const Preferences& prefs = run.session.prefs;
  const std::string transparency = NumberText(prefs.number("tran"), "#0.00");
  VrmlFile file(call, os);
  PointLayout layout = MakePointLayout(run, FaceMode::Frame, {FaceMode::Frame, FaceMode::Solid});
  file.HeaderBlock();
  file.LabelBlocks();
  file.Line(" ");
  HudProto(file);
  HudButton(file, call.palette.Unit("colb", "Offset 128"), transparency);
  file.VertexSpheres(false);
  ViewChoices(file, layout, run.session.options, {run.model.FaceTSeen == 1, prefs.flag("edge")});
  Decorations(file);
  SwitcherScript(file, transparency);
}

void WriteCylinderFile(OutputCall& call, std::ostream& os) {
  Run& run = call.run;
  const Model& m = run.model;
  const EdgeTable& e = run.edges;
  VrmlFile file(call, os);
  file.HeaderBlock();
  file.LabelBlocks();
  file.VertexSpheres(true);
  for (int i = 1; i <= e.EdgeTotal; ++i) {
    if (e.EdgeTarget[i] != 1.0) continue;
    if (HasLetter(m.FaceCode[e.EdgeFaces(i, 1)], "B") && HasLetter(m.FaceCode[e.EdgeFaces(i, 2)], "B")) continue;
    file.Cylinder(Placed(run, VertexPosition(run, e.EdgeEnds(i, 1))),
                  Placed(run, VertexPosition(run, e.EdgeEnds(i, 2))), false);
  }
  file.DummySphere();
}

}  // namespace kelmor
