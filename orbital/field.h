#pragma once

#include <span>

#include "input/vector3.h"
#include "orbital/field_sample.h"

namespace lobewright {

// A scalar field in space, whatever it is made of: an MO of either model, and later densities and
// potentials. The mesher, the cube writer and the colouring of surfaces take any field through
// this one interface. Positions are in Angstrom, values in atomic units, gradients per Angstrom;
// every function may be called from several threads at once.
class Field {
 public:
  virtual ~Field() = default;

  // The values at many points at once (spans of equal length), the same numbers as one at a
  // time. Callers hand over points that lie close together, so that a field can share work
  // between them.
  virtual void valuesAt(std::span<const Vec3> points, std::span<double> values) const = 0;
  // The same with the analytic gradient at each point.
  virtual void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const = 0;
  // An upper bound of |value| over the box from low to high, infinity when none is known. The box
  // may reach to infinity along any axis, and the bound must hold for the values valuesAt
  // computes, rounding included.
  [[nodiscard]] virtual double boundOfMagnitude(const Vec3& low, const Vec3& high) const = 0;

  [[nodiscard]] double valueAt(const Vec3& p) const {
    double value = 0.0;
    valuesAt({&p, 1}, {&value, 1});
    return value;
  }
  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const {
    FieldSample sample;
    samplesAt({&p, 1}, {&sample, 1});
    return sample;
  }

 protected:
  Field() = default;
  Field(const Field&) = default;
  Field(Field&&) = default;
  Field& operator=(const Field&) = default;
  Field& operator=(Field&&) = default;
};

}  // namespace lobewright
