#pragma once

#include <concepts>
#include <cstddef>
#include <span>

#include "input/vector3.h"

namespace lobewright {

// A field's value at a point (an orbital's in bohr^-3/2) with its gradient (per Angstrom).
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

// A field may also evaluate many points at once, with the same numbers as one at a time:
//   valuesAt(points, values) and samplesAt(points, samples), spans of equal length.
// The mesher hands it points that lie close together, so that it can share work between them.
template <class F>
concept BatchField = requires(const F& field, std::span<const Vec3> points,
                              std::span<double> values, std::span<FieldSample> samples) {
  field.valuesAt(points, values);
  field.samplesAt(points, samples);
};

template <SampledField F>
void valuesOf(const F& field, std::span<const Vec3> points, std::span<double> values) {
  if constexpr (BatchField<F>) {
    field.valuesAt(points, values);
  } else {
    for (std::size_t i = 0; i < points.size(); ++i) values[i] = field.valueAt(points[i]);
  }
}

template <SampledField F>
void samplesOf(const F& field, std::span<const Vec3> points, std::span<FieldSample> samples) {
  if constexpr (BatchField<F>) {
    field.samplesAt(points, samples);
  } else {
    for (std::size_t i = 0; i < points.size(); ++i) samples[i] = field.sampleAt(points[i]);
  }
}

}  // namespace lobewright
