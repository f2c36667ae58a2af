#pragma once

#include <array>

#include "input/point.h"

namespace lobewright {

enum class LobeSign { positive, negative };

// One fan triangle as the sweep delivers it.
struct SurfaceTriangle {
  Point apex;
  Point second;
  Point third;
  float apexValue = 0.0f;
};

// An apex value of exactly 0 belongs to the negative lobe.
[[nodiscard]] inline LobeSign lobeSign(float apexValue) {
  return apexValue > 0.0f ? LobeSign::positive : LobeSign::negative;
}

// The POV-Ray form: each corner with its raw forward-difference normal (not normalised).
struct SmoothTriangle {
  struct Corner {
    Point position;
    Point normal;
  };
  std::array<Corner, 3> corners;
  LobeSign sign = LobeSign::negative;
};

// The LScript form: the lobe, and whether second and third corner trade places when written.
struct TriangleOrientation {
  LobeSign sign = LobeSign::negative;
  bool exchanged = false;
};

}  // namespace lobewright
