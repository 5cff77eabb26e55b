#include "conway/operators.h"

#include "conway/corners.h"

namespace kelmor::conway {

namespace {

size_t At(int i) { return static_cast<size_t>(i); }

int FaceSize(const SolidFaces& s, int f) { return static_cast<int>(s.faces[At(f)].size()); }

// One new face for each face of s, its corner i being vertex(f, i): the face shrunk or
// turned in place, running the same way round.
template <class Vertex>
void AddRingFaces(const SolidFaces& s, SolidFaces& out, Vertex vertex) {
  for (int f = 0; f < s.faceCount(); ++f) {
    std::vector<int> face;
    for (int i = 0; i < FaceSize(s, f); ++i) face.push_back(vertex(f, i));
    out.faces.push_back(std::move(face));
  }
}

// One new face for each corner of s: face(f, a, b, d) for the corner at b in face f, a
// before it and d after it.
template <class Face>
void AddCornerFaces(const SolidFaces& s, const Corners& c, SolidFaces& out, Face face) {
  for (int f = 0; f < s.faceCount(); ++f)
    for (int i = 0; i < FaceSize(s, f); ++i) out.faces.push_back(face(f, c.at(f, i - 1), c.at(f, i), c.at(f, i + 1)));
}

// The two n-gons of a prism or antiprism, vertices 0..n-1 below and n..2n-1 above, each
// running anticlockwise seen from outside.
SolidFaces TwoRings(int n) {
  SolidFaces out;
  out.vertexCount = 2 * n;
  std::vector<int> bottom, top;
  for (int i = 0; i < n; ++i) {
    bottom.insert(bottom.begin(), i);
    top.push_back(n + i);
  }
  out.faces = {bottom, top};
  return out;
}

}  // namespace

SolidFaces Dual(const SolidFaces& s) {
  const Corners c(s);
  SolidFaces out;
  out.vertexCount = s.faceCount();
  for (int v = 0; v < s.vertexCount; ++v) {
    std::vector<int> face;
    for (const Corner& k : c.around(v)) face.push_back(k.face);
    if (!face.empty()) out.faces.push_back(std::move(face));
  }
  return out;
}

SolidFaces Ambo(const SolidFaces& s) {
  const Corners c(s);
  SolidFaces out;
  out.vertexCount = c.edgeTotal();
  AddRingFaces(s, out, [&](int f, int i) { return c.edge(c.at(f, i), c.at(f, i + 1)); });
  for (int v = 0; v < s.vertexCount; ++v) {
    std::vector<int> face;
    for (const Corner& k : c.around(v)) face.push_back(c.edge(v, c.prev(k)));
    if (!face.empty()) out.faces.push_back(std::move(face));
  }
  return out;
}

SolidFaces Kis(const SolidFaces& s, int sides) {
  SolidFaces out;
  out.vertexCount = s.vertexCount;
  for (const auto& face : s.faces) {
    const int n = static_cast<int>(face.size());
    if (sides != 0 && n != sides) {
      out.faces.push_back(face);
      continue;
    }
    const int centre = out.vertexCount++;
    for (int i = 0; i < n; ++i) out.faces.push_back({face[At(i)], face[At((i + 1) % n)], centre});
  }
  return out;
}

SolidFaces Chamfer(const SolidFaces& s) {
  const Corners c(s);
  SolidFaces out;
  out.vertexCount = s.vertexCount + c.total();
  auto inner = [&](int f, int i) { return s.vertexCount + c.index(Corner{f, (i % FaceSize(s, f))}); };
  AddRingFaces(s, out, inner);
  // One hexagon an edge, made from the side where it runs from the smaller vertex.
  for (int f = 0; f < s.faceCount(); ++f) {
    for (int i = 0; i < FaceSize(s, f); ++i) {
      const int u = c.at(f, i), v = c.at(f, i + 1);
      if (u > v) continue;
      const Corner g = c.along(v, u);
      out.faces.push_back({v, inner(f, i + 1), inner(f, i), u, inner(g.face, g.pos + 1), inner(g.face, g.pos)});
    }
  }
  return out;
}

SolidFaces Gyro(const SolidFaces& s) {
  const Corners c(s);
  SolidFaces out;
  const int centres = s.vertexCount, points = s.vertexCount + s.faceCount();
  out.vertexCount = points + c.total();
  // The new vertex on edge a-b nearer a.
  auto near = [&](int a, int b) { return points + c.index(a, b); };
  AddCornerFaces(s, c, out, [&](int f, int a, int b, int d) {
    return std::vector<int>{centres + f, near(a, b), near(b, a), b, near(b, d)};
  });
  return out;
}

SolidFaces Propeller(const SolidFaces& s) {
  const Corners c(s);
  SolidFaces out;
  out.vertexCount = s.vertexCount + c.total();
  auto near = [&](int a, int b) { return s.vertexCount + c.index(a, b); };
  AddRingFaces(s, out, [&](int f, int i) { return near(c.at(f, i), c.at(f, i + 1)); });
  AddCornerFaces(s, c, out, [&](int, int a, int b, int d) {
    return std::vector<int>{near(a, b), near(b, a), b, near(b, d)};
  });
  return out;
}

SolidFaces Whirl(const SolidFaces& s) {
  const Corners c(s);
  SolidFaces out;
  const int points = s.vertexCount, inner = s.vertexCount + c.total();
  out.vertexCount = inner + c.total();
  auto near = [&](int a, int b) { return points + c.index(a, b); };
  auto in = [&](int f, int i) { return inner + c.index(Corner{f, i % FaceSize(s, f)}); };
  AddRingFaces(s, out, in);
  for (int f = 0; f < s.faceCount(); ++f) {
    for (int i = 0; i < FaceSize(s, f); ++i) {
      const int a = c.at(f, i), b = c.at(f, i + 1), d = c.at(f, i + 2);
      out.faces.push_back({in(f, i), near(a, b), near(b, a), b, near(b, d), in(f, i + 1)});
    }
  }
  return out;
}

SolidFaces Pyramid(int n) {
  SolidFaces out;
  out.vertexCount = n + 1;
  std::vector<int> base;
  for (int i = n - 1; i >= 0; --i) base.push_back(i);
  out.faces.push_back(base);
  for (int i = 0; i < n; ++i) out.faces.push_back({i, (i + 1) % n, n});
  return out;
}

SolidFaces Prism(int n) {
  SolidFaces out = TwoRings(n);
  for (int i = 0; i < n; ++i) out.faces.push_back({i, (i + 1) % n, n + (i + 1) % n, n + i});
  return out;
}

SolidFaces Antiprism(int n) {
  SolidFaces out = TwoRings(n);
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    out.faces.push_back({i, j, n + i});
    out.faces.push_back({j, n + j, n + i});
  }
  return out;
}

}  // namespace kelmor::conway
