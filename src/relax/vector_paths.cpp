#include "relax/vector_paths.h"

namespace kelmor {

bool HasAvx2() {
#if defined(__x86_64__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
#else
  return false;
#endif
}

bool HasAvx2Fma() {
#if defined(__x86_64__)
  static const bool fma = HasAvx2() && __builtin_cpu_supports("fma");
  return fma;
#else
  return false;
#endif
}

}  // namespace kelmor
