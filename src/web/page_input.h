#pragma once

#include <string>

#include "kelmor/kelmor.h"

namespace kelmor {

// The ways the page takes a solid: Kelmor input text (typed, pasted or an example), a
// file dropped on it (Kelmor text, OFF or OBJ, told apart as `kelmor run` tells them), or
// a Conway expression.
enum class PageInputKind { Text, File, Conway };

// The topology of the page's input; its files are named after name without folder and
// extension. Throws ApiError with the message the page shows, in the words `kelmor run`
// uses for the same input: the reader's for Kelmor text, "OFF file x.off: line 3: ..."
// for a dropped file, "Conway notation X: ..." for an expression.
Topology PageTopology(PageInputKind kind, const std::string& text, const std::string& name);

}  // namespace kelmor
