#pragma once

#include <string>

namespace kelmor {

// `kelmor --version`: the version, the compiler that built it and whether the relaxation's
// AVX2 path is built in (and taken on this processor), on one line.
std::string VersionLine();

}  // namespace kelmor
