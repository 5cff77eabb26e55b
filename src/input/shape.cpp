#include "input/shape.h"

#include <initializer_list>

#include "model/numtext.h"
#include "model/error.h"
#include "run/run.h"

namespace kelmor {

namespace {

constexpr const char* kKeywords[4] = {"polygon", "pyramid", "prism", "antiprism"};

// The highest set option wins; empty when none is set.
std::string Keyword(const SpecialChoice& choice) {
  std::string keyword;
  for (size_t i = 0; i < 4; ++i)
    if (choice.SpecialOption[i]) keyword = kKeywords[i];
  return keyword;
}

// n before the first "/", d from the (at most 99) characters after it; d = 1 without "/".
NdValue ShapeSize(const std::string& text) {
  NdValue nd;
  size_t slash = text.find('/');
  if (slash == std::string::npos) {
    nd.n = RoundInt16(ReadNumber(text));
  } else {
    nd.n = RoundInt16(ReadNumber(std::string_view(text).substr(0, slash)));
    nd.d = RoundInt16(ReadNumber(std::string_view(text).substr(slash + 1, 99)));
  }
  return nd;
}

void SetFace(Model& m, int face, std::initializer_list<int> vertices, int step) {
  int position = 0;
  for (int v : vertices) m.FaceVertex(face, ++position) = v;
  m.FaceSize[face] = position;
  m.FaceStep[face] = step;
}

// The {n/d} face over vertices first..first + n - 1. Positions beyond the table's
// limit raise error 9: no face can have more than MaxFaceVertices corners.
void SetPolygonFace(Model& m, int face, int first, int n, int d) {
  for (int j = 1; j <= n; ++j) m.FaceVertex(face, j) = first + j - 1;
  m.FaceSize[face] = n;
  m.FaceStep[face] = d;
}

}  // namespace

std::optional<std::string> ValidateSpecialChoice(const SpecialChoice& choice) {
  int set = 0;
  for (bool option : choice.SpecialOption) set += option ? 1 : 0;
  if (set != 1) return "Please select one of Polygon, Pyramid, Prism or Antiprism";
  double size = 0;
  try {
    size = ReadNumber(choice.Specialnd);
  } catch (const KelmorError&) {
    size = 0;  // too large to be any polygon's size
  }
  if (size == 0) return "Please select a polygon size";
  return std::nullopt;
}

std::string ShapeBaseName(const SpecialChoice& choice) {
  NdValue nd = ShapeSize(choice.Specialnd);
  std::string name = Keyword(choice) + std::to_string(nd.n);
  if (nd.d != 1) name += "-" + std::to_string(nd.d);
  return name;
}

void GenerateShape(Run& run) {
  const Session& s = run.session;
  const std::string keyword = Keyword(s.special);
  if (keyword.empty()) return;
  run.InputName = keyword;
  run.OutputDir = s.input.OutSame ? s.input.InDir : s.input.OutDir;
  run.BaseName = ShapeBaseName(s.special);
  run.OutputName = run.BaseName;

  const NdValue nd = ShapeSize(s.special.Specialnd);
  const int n = nd.n, d = nd.d;
  Model& m = run.model;
  SetPolygonFace(m, 1, 1, n, d);
  int faces = 1;
  int maxVertex = n;
  if (keyword == "pyramid") {
    for (int f = 2; f <= n; ++f) SetFace(m, f, {f - 1, f, n + 1}, 1);
    SetFace(m, n + 1, {n, 1, n + 1}, 1);
    faces = n + 1;
    maxVertex = n + 1;
  } else if (keyword == "prism") {
    SetPolygonFace(m, 2, n + 1, n, d);
    for (int f = 3; f <= n + 1; ++f) SetFace(m, f, {f - 2, f - 1, f + n - 1, f + n - 2}, 1);
    SetFace(m, n + 2, {n, 1, n + 1, 2 * n}, 1);
    faces = n + 2;
    maxVertex = 2 * n;
  } else if (keyword == "antiprism") {
    SetPolygonFace(m, 2, n + 1, n, d);
    for (int i = 1; i <= n - 1; ++i) {
      SetFace(m, i + 2, {i, i + 1, n + i}, 1);
      SetFace(m, n + i + 2, {n + i, n + i + 1, i + 1}, 1);
    }
    SetFace(m, n + 2, {n, 1, 2 * n}, 1);
    SetFace(m, 2 * n + 2, {2 * n, 1, n + 1}, 1);
    faces = 2 * n + 2;
    maxVertex = 2 * n;
  }
  m.MinVertex = 1;
  m.MaxVertex = maxVertex;
  m.PolygonCount = faces;
  // What the end of an input block would set: every face is a polygon.
  m.DigonCount = 0;
  m.FaceCount = faces;
}

}  // namespace kelmor
