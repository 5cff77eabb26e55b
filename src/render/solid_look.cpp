#include "render/solid_look.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "render/bounded_file.h"

namespace kelmor::render {

namespace {

using Polygon = std::vector<int>;

// The text between `open` (first found from `from`) and the next "]", or nothing.
std::optional<std::string> Block(const std::string& text, const std::string& open, size_t& from) {
  const size_t start = text.find(open, from);
  if (start == std::string::npos) return std::nullopt;
  const size_t body = start + open.size();
  const size_t end = text.find(']', body);
  if (end == std::string::npos) return std::nullopt;
  from = end + 1;
  return text.substr(body, end - body);
}

std::optional<std::vector<Vec3>> Points(const std::string& body) {
  std::string text = body;
  std::replace(text.begin(), text.end(), ',', ' ');
  std::istringstream in(text);
  std::vector<Vec3> points;
  Vec3 p;
  while (in >> p.x >> p.y >> p.z) points.push_back(p);
  in.clear();
  std::string rest;
  if (in >> rest) return std::nullopt;
  return points;
}

std::optional<std::vector<Polygon>> Polygons(const std::string& body, size_t pointCount) {
  std::string text = body;
  std::replace(text.begin(), text.end(), ',', ' ');
  std::istringstream in(text);
  std::vector<Polygon> polygons;
  Polygon open;
  long index = 0;
  while (in >> index) {
    if (index == -1) {
      if (!open.empty()) polygons.push_back(std::move(open));
      open.clear();
    } else if (index < 0 || static_cast<size_t>(index) >= pointCount) {
      return std::nullopt;
    } else {
      open.push_back(static_cast<int>(index));
    }
  }
  in.clear();
  std::string rest;
  if (in >> rest || !open.empty()) return std::nullopt;
  return polygons;
}

bool SameCorners(const Polygon& polygon, const std::vector<int>& corners) {
  Polygon a = polygon, b = corners;
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

// A face written as n polygons that each hold one point that is not a corner of the face
// (a fan's centre) and otherwise only its corners: a fan face.
bool FanOf(const std::vector<Polygon>& polygons, size_t at, const std::vector<int>& corners) {
  if (at + corners.size() > polygons.size()) return false;
  for (size_t i = at; i < at + corners.size(); ++i) {
    const Polygon& t = polygons[i];
    if (t.size() != 3) return false;
    int strangers = 0;
    for (int p : t) strangers += std::find(corners.begin(), corners.end(), p) == corners.end();
    if (strangers != 1) return false;
  }
  return true;
}

// A face written as its ring: n quadrilaterals, each from two corners of the face to two
// inner points that are none of the solid's vertices.
bool RingOf(const std::vector<Polygon>& polygons, size_t at, const std::vector<int>& corners, int vertices) {
  if (at + corners.size() > polygons.size()) return false;
  for (size_t i = at; i < at + corners.size(); ++i) {
    const Polygon& q = polygons[i];
    if (q.size() != 4) return false;
    for (int k : {0, 1})
      if (std::find(corners.begin(), corners.end(), q[static_cast<size_t>(k)]) == corners.end()) return false;
    for (int k : {2, 3})
      if (q[static_cast<size_t>(k)] < vertices) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadSolidLook(std::istream& in, SolidMesh& mesh) {
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t at = text.find("coord DEF C1 Coordinate{");
  if (at == std::string::npos) return "not a solid file of Kelmor's (no point list)";
  auto pointText = Block(text, "point[", at);
  auto points = pointText ? Points(*pointText) : std::nullopt;
  if (!points) return "its point list cannot be read";
  const size_t vertices = mesh.points.size();
  if (points->size() < vertices) return "it has fewer points than the OFF file";
  for (size_t v = 0; v < vertices; ++v) {
    const Vec3 d = (*points)[v] - mesh.points[v];
    const double size = 1 + std::abs(mesh.points[v].x) + std::abs(mesh.points[v].y) + std::abs(mesh.points[v].z);
    if (std::abs(d.x) + std::abs(d.y) + std::abs(d.z) > 1e-6 * size)
      return "its point " + std::to_string(v) + " is not the OFF file's vertex " + std::to_string(v) +
             " (another solution)";
  }
  auto faceText = Block(text, "coordIndex[", at);
  auto drawn = faceText ? Polygons(*faceText, points->size()) : std::nullopt;
  if (!drawn) return "its faces cannot be read";

  std::vector<Polygon> panes;
  double transparency = 0;
  size_t trans = text.find("DEF TRANS Shape{", at);
  if (trans != std::string::npos) {
    auto paneText = Block(text, "coordIndex[", trans);
    auto read = paneText ? Polygons(*paneText, points->size()) : std::nullopt;
    // The pane's material, before whatever shape follows.
    const size_t level = text.find("transparency ", trans);
    if (!read || level == std::string::npos || level > text.find("Transform", trans))
      return "its translucent faces cannot be read";
    panes = std::move(*read);
    transparency = std::clamp(std::atof(text.c_str() + level + 13), 0.0, 1.0);
  }

  std::vector<MeshFace> faces = mesh.faces;
  size_t next = 0, nextPane = 0;
  for (size_t f = 0; f < faces.size(); ++f) {
    MeshFace& face = faces[f];
    face.ring.clear();
    face.pane = 0;
    const size_t n = face.corners.size();
    if (next < drawn->size() && SameCorners((*drawn)[next], face.corners)) {
      next += 1;
    } else if (RingOf(*drawn, next, face.corners, static_cast<int>(vertices))) {
      for (size_t i = next; i < next + n; ++i) {
        std::array<Vec3, 4> quad;
        // Corners at the OFF file's own positions (the solid file rounds them): no cracks.
        for (size_t k = 0; k < 4; ++k) {
          const auto p = static_cast<size_t>((*drawn)[i][k]);
          quad[k] = p < vertices ? mesh.points[p] : (*points)[p];
        }
        face.ring.push_back(quad);
      }
      next += n;
    } else if (FanOf(*drawn, next, face.corners)) {
      next += n;
    } else {
      return "its face " + std::to_string(f) + " is not the OFF file's face " + std::to_string(f);
    }
    if (nextPane < panes.size() && SameCorners(panes[nextPane], face.corners)) {
      nextPane += 1;
    } else if (FanOf(panes, nextPane, face.corners)) {
      nextPane += n;
    } else {
      continue;
    }
    face.pane = static_cast<uint8_t>(std::lround(255 * (1 - transparency)));
    if (face.pane == 0) face.pane = 1;  // fully transparent still marks the face as translucent
  }
  if (next != drawn->size()) return "it has faces the OFF file does not list";
  if (nextPane != panes.size()) return "its translucent faces are not among the OFF file's faces";
  mesh.faces = std::move(faces);
  return std::nullopt;
}

std::optional<std::string> ReadSolidLookFile(const std::string& path, SolidMesh& mesh) {
  std::string text;
  if (auto e = ReadBoundedFile(path, text)) return e;
  std::istringstream in(std::move(text));
  if (auto e = ReadSolidLook(in, mesh)) return path + ": " + *e;
  return std::nullopt;
}

std::string SolidFileWrittenWith(const std::vector<std::string>& files, size_t offIndex, bool solidWritten) {
  if (!solidWritten || offIndex + 1 >= files.size()) return {};
  const std::string& next = files[offIndex + 1];
  return next.size() > 4 && next.compare(next.size() - 4, 4, ".wrl") == 0 ? next : std::string();
}

}  // namespace kelmor::render
