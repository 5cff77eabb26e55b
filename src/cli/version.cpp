#include "cli/version.h"

#include "relax/vector_paths.h"

#ifndef KELMOR_VERSION
#define KELMOR_VERSION "unknown"
#endif

namespace kelmor {

namespace {

std::string Compiler() {
#if defined(__clang__)
  return "clang " __clang_version__;
#elif defined(__GNUC__)
  return "GCC " __VERSION__;
#else
  return "an unknown compiler";
#endif
}

std::string VectorPath() {
#if defined(__x86_64__)
  return HasAvx2() ? "AVX2 path built in (used on this processor)"
                   : "AVX2 path built in (not used: this processor has no AVX2)";
#else
  return "no AVX2 path (not an x86-64 build)";
#endif
}

}  // namespace

std::string VersionLine() { return "kelmor " KELMOR_VERSION ", built with " + Compiler() + ", " + VectorPath(); }

}  // namespace kelmor
