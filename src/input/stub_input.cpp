// Placeholder until the parser lands: replaced by parser.cpp and shape.cpp.
#include "input/parser.h"
#include "input/shape.h"
#include "run/run.h"

namespace kelmor {
void ReadInput(Run&) {}
void ReadInputText(Run&, const std::string&) {}
ScanResult ScanInput(const std::string&) { return {}; }
ScanResult ScanInputText(const std::string&) { return {}; }
std::optional<std::string> ValidateSpecialChoice(const SpecialChoice&) { return std::nullopt; }
void GenerateShape(Run&) {}
std::string ShapeBaseName(const SpecialChoice&) { return "shape"; }
}  // namespace kelmor
