#pragma once

#include <array>

#include "surface/surface_triangle.h"

namespace lobewright {

// A fan triangle together with the forward-difference gradients at its corners, as the fast
// sweep delivers it. The gradients at the second and third corner are only filled in when the
// sweep is asked for them.
struct ShadedTriangle {
  SurfaceTriangle triangle;
  std::array<Point, 3> gradients;
};

}  // namespace lobewright
