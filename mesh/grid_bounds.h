#pragma once

#include <cstdint>
#include <limits>

namespace lobewright {

// The cubes of one sweep: lowest corners from the Low values (inclusive) to the High values
// (exclusive), in grid units.
struct GridBounds {
  int32_t xLow = 0;
  int32_t yLow = 0;
  int32_t zLow = 0;
  int32_t xHigh = 0;
  int32_t yHigh = 0;
  int32_t zHigh = 0;
};

// The number of cubes a sweep over the bounds visits, or the largest int64_t when it has more.
[[nodiscard]] inline int64_t cubeCount(const GridBounds& b) {
  const auto extent = [](int32_t low, int32_t high) {
    return high > low ? static_cast<int64_t>(high) - low : int64_t{0};
  };
  int64_t area = 0;
  int64_t volume = 0;
  if (__builtin_mul_overflow(extent(b.xLow, b.xHigh), extent(b.yLow, b.yHigh), &area) ||
      __builtin_mul_overflow(area, extent(b.zLow, b.zHigh), &volume)) {
    return std::numeric_limits<int64_t>::max();
  }
  return volume;
}

}  // namespace lobewright
