#include "render/solid_mesh.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

#include "render/bounded_file.h"

namespace kelmor::render {

namespace {

// The largest counts a file may announce: far above any solid Kelmor makes, low enough
// that a corrupt count cannot make us reserve gigabytes.
constexpr long kMaxPoints = 4'000'000;
constexpr long kMaxFaces = 4'000'000;
constexpr long kMaxCorners = 100'000;

// Reads the OFF text line by line, dropping comments and blank lines.
class OffLines {
 public:
  explicit OffLines(std::istream& in) : in_(in) {}

  // The next line that holds anything, split into words; false at the end of the text.
  bool Next(std::vector<std::string>& words) {
    std::string line;
    while (std::getline(in_, line)) {
      ++number_;
      if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
      std::istringstream split(line);
      words.clear();
      for (std::string w; split >> w;) words.push_back(w);
      if (!words.empty()) return true;
    }
    return false;
  }
  int number() const { return number_; }

 private:
  std::istream& in_;
  int number_ = 0;
};

bool ToDouble(const std::string& word, double& value) {
  char* end = nullptr;
  value = std::strtod(word.c_str(), &end);
  return end != word.c_str() && *end == '\0' && std::isfinite(value);
}

bool ToLong(const std::string& word, long& value) {
  char* end = nullptr;
  value = std::strtol(word.c_str(), &end, 10);
  return end != word.c_str() && *end == '\0';
}

uint8_t Channel(double value, bool unit) {
  double v = unit ? value * 255.0 : value;
  return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

// Three or four colour numbers after a face's corners; anything else keeps the plain colour.
std::optional<std::string> FaceColour(const std::vector<std::string>& words, size_t first,
                                      Rgba& colour) {
  size_t count = words.size() - first;
  if (count != 3 && count != 4) return std::nullopt;  // a colour-map index or nothing
  double v[4] = {0, 0, 0, 1};
  bool unit = false;
  for (size_t i = 0; i < count; ++i) {
    const std::string& w = words[first + i];
    if (!ToDouble(w, v[i])) return "the colour '" + w + "' is not a number";
    if (w.find_first_of(".eE") != std::string::npos) unit = true;
  }
  if (count == 4 && !unit && v[3] > 1) {
    colour = {Channel(v[0], false), Channel(v[1], false), Channel(v[2], false), Channel(v[3], false)};
  } else {
    colour = {Channel(v[0], unit), Channel(v[1], unit), Channel(v[2], unit), Channel(v[3], true)};
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadOff(std::istream& in, SolidMesh& mesh) {
  mesh = {};
  OffLines lines(in);
  std::vector<std::string> w;
  auto at = [&](const std::string& what) { return "line " + std::to_string(lines.number()) + ": " + what; };
  if (!lines.Next(w)) return std::string("the file is empty");
  static const std::set<std::string> headers = {"OFF", "COFF", "NOFF", "CNOFF"};
  size_t first = 0;
  if (headers.count(w[0])) {
    first = 1;
  } else if (w[0].size() > 3 && w[0].ends_with("OFF")) {
    return at("'" + w[0] + "' files are not read, only OFF");
  }
  if (w.size() == first) {
    if (!lines.Next(w)) return std::string("the counts of vertices and faces are missing");
    first = 0;
  }
  long vertices = 0, faces = 0;
  if (w.size() < first + 2 || !ToLong(w[first], vertices) || !ToLong(w[first + 1], faces))
    return at("expected the counts of vertices and faces");
  if (vertices < 0 || vertices > kMaxPoints || faces < 0 || faces > kMaxFaces)
    return at("the counts " + std::to_string(vertices) + " and " + std::to_string(faces) +
              " are out of range");
  mesh.points.reserve(static_cast<size_t>(vertices));
  for (long v = 0; v < vertices; ++v) {
    if (!lines.Next(w)) return "the file ends after " + std::to_string(v) + " of " +
                               std::to_string(vertices) + " vertices";
    Vec3 p;
    if (w.size() < 3 || !ToDouble(w[0], p.x) || !ToDouble(w[1], p.y) || !ToDouble(w[2], p.z))
      return at("expected three coordinates of vertex " + std::to_string(v));
    mesh.points.push_back(p);
  }
  mesh.faces.reserve(static_cast<size_t>(faces));
  for (long f = 0; f < faces; ++f) {
    if (!lines.Next(w)) return "the file ends after " + std::to_string(f) + " of " +
                               std::to_string(faces) + " faces";
    long n = 0;
    if (!ToLong(w[0], n) || n < 1 || n > kMaxCorners) return at("expected the number of corners of a face");
    if (w.size() < static_cast<size_t>(n) + 1) return at("the face lists fewer than its " + std::to_string(n) + " corners");
    MeshFace face;
    for (long i = 1; i <= n; ++i) {
      long index = 0;
      if (!ToLong(w[static_cast<size_t>(i)], index)) return at("the corner '" + w[static_cast<size_t>(i)] + "' is not a vertex number");
      if (index < 0 || index >= vertices)
        return at("the face lists vertex " + std::to_string(index) + " but the file has " +
                  std::to_string(vertices) + " vertices");
      face.corners.push_back(static_cast<int>(index));
    }
    if (auto e = FaceColour(w, static_cast<size_t>(n) + 1, face.colour)) return at(*e);
    mesh.faces.push_back(std::move(face));
  }
  return std::nullopt;
}

std::optional<std::string> ReadOffFile(const std::string& path, SolidMesh& mesh) {
  std::string text;
  if (auto e = ReadBoundedFile(path, text)) return e;
  std::istringstream in(std::move(text));
  if (auto e = ReadOff(in, mesh)) return "'" + path + "': " + *e;
  return std::nullopt;
}

std::vector<std::array<int, 2>> OutlineEdges(const SolidMesh& mesh) {
  std::set<std::array<int, 2>> edges;
  for (const MeshFace& f : mesh.faces) {
    const size_t n = f.corners.size();
    if (n < 2) continue;
    for (size_t i = 0; i < n; ++i) {
      int a = f.corners[i], b = f.corners[(i + 1) % n];
      if (a == b || (n == 2 && i == 1)) continue;
      edges.insert({std::min(a, b), std::max(a, b)});
    }
  }
  return {edges.begin(), edges.end()};
}

}  // namespace kelmor::render
