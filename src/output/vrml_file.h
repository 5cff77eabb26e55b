#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "output/faces.h"
#include "output/output_call.h"

namespace kelmor {

struct Run;

// One VRML file being written: the blocks every kind of file is made of, and the
// sharing state (first cylinder, first sphere, first label) that lives for one file.
class VrmlFile {
 public:
  VrmlFile(OutputCall& call, std::ostream& os);

  void Put(std::string_view text) { os_ << text; }
  void Line(std::string_view text) { kelmor::Line(os_, text); }

  // Scene frame.
  void HeaderBlock();
  void LabelBlocks();

  // Geometry. A face set after the first of a segment file refers to the colour table
  // ("color USE COL") instead of defining it. The segment file places its points.
  void FaceSetHead(bool defineColours = true);
  void CoordinateList(const PointLayout& layout, bool placed = false);
  // A coordinate set of the given name ("C1", "CSEG") with one point line each.
  void PointList(std::string_view name, const std::vector<Point3>& points);
  void CoordinateIndices(const PointLayout& layout, FaceMode mode, bool onlyTransparent = false);
  void FaceIndices(int f, const PointLayout& layout, FaceMode mode);
  // Opens the colour-index line ("    colorIndex[" and the first print zone) and writes
  // the entries of every face.
  void ColourIndexLine(FaceMode mode);
  void ColourIndices(int f, int colour, FaceMode mode);
  // The end of the face shape (with a transparency line when given), the transparent
  // shape and the edge line set.
  void ClosingBlock(const PointLayout& layout, const std::string& transparency = "");
  // The appearance of a face shape and the shape's end; a transparency line when given.
  void ShapeAppearance(const std::string& transparency);
  void TransparentShape(const PointLayout& layout);
  void EdgeLineSet();

  // Decorations.
  void VertexSpheres(bool everyVertex);
  void EdgeDecorations();
  void Type2Cylinders();
  void StressSpheres();
  void DummySphere();
  void Cylinder(const Point3& a, const Point3& b, bool type2);
  void ConePair(const Point3& a, const Point3& b);

  OutputCall& call() { return call_; }
  Run& run() { return run_; }

 private:
  void CreaseAngleLine();
  void Label(const Point3& at, int number, bool first, const char* app, const char* fons,
             const std::string& colour);
  void Sphere(const Point3& at, const std::string& colour, double radius, bool shared);

  OutputCall& call_;
  Run& run_;
  std::ostream& os_;
  bool cylinderWritten_ = false, cylinder2Written_ = false, sphereWritten_ = false;
  double cylinderLength_ = 0, cylinder2Length_ = 0;
};

// Placement of a relaxed position in the current segment: scaled by the segment's edge
// length, flipped on the ticked axes, moved by the segment's offset.
Point3 Placed(const Run& run, const Point3& p);
// The same in a given segment (1..5).
Point3 Placed(const Run& run, int segment, const Point3& p);

}  // namespace kelmor
