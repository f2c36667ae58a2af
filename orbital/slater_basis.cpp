#include "orbital/slater_basis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lobewright {
namespace {

// Below this distance (bohr) from the nucleus the radial direction is taken as undefined.
constexpr double kAtNucleus = 1e-12;

[[nodiscard]] double power(double base, int exponent) {
  double result = 1.0;
  for (int i = 0; i < exponent; ++i) result *= base;
  return result;
}

[[nodiscard]] double factorial(int n) {
  double result = 1.0;
  for (int i = 2; i <= n; ++i) result *= i;
  return result;
}

}  // namespace

double farthestFromBox(const Vec3& p, const Vec3& low, const Vec3& high) {
  const double x = std::max(std::abs(p.x - low.x), std::abs(p.x - high.x));
  const double y = std::max(std::abs(p.y - low.y), std::abs(p.y - high.y));
  const double z = std::max(std::abs(p.z - low.z), std::abs(p.z - high.z));
  return std::sqrt(x * x + y * y + z * z);
}

double radialPeak(int k, double zeta, double nearest, double farthest) {
  const double r = std::clamp(k / zeta, nearest, farthest);
  return power(r, k) * std::exp(-zeta * r);
}

double slaterNormalisation(int n, double zeta) {
  return std::pow(2.0 * zeta, n + 0.5) / std::sqrt(factorial(2 * n));
}

double angularConstant(AoType type) {
  constexpr double pi = std::numbers::pi;
  switch (type) {
    case AoType::s:
      return std::sqrt(1.0 / (4.0 * pi));
    case AoType::px:
    case AoType::py:
    case AoType::pz:
      return std::sqrt(3.0 / (4.0 * pi));
    case AoType::x2:
      return std::sqrt(15.0 / (16.0 * pi));
    case AoType::z2:
      return std::sqrt(5.0 / (16.0 * pi));
    case AoType::xz:
    case AoType::yz:
    case AoType::xy:
      return std::sqrt(15.0 / (4.0 * pi));
  }
  return 0.0;
}

double angularPolynomial(AoType type, const Vec3& d) {
  switch (type) {
    case AoType::s:
      return 1.0;
    case AoType::px:
      return d.x;
    case AoType::py:
      return d.y;
    case AoType::pz:
      return d.z;
    case AoType::x2:
      return d.x * d.x - d.y * d.y;
    case AoType::xz:
      return d.x * d.z;
    case AoType::z2:
      return 2.0 * d.z * d.z - d.x * d.x - d.y * d.y;
    case AoType::yz:
      return d.y * d.z;
    case AoType::xy:
      return d.x * d.y;
  }
  return 0.0;
}

Vec3 angularPolynomialGradient(AoType type, const Vec3& d) {
  switch (type) {
    case AoType::s:
      return {};
    case AoType::px:
      return {1.0, 0.0, 0.0};
    case AoType::py:
      return {0.0, 1.0, 0.0};
    case AoType::pz:
      return {0.0, 0.0, 1.0};
    case AoType::x2:
      return {2.0 * d.x, -2.0 * d.y, 0.0};
    case AoType::xz:
      return {d.z, 0.0, d.x};
    case AoType::z2:
      return {-2.0 * d.x, -2.0 * d.y, 4.0 * d.z};
    case AoType::yz:
      return {0.0, d.z, d.y};
    case AoType::xy:
      return {d.y, d.x, 0.0};
  }
  return {};
}

double slaterValue(const BasisFunction& function, const Vec3& d) {
  const double r = norm(d);
  const int k = function.n - 1 - angularMomentum(function.type);
  return slaterNormalisation(function.n, function.zeta) * power(r, k) *
         std::exp(-function.zeta * r) * angularConstant(function.type) *
         angularPolynomial(function.type, d);
}

SlaterSample slaterSample(const BasisFunction& function, const Vec3& d) {
  const double r = norm(d);
  const int k = function.n - 1 - angularMomentum(function.type);
  const double scale = slaterNormalisation(function.n, function.zeta) *
                       angularConstant(function.type) * std::exp(-function.zeta * r);
  const double radial = power(r, k);
  const double polynomial = angularPolynomial(function.type, d);
  SlaterSample sample;
  sample.value = scale * radial * polynomial;
  sample.gradient = scale * radial * angularPolynomialGradient(function.type, d);
  if (r > kAtNucleus) {
    // d/dr (r^k e^(-zeta r)) = (k / r - zeta) r^k e^(-zeta r), along d / r.
    const double radialSlope = (k / r - function.zeta) * radial;
    sample.gradient = sample.gradient + (scale * radialSlope * polynomial / r) * d;
  }
  return sample;
}

}  // namespace lobewright
