#pragma once

#include <span>

#include "input/vector3.h"

namespace lobewright {

// The real spherical harmonics Y_lm up to degree `degree`, orthonormal over the sphere, at the
// direction of u (a unit vector), into values[l * l + l + m] for m from -l to l: cos(m phi) for
// m > 0, sin(|m| phi) for m < 0. values must hold (degree + 1)^2 numbers.
void realSphericalHarmonics(int degree, const Vec3& u, std::span<double> values);

// The same values, and into gradients[l * l + l + m] the gradient of each over the unit sphere at
// u: the gradient in space of Y_lm(r / |r|) is that over |r|.
void realSphericalHarmonicsWithGradients(int degree, const Vec3& u, std::span<double> values,
                                         std::span<Vec3> gradients);

}  // namespace lobewright
