#pragma once

#include <cstdint>

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

}  // namespace lobewright
