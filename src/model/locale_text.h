#pragma once

#include <locale>
#include <string>

namespace kelmor {

// A bare number field (see BareNumber) with the decimal separator of a locale: the plain
// figure lines of the deformation report follow the locale as its summary line does.
std::string LocaleBareNumber(double value, const std::locale& locale);

}  // namespace kelmor
