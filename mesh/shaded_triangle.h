#pragma once

#include <array>

#include "mesh/surface_triangle.h"

namespace lobewright {

// A fan triangle together with the forward-difference gradients at its corners, as the fast
// sweep delivers it. The gradients at the second and third corner are only filled in when the
// sweep is asked for them.
struct ShadedTriangle {
  SurfaceTriangle triangle;
  std::array<Point, 3> gradients;
};

// The POV-Ray form: each corner with its gradient as its normal, the sign from the apex.
[[nodiscard]] inline SmoothTriangle smoothTriangle(const ShadedTriangle& shaded) {
  const SurfaceTriangle& t = shaded.triangle;
  return {{{{t.apex, shaded.gradients[0]},
            {t.second, shaded.gradients[1]},
            {t.third, shaded.gradients[2]}}},
          lobeSign(t.apexValue)};
}

}  // namespace lobewright
