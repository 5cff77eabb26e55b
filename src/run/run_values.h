#pragma once

#include <string>

namespace kelmor {

struct Run;
struct RunOptions;

// A forced rhombus angle text ("90", "r30", "mr30", "r12", "P5/2") as radians, and the
// unit-edge diagonals it gives (short 0 when the angle is not above 0).
struct RhombusValue {
  double angle = 0, longDiag = 0, shortDiag = 0;
};
RhombusValue ComputeRhombus(const std::string& text);

// Phase 1, run start: seeds the random generator, reads the input names, creates the
// debug file, reads the preferences and the check boxes into the run-wide values.
void ReadRunStart(Run& run);

// The three forced rhombus sets from ForceRhom, ForceRhom2, ForceRhom3.
void ReadRhombusSets(Run& run);

// The file name up to (not including) its first full stop; the whole name without one.
std::string BaseNameOf(const std::string& fileName);

// An input file name that is a Conway expression instead: conway:EXPR (the run reads the
// expression's solid and names its files EXPR).
inline constexpr const char* ConwayInputPrefix = "conway:";

}  // namespace kelmor
