#pragma once

#include <optional>
#include <string>

#include "run/options.h"

namespace kelmor {

struct Run;

// The two checks of the SpecialIn window's Run button; the first failure's message.
std::optional<std::string> ValidateSpecialChoice(const SpecialChoice& choice);

// Fills the model with the chosen polygon, pyramid, prism or antiprism over {n/d} and
// sets OutputDir and BaseName (prism5-2, antiprism7-2, polygon5).
void GenerateShape(Run& run);

}  // namespace kelmor

namespace kelmor {
// The base name a shape choice gives its files: polygon5, prism5-2, antiprism7-2.
std::string ShapeBaseName(const SpecialChoice& choice);
}  // namespace kelmor
