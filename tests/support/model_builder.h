#pragma once

// Builds a Run's model straight into the face tables, for tests and benchmarks that
// work on the topology without going through the input parser.

#include <algorithm>
#include <string>
#include <vector>

#include "run/run.h"
#include "topology/polygon_tables.h"

namespace kelmor::testing {

struct Face {
  std::vector<int> vertices;  // in input order; two vertices make an edge-only face (band)
  int step = 1;
  std::string code;
};

// Sizes the run's tables and fills the model with the faces: polygons in their order,
// then the edge-only faces in theirs (the input lists bands after all polygons).
inline void BuildModel(Run& run, const std::vector<Face>& faces) {
  Model& m = run.model;
  m.Reset();
  m.ResetSegment();
  run.edges.Reset();
  run.relax.Reset();
  FillPolygonTables(run.poly);
  std::vector<Face> ordered;
  std::copy_if(faces.begin(), faces.end(), std::back_inserter(ordered),
               [](const Face& f) { return f.vertices.size() != 2; });
  std::copy_if(faces.begin(), faces.end(), std::back_inserter(ordered),
               [](const Face& f) { return f.vertices.size() == 2; });
  int row = 0;
  for (const Face& f : ordered) {
    ++row;
    int p = 0;
    for (int v : f.vertices) {
      m.FaceVertex(row, ++p) = v;
      m.MinVertex = std::min(m.MinVertex, v);
      m.MaxVertex = std::max(m.MaxVertex, v);
    }
    m.FaceSize[row] = p;
    m.FaceStep[row] = f.step;
    m.FaceCode[row] = f.code;
    if (p == 2) m.DigonCount += 1;
  }
  m.FaceCount = row;
  m.PolygonCount = m.FaceCount - m.DigonCount;
}

inline std::vector<Face> Plain(const std::vector<std::vector<int>>& lists) {
  std::vector<Face> faces;
  for (const auto& l : lists) faces.push_back(Face{l, 1, {}});
  return faces;
}

// The cube of the examples, vertices 0..7.
inline std::vector<Face> CubeFaces() {
  return Plain(
      {{1, 5, 4, 0}, {2, 0, 4, 6}, {3, 1, 0, 2}, {5, 1, 3, 7}, {6, 4, 5, 7}, {7, 3, 2, 6}});
}

// The cuboctahedron of the examples: every edge joins a triangle to a square.
inline std::vector<Face> CuboctahedronFaces() {
  return Plain({{0, 5, 9},
                {1, 4, 10},
                {2, 9, 7},
                {3, 10, 6},
                {6, 8, 2},
                {7, 11, 3},
                {8, 4, 0},
                {11, 5, 1},
                {2, 7, 3, 6},
                {4, 1, 5, 0},
                {7, 9, 5, 11},
                {8, 0, 9, 2},
                {10, 3, 11, 1},
                {10, 4, 8, 6}});
}

// Prism over {n/d}: two n-gons (outline order, vertices 1..n and n+1..2n) and n squares.
inline std::vector<Face> PrismFaces(int n, int d) {
  std::vector<Face> faces;
  Face bottom{{}, d, {}}, top{{}, d, {}};
  for (int i = 0; i < n; ++i) {
    bottom.vertices.push_back(1 + (i * d) % n);
    top.vertices.push_back(1 + n + (i * d) % n);
  }
  faces.push_back(bottom);
  faces.push_back(top);
  for (int i = 0; i < n; ++i) {
    int a = 1 + (i * d) % n, b = 1 + ((i + 1) * d) % n;
    faces.push_back(Face{{a, b, b + n, a + n}, 1, {}});
  }
  return faces;
}

// A torus of rows x cols squares, vertices 0..rows*cols-1.
inline std::vector<Face> TorusFaces(int rows, int cols) {
  std::vector<Face> faces;
  auto v = [&](int r, int c) { return ((r + rows) % rows) * cols + (c + cols) % cols; };
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      faces.push_back(Face{{v(r, c), v(r, c + 1), v(r + 1, c + 1), v(r + 1, c)}, 1, {}});
  return faces;
}

// A fan of n triangles around vertex 0 (centre first), rim 1..n.
inline std::vector<Face> FanFaces(int n, int centre = 0, int firstRim = 1) {
  std::vector<Face> faces;
  for (int i = 0; i < n; ++i)
    faces.push_back(Face{{centre, firstRim + i, firstRim + (i + 1) % n}, 1, {}});
  return faces;
}

}  // namespace kelmor::testing
