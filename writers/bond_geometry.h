#pragma once

#include "input/point.h"

namespace lobewright {

// The bond from atom A to atom B: its length (grid units), the direction of its projection on
// the x-z plane and its angle from +y (degrees).
struct BondGeometry {
  float length = 0.0f;
  float yAngle = 0.0f;
  float zAngle = 0.0f;
};

[[nodiscard]] BondGeometry computeBond(const Point& a, const Point& b);

// Coincident atoms are never bonded: they have no direction to draw a stick along.
[[nodiscard]] bool isBond(const BondGeometry& bond, int scale, float bondLength);

// Radius of atoms and sticks, in grid units.
[[nodiscard]] float atomRadius(int scale);

}  // namespace lobewright
