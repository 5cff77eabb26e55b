#pragma once

#include <optional>
#include <string>

#include "export/mesh.h"
#include "export/shell_check.h"
#include "export/strut_size.h"

namespace kelmor {

// Sizes a common printer handles: below the smaller a slicer finds little or nothing to
// print, above the larger the model does not fit most beds.
constexpr double SmallestPrintMillimetres = 5;
constexpr double LargestPrintMillimetres = 250;

// The printed model's largest extent in millimetres when it is outside the range a
// common printer handles, as advice; nothing when it is within it.
std::optional<std::string> SizeAdvice(const Mesh& printed);

// Advice when struts given with --strut are thinner than a nozzle prints whole.
std::optional<std::string> StrutAdvice(const StrutSizes& sizes);

// What a slicer meets in a solid that is not one closed, outward shell (openFaces: how
// many faces the model leaves open on purpose). Star faces make the solid run through
// itself: its shell is closed, but a slicer prints its outer hull.
std::optional<std::string> ShellAdvice(const ShellReport& report, int openFaces,
                                       bool selfIntersecting);

}  // namespace kelmor
