// Placeholder until the shape shorthand lands.
#include "input/shape.h"
#include "run/run.h"

namespace kelmor {
std::optional<std::string> ValidateSpecialChoice(const SpecialChoice&) { return std::nullopt; }
void GenerateShape(Run&) {}
std::string ShapeBaseName(const SpecialChoice&) { return "shape"; }
}  // namespace kelmor
