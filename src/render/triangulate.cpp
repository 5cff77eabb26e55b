#include "render/triangulate.h"

namespace kelmor::render {

namespace {

// A star face as the solid file fills it: a triangle from the mean of its corners to each side.
std::vector<Triangle> Fan(const std::vector<Vec3>& outline) {
  Vec3 centre;
  for (const Vec3& p : outline) centre = centre + p;
  centre = centre * (1.0 / static_cast<double>(outline.size()));
  std::vector<Triangle> fan;
  for (size_t i = 0; i < outline.size(); ++i) fan.push_back({centre, outline[i], outline[(i + 1) % outline.size()]});
  return fan;
}

}  // namespace

std::vector<Triangle> FaceTriangles(const std::vector<Vec3>& outline) {
  if (outline.size() < 3) return {};
  if (outline.size() == 3) return {{outline[0], outline[1], outline[2]}};
  if (CrossesItself(outline)) return Fan(outline);
  const std::vector<std::array<int, 3>> ears = EarCorners(outline);
  if (ears.empty()) return Fan(outline);
  std::vector<Triangle> out;
  out.reserve(ears.size());
  for (const auto& e : ears)
    out.push_back({outline[static_cast<size_t>(e[0])], outline[static_cast<size_t>(e[1])],
                   outline[static_cast<size_t>(e[2])]});
  return out;
}

}  // namespace kelmor::render
