#pragma once

// Solids for the facts tests: coordinates of a few regular ones, prisms and antiprisms, and
// the Conway operations (ambo, truncate, chamfer) on oriented face lists, with the input
// text that gives a topology to the engine.

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "facts/solid_facts.h"

namespace kelmor::testing {

using Faces = std::vector<std::vector<int>>;

inline FactsSolid Solid(std::vector<Vec3> points, const Faces& faces, int step = 1) {
  FactsSolid s{std::move(points), {}};
  for (const auto& f : faces) s.faces.push_back({f, step});
  return s;
}

// Every outline turned to run anticlockwise seen from outside (for solids around the origin).
inline void OrientOutwards(FactsSolid& s) {
  for (FactsFace& f : s.faces) {
    Vec3 n{}, c{};
    for (size_t i = 0; i < f.corners.size(); ++i) {
      const Vec3 a = s.points[static_cast<size_t>(f.corners[i])];
      const Vec3 b = s.points[static_cast<size_t>(f.corners[(i + 1) % f.corners.size()])];
      n = n + Cross(a, b);
      c = c + a;
    }
    if (Dot(n, c) < 0) std::reverse(f.corners.begin(), f.corners.end());
  }
}

// The triangles of mutually adjacent points (adjacent: at the shortest distance), outwards.
inline FactsSolid Deltahedron(std::vector<Vec3> points) {
  double shortest = 1e300;
  for (size_t i = 0; i < points.size(); ++i)
    for (size_t j = i + 1; j < points.size(); ++j) {
      const Vec3 d = points[i] - points[j];
      shortest = std::min(shortest, std::sqrt(Dot(d, d)));
    }
  auto adjacent = [&](size_t i, size_t j) {
    const Vec3 d = points[i] - points[j];
    return std::fabs(std::sqrt(Dot(d, d)) - shortest) < 1e-9;
  };
  Faces faces;
  for (size_t i = 0; i < points.size(); ++i)
    for (size_t j = i + 1; j < points.size(); ++j)
      for (size_t k = j + 1; k < points.size(); ++k)
        if (adjacent(i, j) && adjacent(j, k) && adjacent(i, k))
          faces.push_back({static_cast<int>(i), static_cast<int>(j), static_cast<int>(k)});
  FactsSolid s = Solid(std::move(points), faces);
  OrientOutwards(s);
  return s;
}

inline FactsSolid Tetrahedron() { return Deltahedron({{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}}); }
inline FactsSolid Octahedron() { return Deltahedron({{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}}); }
inline FactsSolid Icosahedron() {
  const double p = std::numbers::phi;
  std::vector<Vec3> v;
  for (double a : {-1.0, 1.0})
    for (double b : {-p, p}) v.insert(v.end(), {{0, a, b}, {a, b, 0}, {b, 0, a}});
  return Deltahedron(v);
}

inline FactsSolid Cube() {
  std::vector<Vec3> v;
  for (int i = 0; i < 8; ++i) v.push_back({i & 1 ? 0.5 : -0.5, i & 2 ? 0.5 : -0.5, i & 4 ? 0.5 : -0.5});
  FactsSolid s = Solid(v, {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}});
  OrientOutwards(s);
  return s;
}

// A prism (twist 0) or antiprism (twist 1/2) over {n/d} with unit edges.
inline FactsSolid Prism(int n, int d, bool anti) {
  const double r = 0.5 / std::sin(std::numbers::pi * d / n);
  const double twist = anti ? std::numbers::pi * d / n : 0;
  const double chord = 2 * r * std::sin(twist / 2);
  const double h = anti ? std::sqrt(std::max(0.0, 1 - chord * chord)) : 1.0;
  std::vector<Vec3> v;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i * d / n;
    v.push_back({r * std::cos(a), r * std::sin(a), -h / 2});
  }
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i * d / n + twist;
    v.push_back({r * std::cos(a), r * std::sin(a), h / 2});
  }
  FactsSolid s{v, {}};
  std::vector<int> bottom, top;
  for (int i = 0; i < n; ++i) bottom.push_back(i), top.push_back(n + i);
  s.faces.push_back({bottom, 1});
  s.faces.push_back({top, 1});
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    if (anti) {
      s.faces.push_back({{i, j, n + i}, 1});
      s.faces.push_back({{j, n + j, n + i}, 1});
    } else {
      s.faces.push_back({{i, j, n + j, n + i}, 1});
    }
  }
  OrientOutwards(s);
  return s;
}

// --- Topology only: oriented face lists and the Conway operations. ---

