#include "render/view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace kelmor::render {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

bool Number(const std::string& text, double& v) {
  char* end = nullptr;
  v = std::strtod(text.c_str(), &end);
  return !text.empty() && end != text.c_str() && *end == '\0' && std::isfinite(v);
}

}  // namespace

std::optional<ViewAngles> ParseView(const std::string& text) {
  const double isoElevation = std::atan(1.0 / std::sqrt(2.0)) / kDegree;
  if (text == "iso") return ViewAngles{45, isoElevation};
  if (text == "z") return ViewAngles{0, 0};
  if (text == "-z") return ViewAngles{180, 0};
  if (text == "x") return ViewAngles{90, 0};
  if (text == "-x") return ViewAngles{-90, 0};
  if (text == "y") return ViewAngles{0, 90};
  if (text == "-y") return ViewAngles{0, -90};
  size_t cut = text.find_first_of("/,");
  if (cut == std::string::npos) return std::nullopt;
  ViewAngles v;
  if (!Number(text.substr(0, cut), v.azimuth) || !Number(text.substr(cut + 1), v.elevation)) return std::nullopt;
  if (v.elevation < -90 || v.elevation > 90) return std::nullopt;
  return v;
}

Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 m{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) m[i][j] += a[i][k] * b[k][j];
  return m;
}

Vec3 Apply(const Matrix3& m, Vec3 v) {
  return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
          m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

Matrix3 AxisRotation(Vec3 a, double angle) {
  const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  return {{{t * a.x * a.x + c, t * a.x * a.y - s * a.z, t * a.x * a.z + s * a.y},
           {t * a.x * a.y + s * a.z, t * a.y * a.y + c, t * a.y * a.z - s * a.x},
           {t * a.x * a.z - s * a.y, t * a.y * a.z + s * a.x, t * a.z * a.z + c}}};
}

Matrix3 ViewRotation(ViewAngles view) {
  // Turn the eye's azimuth back to +z, then lower its elevation onto the horizon.
  Matrix3 turn = AxisRotation({0, 1, 0}, -view.azimuth * kDegree);
  Matrix3 tilt = AxisRotation({1, 0, 0}, view.elevation * kDegree);
  return Multiply(tilt, turn);
}

Bounds SolidBounds(const SolidMesh& mesh) {
  Bounds b;
  if (mesh.points.empty()) return b;
  Vec3 lo = mesh.points[0], hi = mesh.points[0];
  for (const Vec3& p : mesh.points) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  b.centre = (lo + hi) * 0.5;
  double r2 = 0;
  for (const Vec3& p : mesh.points) r2 = std::max(r2, Dot(p - b.centre, p - b.centre));
  b.radius = r2 > 1e-24 ? std::sqrt(r2) : 1.0;
  return b;
}

double Camera::PixelsPerUnit(int width, int height) const {
  return zoom * kFrameFill * std::min(width, height) / (2.0 * bounds.radius);
}

Vec3 Camera::Eye(Vec3 p) const {
  Vec3 e = Apply(rotation, p - bounds.centre);
  return {e.x + panX, e.y + panY, e.z};
}

std::array<double, 2> Camera::Pixel(Vec3 p, int width, int height) const {
  const Vec3 e = Eye(p);
  const double s = PixelsPerUnit(width, height);
  return {width / 2.0 + e.x * s, height / 2.0 - e.y * s};
}

void Camera::FitSeen(const SolidMesh& mesh, int width, int height) {
  if (mesh.points.empty()) return;
  zoom = 1;
  panX = panY = 0;
  double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;
  for (const Vec3& p : mesh.points) {
    const Vec3 e = Eye(p);
    left = std::min(left, e.x), right = std::max(right, e.x);
    bottom = std::min(bottom, e.y), top = std::max(top, e.y);
  }
  const double scale = PixelsPerUnit(width, height);
  const double seenWidth = std::max(right - left, 1e-9 * bounds.radius) * scale;
  const double seenHeight = std::max(top - bottom, 1e-9 * bounds.radius) * scale;
  zoom = std::min(kFrameFill * width / seenWidth, kFrameFill * height / seenHeight);
  panX = -(left + right) / 2;
  panY = -(bottom + top) / 2;
}

}  // namespace kelmor::render
