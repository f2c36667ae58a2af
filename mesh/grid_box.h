#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "input/vector3.h"

namespace lobewright {

// The grid points (i, j, k) from low to high, both inclusive, of the grid whose points lie at
// whole multiples of 1 / scale Angstrom.
struct GridBox {
  std::array<int32_t, 3> low{};
  std::array<int32_t, 3> high{};
};

// The number of grid points in the box, 0 when it is empty and the largest int64_t when that
// does not fit.
[[nodiscard]] inline int64_t gridPointCount(const GridBox& box) {
  int64_t count = 1;
  for (int axis = 0; axis < 3; ++axis) {
    const int64_t extent = static_cast<int64_t>(box.high[axis]) - box.low[axis] + 1;
    if (extent <= 0) return 0;
    if (__builtin_mul_overflow(count, extent, &count)) return std::numeric_limits<int64_t>::max();
  }
  return count;
}

// A grid point's position in Angstrom. Dividing (rather than multiplying by the spacing) puts a
// point whose index is a multiple of the scale exactly on its whole number of Angstrom.
[[nodiscard]] inline Vec3 gridPosition(int64_t i, int64_t j, int64_t k, double scale) {
  return {static_cast<double>(i) / scale, static_cast<double>(j) / scale,
          static_cast<double>(k) / scale};
}

}  // namespace lobewright
