#pragma once

namespace kelmor {

// Whether this processor runs the passes' vector paths: AVX2, and AVX2 with FMA. Asked
// once; the build itself stays plain x86-64 (elsewhere both are false).
bool HasAvx2();
bool HasAvx2Fma();

}  // namespace kelmor
