#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/solid_faces.h"

namespace kelmor::conway {

// A face corner: the face and the position of a vertex in its ring.
struct Corner {
  int face = -1;
  int pos = -1;
};

// The corners of a closed, consistently oriented solid, indexed the ways the operators
// need: by directed edge (the corner where the edge starts, in the face it runs along),
// by a running number over all corners (2E of them), and by vertex, in turning order.
// Building it costs O(corners); lookups are hash-table lookups.
class Corners {
 public:
  explicit Corners(const SolidFaces& s);

  // The corner of the face in which the edge runs from a to b. The operators only ask
  // for edges of a closed solid, where every directed edge is the reverse of one present.
  Corner along(int a, int b) const;
  // A running number 0..2E-1 for each corner, face by face.
  int index(Corner c) const { return start_[static_cast<size_t>(c.face)] + c.pos; }
  int index(int a, int b) const { return index(along(a, b)); }
  int total() const { return start_.back(); }
  // An undirected edge's number 0..E-1, in order of first appearance.
  int edge(int a, int b) const;
  int edgeTotal() const { return static_cast<int>(edges_.size()); }

  // The corners at vertex v in turning order, each face followed by the one across the
  // edge from v to the previous vertex of the face (anticlockwise seen from outside for
  // faces listed anticlockwise).
  std::vector<Corner> around(int v) const;

  int vertex(Corner c) const { return s_.faces[size(c.face)][size(c.pos)]; }
  int next(Corner c) const { return at(c.face, c.pos + 1); }
  int prev(Corner c) const { return at(c.face, c.pos - 1); }
  int at(int face, int pos) const {
    const auto& f = s_.faces[size(face)];
    const int n = static_cast<int>(f.size());
    return f[size(((pos % n) + n) % n)];
  }

 private:
  static size_t size(int i) { return static_cast<size_t>(i); }
  static uint64_t Key(int a, int b) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
  }
  const SolidFaces& s_;
  std::vector<int> start_;              // first corner number of each face, then the total
  std::unordered_map<uint64_t, Corner> directed_;
  std::unordered_map<uint64_t, int> edges_;
  std::vector<Corner> firstCorner_;     // one corner of each vertex
};

}  // namespace kelmor::conway
