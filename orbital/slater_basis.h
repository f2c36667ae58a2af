#pragma once

#include "input/calculation.h"
#include "input/vector3.h"

namespace lobewright {

// Lengths of the exact model: files give Angstrom, the functions work in bohr.
inline constexpr double kBohrInAngstrom = 0.52917721092;
inline constexpr double kBohrPerAngstrom = 1.0 / kBohrInAngstrom;

// N(n, zeta) = (2 zeta)^(n + 1/2) / sqrt((2n)!), which normalises r^(n-1) exp(-zeta r) with a
// normalised spherical harmonic.
[[nodiscard]] double slaterNormalisation(int n, double zeta);

// The constant that makes Y_type, written as a polynomial in x, y, z (x for PX, x^2 - y^2 for
// X2, 3z^2 - r^2 for Z2, ...) and divided by r^l, a normalised real spherical harmonic.
[[nodiscard]] double angularConstant(AoType type);

// That polynomial, without the constant, at d, and its gradient.
[[nodiscard]] double angularPolynomial(AoType type, const Vec3& d);
[[nodiscard]] Vec3 angularPolynomialGradient(AoType type, const Vec3& d);

// The largest value of r^k exp(-zeta r) for r from `nearest` to `farthest` (bohr), which bounds
// a Slater function's radial part over a box; it peaks at r = k / zeta.
[[nodiscard]] double radialPeak(int k, double zeta, double nearest, double farthest);
// The distance from p to the farthest corner of the box from low to high: radialPeak's
// `farthest` for a nucleus at p.
[[nodiscard]] double farthestFromBox(const Vec3& p, const Vec3& low, const Vec3& high);

// A basis function's value (bohr^-3/2) and gradient (per bohr).
struct SlaterSample {
  double value = 0.0;
  Vec3 gradient;
};

// phi(P) = N(n, zeta) r^(n-1-l) exp(-zeta r) Y_type(x, y, z), with d = P - R_atom = (x, y, z)
// in bohr and r = |d|. At the nucleus itself the gradient of an s function, which has a cusp
// there, is taken as zero.
[[nodiscard]] double slaterValue(const BasisFunction& function, const Vec3& d);
[[nodiscard]] SlaterSample slaterSample(const BasisFunction& function, const Vec3& d);

}  // namespace lobewright
