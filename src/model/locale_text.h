#pragma once

#include <locale>
#include <string>

namespace kelmor {

// The user's locale from the environment; the classic one when the environment names a
// locale this machine does not have.
std::locale UserLocale();

// A bare number field (see BareNumber) with the decimal separator of a locale: the plain
// figure lines of the deformation report follow the locale as its summary line does.
std::string LocaleBareNumber(double value, const std::locale& locale);

}  // namespace kelmor
