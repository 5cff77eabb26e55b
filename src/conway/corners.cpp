#include "conway/corners.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kelmor::conway {

Corners::Corners(const SolidFaces& s) : s_(s) {
  start_.reserve(s.faces.size() + 1);
  firstCorner_.assign(static_cast<size_t>(s.vertexCount), Corner{});
  int running = 0;
  for (size_t f = 0; f < s.faces.size(); ++f) {
    start_.push_back(running);
    const auto& face = s.faces[f];
    const int n = static_cast<int>(face.size());
    for (int i = 0; i < n; ++i) {
      const int a = face[size(i)], b = face[size((i + 1) % n)];
      const Corner c{static_cast<int>(f), i};
      directed_.emplace(Key(a, b), c);
      edges_.emplace(Key(std::min(a, b), std::max(a, b)), static_cast<int>(edges_.size()));
      if (firstCorner_[size(a)].face < 0) firstCorner_[size(a)] = c;
    }
    running += n;
  }
  start_.push_back(running);
}

Corner Corners::along(int a, int b) const {
  auto it = directed_.find(Key(a, b));
  if (it == directed_.end())
    throw std::logic_error("no face runs from vertex " + std::to_string(a) + " to " + std::to_string(b));
  return it->second;
}

int Corners::edge(int a, int b) const {
  auto it = edges_.find(Key(std::min(a, b), std::max(a, b)));
  if (it == edges_.end())
    throw std::logic_error("no edge " + std::to_string(a) + "-" + std::to_string(b));
  return it->second;
}

std::vector<Corner> Corners::around(int v) const {
  std::vector<Corner> ring;
  const Corner first = firstCorner_[size(v)];
  if (first.face < 0) return ring;
  Corner c = first;
  // A vertex has at most as many corners as there are corners in all: the bound stops a
  // walk on a surface that is not closed instead of looping.
  for (int guard = 0; guard <= total(); ++guard) {
    ring.push_back(c);
    c = along(v, prev(c));
    if (c.face == first.face && c.pos == first.pos) return ring;
  }
  throw std::logic_error("the faces round vertex " + std::to_string(v) + " do not close");
}

}  // namespace kelmor::conway
