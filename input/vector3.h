#pragma once

#include <cmath>

namespace lobewright {

// A point or direction in double precision: the exact model's positions (Angstrom or bohr, as
// each user says), gradients and normals.
struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  friend bool operator==(const Vec3&, const Vec3&) = default;
  friend Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
  friend Vec3 operator*(double s, const Vec3& a) { return {s * a.x, s * a.y, s * a.z}; }
  friend Vec3 operator*(const Vec3& a, double s) { return s * a; }
};

[[nodiscard]] inline double dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

[[nodiscard]] inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

[[nodiscard]] inline double norm(const Vec3& a) { return std::sqrt(dot(a, a)); }
[[nodiscard]] inline Vec3 unitVector(const Vec3& a) { return (1.0 / norm(a)) * a; }

}  // namespace lobewright
