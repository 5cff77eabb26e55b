#pragma once

#include <cmath>

namespace kelmor {

inline constexpr double Pi = 3.14159265358979323846;  // 4 * atan(1)
inline constexpr double DegToRad = Pi / 180.0;

inline double VectorLength(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

// Angle of (x, y): pi/2 for x = 0 and y > 0, 3pi/2 for x = 0 and y < 0, 0 at the origin,
// atan(y/x) plus pi for x < 0 and y > 0, minus pi for x < 0 and y not above 0.
inline double PolarAngle(double x, double y) {
  if (x == 0.0) {
    if (y > 0) return Pi / 2;
    if (y < 0) return 3 * Pi / 2;
    return 0.0;
  }
  double a = std::atan(y / x);
  if (x < 0) return y > 0 ? a + Pi : a - Pi;
  return a;
}

inline double ArcSine(double s) {
  if (s >= 1) return Pi / 2;
  if (s <= -1) return 3 * Pi / 2;
  return std::atan(s / std::sqrt(1 - s * s));
}

inline double ArcCosine(double c) {
  if (c >= 1) return 0.0;
  if (c <= -1) return Pi;
  return std::atan(-c / std::sqrt(1 - c * c)) + Pi / 2;
}

}  // namespace kelmor
