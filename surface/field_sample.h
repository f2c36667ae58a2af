#pragma once

#include <concepts>

#include "input/vector3.h"

namespace lobewright {

// An orbital's value at a point (bohr^-3/2) with its gradient (per Angstrom).
struct FieldSample {
  double value = 0.0;
  Vec3 gradient;
};

// What the watertight mesher cuts, whatever the model; positions in Angstrom, and every function
// may be called from several threads at once:
//   valueAt: the value at a point;
//   sampleAt: the same value with its analytic gradient;
//   boundOfMagnitude: an upper bound of |value| over the box from low to high, infinity when
//     none is known. The box may reach to infinity along any axis (the mesher asks about the
//     whole half-space beyond each face of its grid), and the bound must hold for the values
//     valueAt computes, rounding included.
template <class F>
concept SampledField = requires(const F& field, const Vec3& p) {
  { field.valueAt(p) } -> std::convertible_to<double>;
  { field.sampleAt(p) } -> std::convertible_to<FieldSample>;
  { field.boundOfMagnitude(p, p) } -> std::convertible_to<double>;
};

}  // namespace lobewright
