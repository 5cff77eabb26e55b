#pragma once

#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace kelmor {

struct Run;
struct Model;

struct Point3 {
  double x = 0, y = 0, z = 0;
};

inline bool HasLetter(std::string_view code, std::string_view letters) {
  return code.find(letters) != std::string_view::npos;
}

// How a shape writes its faces: in the solid shape only faces coded "f" are frames, in a
// frame shape every face is, and the transparent shape writes every face whole. A face
// coded "s" is never a frame.
enum class FaceMode { Solid, Frame, Whole };

bool IsFrameFace(const Model& m, int f, FaceMode mode);
// A star face or a face coded "n": drawn as triangles around its centre point.
bool IsFanShaped(const Model& m, int f);
bool IsWrittenAsFan(const Model& m, int f, FaceMode mode);

Point3 VertexPosition(const Run& run, int v);
Point3 FaceMean(const Run& run, int f);
// The inner point of position p (1..n) of a frame face: moved from the vertex towards
// the face centre so that the frame bar is the frame width wide.
Point3 FrameInnerPoint(const Run& run, int f, int p);

// Where the extra points of one coordinate list sit: the vertices come first (vertex v
// is point v - MinVertex), then the inner points of the frame faces in face order, then
// one centre point for every face written as a fan by a shape that uses the list.
struct PointLayout {
  std::vector<int> innerStart;  // per face: point number of inner point 1, -1 for none
  std::vector<int> centre;      // per face: point number of the centre point, -1 for none
  int vertexPoints = 0;
  int pointCount = 0;
  int InnerPoint(int f, int p) const { return innerStart[f] + p - 1; }
};

// frameMode decides which faces have inner points (Solid: those coded "f"; Frame: all).
// usedModes are the ways the shapes that use the list write faces; the transparent
// shape is added when the model has faces coded "t". Records each fan face's centre in
// FaceCentre as a vertex number (point + MinVertex).
PointLayout MakePointLayout(Run& run, FaceMode frameMode, std::initializer_list<FaceMode> usedModes);

// Every point of a list in order. With centresForPlainFaces, faces not coded "f" have
// all their inner points at their centre (the filled key of the animation).
void ForEachPoint(const Run& run, const PointLayout& layout, bool centresForPlainFaces,
                  const std::function<void(const Point3&)>& fn);

// The face colour rule: FaceColourIndex from the index the previous face left, then the
// highlight pair (run's HighlightN/HighlightD, n = 0 for every face) for the indices the
// range admits.
enum class HighlightRange { BelowFixed /* below 21 */, OutsideFixed /* not 20..28 */,
                            BelowSegments /* below 20 */ };
int FaceColour(const Run& run, int f, int& colour, HighlightRange range);

}  // namespace kelmor