// The faces of a solid around a vertex in turn: for each (vertex, incoming neighbour) the
// outgoing neighbour within the same face.
inline std::map<std::pair<int, int>, int> Turns(const Faces& faces) {
  std::map<std::pair<int, int>, int> next;
  for (const auto& f : faces)
    for (size_t i = 0; i < f.size(); ++i) {
      const int u = f[i], v = f[(i + 1) % f.size()], w = f[(i + 2) % f.size()];
      next[{v, u}] = w;
    }
  return next;
}

// The neighbours of each vertex in cyclic order.
inline std::map<int, std::vector<int>> Rings(const Faces& faces) {
  const auto next = Turns(faces);
  std::map<int, std::vector<int>> rings;
  for (const auto& [key, w] : next) {
    const int v = key.first;
    if (rings.count(v)) continue;
    std::vector<int>& ring = rings[v];
    int u = key.second;
    do {
      ring.push_back(u);
      // the face that comes in from w runs w -> v -> next; the one after turns on from there
      u = next.at({v, u});
    } while (u != key.second && ring.size() < 64);
  }
  return rings;
}

inline int EdgeIndex(std::map<std::pair<int, int>, int>& ids, int a, int b) {
  auto key = std::make_pair(std::min(a, b), std::max(a, b));
  auto it = ids.find(key);
  if (it != ids.end()) return it->second;
  const int id = static_cast<int>(ids.size());
  ids[key] = id;
  return id;
}

// Ambo: a vertex on each edge; a face for each face and each vertex.
inline Faces Ambo(const Faces& faces) {
  std::map<std::pair<int, int>, int> ids;
  Faces out;
  for (const auto& f : faces) {
    std::vector<int> g;
    for (size_t i = 0; i < f.size(); ++i) g.push_back(EdgeIndex(ids, f[i], f[(i + 1) % f.size()]));
    out.push_back(g);
  }
  for (const auto& [v, ring] : Rings(faces)) {
    std::vector<int> g;
    for (int w : ring) g.push_back(EdgeIndex(ids, v, w));
    std::reverse(g.begin(), g.end());
    out.push_back(g);
  }
  return out;
}

// Truncate: a vertex near each end of each edge; each face doubles its sides, each vertex
// becomes a face.
inline Faces Truncate(const Faces& faces) {
  std::map<std::pair<int, int>, int> ids;  // (vertex, towards) -> new vertex
  auto id = [&ids](int v, int w) {
    auto [it, added] = ids.emplace(std::make_pair(v, w), static_cast<int>(ids.size()));
    return it->second;
  };
  Faces out;
  for (const auto& f : faces) {
    std::vector<int> g;
    for (size_t i = 0; i < f.size(); ++i) {
      const int u = f[i], v = f[(i + 1) % f.size()];
      g.push_back(id(u, v));
      g.push_back(id(v, u));
    }
    out.push_back(g);
  }
  for (const auto& [v, ring] : Rings(faces)) {
    std::vector<int> g;
    for (int w : ring) g.push_back(id(v, w));
    std::reverse(g.begin(), g.end());
    out.push_back(g);
  }
  return out;
}

// Chamfer: each face shrunk within itself, each edge widened into a hexagon.
inline Faces Chamfer(const Faces& faces) {
  int top = 0;
  for (const auto& f : faces)
    for (int v : f) top = std::max(top, v + 1);
  std::map<std::pair<size_t, int>, int> inner;  // (face, vertex) -> new vertex
  std::map<std::pair<int, int>, size_t> faceOf;  // directed edge -> face
  Faces out;
  for (size_t fi = 0; fi < faces.size(); ++fi) {
    std::vector<int> g;
    for (size_t i = 0; i < faces[fi].size(); ++i) {
      inner[{fi, faces[fi][i]}] = top;
      g.push_back(top++);
      faceOf[{faces[fi][i], faces[fi][(i + 1) % faces[fi].size()]}] = fi;
    }
    out.push_back(g);
  }
  for (const auto& [edge, f] : faceOf) {
    const auto [u, v] = edge;
    if (u > v) continue;
    const size_t g = faceOf.at({v, u});
    out.push_back({u, inner[{g, u}], inner[{g, v}], v, inner[{f, v}], inner[{f, u}]});
  }
  return out;
}

inline Faces FacesOf(const FactsSolid& s) {
  Faces faces;
  for (const FactsFace& f : s.faces) faces.push_back(f.corners);
  return faces;
}

// Kelmor input text for a topology.
inline std::string InputText(const std::string& name, const Faces& faces) {
  std::string text = "' " + name + "\n{\n";
  for (const auto& f : faces) {
    for (int v : f) text += std::to_string(v) + ",";
    text += "-1,\n";
  }
  return text + "}\n";
}

}  // namespace kelmor::testing
