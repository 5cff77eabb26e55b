// Placeholder until the parser lands.
#include "input/parser.h"
#include "run/run.h"

namespace kelmor {
void ReadInput(Run&) {}
void ReadInputText(Run&, const std::string&) {}
ScanResult ScanInput(const std::string&) { return {}; }
ScanResult ScanInputText(const std::string&) { return {}; }
}  // namespace kelmor
