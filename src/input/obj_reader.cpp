#include <algorithm>
#include <cctype>

#include "input/foreign_read.h"

namespace kelmor {

namespace {

std::string At(int line) { return "line " + std::to_string(line) + ": "; }

std::string Text(std::string_view w) { return w.size() > 40 ? std::string(w.substr(0, 40)) + "..." : std::string(w); }

// A face or element reference: "i", "i/t", "i//n" or "i/t/n"; the vertex part counts from
// 1, or back from the last vertex read when negative. The vertex number from 0, or -1
// (message in error) when it is no reference; range is checked at the end, since a
// positive index may name a vertex listed later.
long Reference(std::string_view word, long verticesSoFar, int line, std::string& error) {
  const std::string_view part = word.substr(0, word.find('/'));
  std::optional<long> i = WholeNumber(part);
  if (!i || *i == 0) {
    error = At(line) + "'" + Text(word) + "' is not a vertex reference (a whole number other than 0)";
    return -1;
  }
  if (*i > 0) return *i - 1;
  if (-*i > verticesSoFar) {
    error = At(line) + "vertex reference " + std::to_string(*i) + " counts back past the first vertex (" +
            std::to_string(verticesSoFar) + " read so far)";
    return -1;
  }
  return verticesSoFar + *i;
}

}  // namespace

ForeignRead ReadObjText(std::string_view text) {
  ForeignRead r;
  const std::vector<WordLine> lines = SplitWordLines(text, r.error);
  int skipped = 0, firstSkipped = 0;
  auto skip = [&](int line) {
    if (skipped++ == 0) firstSkipped = line;
  };
  std::vector<int> refLine;  // per face, for the range check
  for (const WordLine& line : lines) {
    if (!r.ok()) break;
    const std::string_view key = line.words[0];
    const long sofar = static_cast<long>(r.solid.coords.size());
    if (key == "v") {
      if (line.words.size() < 4) {
        r.error = At(line.number) + "a vertex line holds three coordinates";
        break;
      }
      std::array<double, 3> p{};
      for (size_t i = 0; i < 3 && r.ok(); ++i) {
        std::optional<double> v = FiniteNumber(line.words[i + 1]);
        if (!v)
          r.error = At(line.number) + "coordinate '" + Text(line.words[i + 1]) + "' of vertex " + std::to_string(sofar + 1) +
                    " is not a finite number";
        else
          p[i] = *v;
      }
      r.solid.coords.push_back(p);
    } else if (key == "f" || key == "fo" || key == "l" || key == "p") {
      std::vector<int> face;
      for (size_t i = 1; i < line.words.size() && r.ok(); ++i) {
        const long v = Reference(line.words[i], sofar, line.number, r.error);
        if (v < 0) break;
        face.push_back(static_cast<int>(v));
      }
      if (!r.ok()) break;
      if (const int twice = RepeatedVertex(face); twice >= 0) {
        r.error = At(line.number) + "the face lists vertex " + std::to_string(twice + 1) + " twice";
        break;
      }
      if (face.size() < 3 || key == "l" || key == "p") {
        skip(line.number);
        continue;
      }
      r.solid.faces.push_back(std::move(face));
      r.faceLine.push_back(line.number);
    } else if (!std::isalpha(static_cast<unsigned char>(key[0]))) {
      r.error = At(line.number) + "'" + Text(key) + "' is not an OBJ statement";
    }
    // Texture and normal vertices, groups, materials and the like: not part of the solid.
  }
  const int total = static_cast<int>(r.solid.coords.size());
  for (size_t f = 0; f < r.solid.faces.size() && r.ok(); ++f)
    for (int v : r.solid.faces[f])
      if (v >= total) {
        r.error = At(r.faceLine[f]) + "vertex index " + std::to_string(v + 1) + " is not in range 1 to " +
                  std::to_string(total);
        break;
      }
  if (r.ok() && total == 0) r.error = "no vertex lines ('v x y z'): not an OBJ file";
  if (!r.ok()) return ForeignRead{{}, {}, {}, r.error};
  r.solid.vertexCount = total;
  if (skipped > 0)
    r.notes.push_back(std::to_string(skipped) + " elements of one or two vertices, lines or points passed over (the first on line " +
                      std::to_string(firstSkipped) + "): only faces of three or more vertices are read");
  return r;
}

}  // namespace kelmor
