#include "input/solid_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "model/float_chars.h"
#include "model/limits.h"

namespace kelmor {

namespace {

// Comment text stays on its line: a control character would end the comment and let
// the rest be read as input.
std::string CommentSafe(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  return out;
}

// The shortest text that reads back as the same double, always with a full stop.
std::string Coordinate(double v) {
  char buf[32];
  const char* end = ShortestDigits(buf, buf + sizeof buf, v);
  return end != buf ? std::string(buf, static_cast<size_t>(end - buf)) : std::string("0");
}

std::array<double, 3> PointOf(const SolidFaces& s, int v) {
  return s.coords.empty() ? std::array<double, 3>{0, 0, 0} : s.coords[static_cast<size_t>(v)];
}

std::string CountsLine(const SolidFaces& s) {
  return "V " + std::to_string(s.vertexCount) + "  E " + std::to_string(s.edgeCount()) + "  F " +
         std::to_string(s.faceCount());
}

}  // namespace

std::string LimitProblem(const SolidFaces& s) {
  if (s.vertexCount - 1 > MaxItems)
    return std::to_string(s.vertexCount) + " vertices: vertex numbers run to " + std::to_string(MaxItems);
  if (s.faceCount() > MaxItems)
    return std::to_string(s.faceCount()) + " faces: at most " + std::to_string(MaxItems);
  for (size_t f = 0; f < s.faces.size(); ++f)
    if (static_cast<int>(s.faces[f].size()) > MaxFaceVertices)
      return "face " + std::to_string(f + 1) + " has " + std::to_string(s.faces[f].size()) +
             " vertices: at most " + std::to_string(MaxFaceVertices);
  if (s.edgeCount() > MaxEdges)
    return std::to_string(s.edgeCount()) + " edges: at most " + std::to_string(MaxEdges);
  return {};
}

std::string KelmorText(const SolidFaces& s, const std::vector<std::string>& comments, bool withCoordinates) {
  std::string t;
  for (const std::string& c : comments) t += "' " + CommentSafe(c) + "\n";
  t += "' " + CountsLine(s) + "\n{\n";
  if (withCoordinates && !s.coords.empty()) {
    t += "(\n";
    for (int v = 0; v < s.vertexCount; ++v) {
      const auto p = PointOf(s, v);
      t += Coordinate(p[0]) + "," + Coordinate(p[1]) + "," + Coordinate(p[2]) + ",\n";
    }
    t += ")\n";
  }
  for (size_t f = 0; f < s.faces.size(); ++f) {
    if (char letter = s.colourOf(f)) t += letter;
    for (int v : s.faces[f]) t += std::to_string(v) + ",";
    t += "-1,\n";
  }
  t += "}\n";
  return t;
}

std::string OffText(const SolidFaces& s, const std::vector<std::string>& comments) {
  std::string t = "OFF\n";
  for (const std::string& c : comments) t += "# " + CommentSafe(c) + "\n";
  t += std::to_string(s.vertexCount) + " " + std::to_string(s.faceCount()) + " " + std::to_string(s.edgeCount()) + "\n";
  for (int v = 0; v < s.vertexCount; ++v) {
    const auto p = PointOf(s, v);
    t += Coordinate(p[0]) + " " + Coordinate(p[1]) + " " + Coordinate(p[2]) + "\n";
  }
  for (size_t f = 0; f < s.faces.size(); ++f) {
    t += std::to_string(s.faces[f].size());
    for (int v : s.faces[f]) t += " " + std::to_string(v);
    if (char letter = s.colourOf(f))
      for (const LetterColour& c : LetterColours())
        if (c.letter == letter)
          t += "  " + std::to_string(c.red) + " " + std::to_string(c.green) + " " + std::to_string(c.blue);
    t += "\n";
  }
  return t;
}

std::string ObjText(const SolidFaces& s, const std::vector<std::string>& comments) {
  std::string t;
  for (const std::string& c : comments) t += "# " + CommentSafe(c) + "\n";
  for (int v = 0; v < s.vertexCount; ++v) {
    const auto p = PointOf(s, v);
    t += "v " + Coordinate(p[0]) + " " + Coordinate(p[1]) + " " + Coordinate(p[2]) + "\n";
  }
  for (const auto& face : s.faces) {
    t += "f";
    for (int v : face) t += " " + std::to_string(v + 1);
    t += "\n";
  }
  return t;
}

const std::vector<LetterColour>& LetterColours() {
  // The fixed colours of the OFF writer's colour list, entries 21 to 28.
  static const std::vector<LetterColour> colours = {
      {'r', 255, 0, 0},   {'a', 255, 128, 0}, {'y', 255, 255, 0}, {'g', 0, 255, 0},
      {'c', 0, 255, 255}, {'b', 0, 0, 255},   {'m', 255, 0, 255}, {'w', 203, 203, 203},
  };
  return colours;
}

char NearestColourLetter(double red, double green, double blue) {
  char best = 0;
  double bestDistance = 0;
  for (const LetterColour& c : LetterColours()) {
    const double dr = red - c.red / 255.0, dg = green - c.green / 255.0, db = blue - c.blue / 255.0;
    if (std::max({std::fabs(dr), std::fabs(dg), std::fabs(db)}) > 0.2) continue;
    const double d = dr * dr + dg * dg + db * db;
    if (best == 0 || d < bestDistance) best = c.letter, bestDistance = d;
  }
  return best;
}

}  // namespace kelmor
