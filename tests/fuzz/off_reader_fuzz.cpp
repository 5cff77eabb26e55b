// libFuzzer target for the OFF and OBJ readers and the closed surface check: any bytes end
// in a solid or a message naming the line, never in a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/foreign_read.h"
#include "input/solid_text.h"

namespace {

// What a read that succeeded must hand on: faces of three or more distinct vertices in
// range, one colour and one line a face, one point a vertex.
void CheckSolid(const kelmor::ForeignRead& r) {
  const kelmor::SolidFaces& s = r.solid;
  if (s.faces.size() != r.faceLine.size() || s.coords.size() != static_cast<size_t>(s.vertexCount)) __builtin_trap();
  for (const auto& face : s.faces) {
    if (face.size() < 3) __builtin_trap();
    for (int v : face)
      if (v < 0 || v >= s.vertexCount) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte chooses the reader.
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  kelmor::ForeignRead r = data[0] & 1 ? kelmor::ReadObjText(text) : kelmor::ReadOffText(text);
  // A failed read says why and hands on nothing.
  if (!r.ok()) {
    if (!r.solid.faces.empty() || r.solid.vertexCount != 0) __builtin_trap();
    return 0;
  }
  CheckSolid(r);
  (void)kelmor::LimitProblem(r.solid);
  if (!kelmor::SurfaceProblem(r, &r.notes).empty()) return 0;
  // A closed solid written as OFF reads back as the same faces.
  const kelmor::ForeignRead back = kelmor::ReadOffText(kelmor::OffText(r.solid, {"fuzz"}));
  if (!back.ok() || back.solid.faces != r.solid.faces) __builtin_trap();
  return 0;
}
