#pragma once

#include <string>
#include <string_view>

#include "input/foreign_read.h"

namespace kelmor {

// The faces of a Kelmor input text (its one block) as a plain solid, for conversion to
// OFF or OBJ: vertex numbers from the smallest one used, star faces as their outline (as
// the OFF writer lists them), colour letters kept, starting positions as coordinates.
// Edge-only faces are passed over and what a face list cannot carry (other face letters,
// edge marks, vertex flags) is noted. A text the parser stops on, or with more than one
// block, gives an error; one beyond the model's limits gives the limit message.
ForeignRead SolidFromKelmorText(std::string_view text, const std::string& name);

}  // namespace kelmor
