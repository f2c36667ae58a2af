#pragma once

#include "input/vector3.h"

namespace lobewright {

// An orbital's value at a point (bohr^-3/2) with its gradient (per Angstrom).
//
// The fields that the watertight mesher cuts, whatever the model, offer positions in Angstrom:
//   double valueAt(const Vec3& p) const;
//   FieldSample sampleAt(const Vec3& p) const;
//   // An upper bound of |value| over the box from low to high; infinity when none is known.
//   double boundOfMagnitude(const Vec3& low, const Vec3& high) const;
struct FieldSample {
  double value = 0.0;
  Vec3 gradient;
};

}  // namespace lobewright
