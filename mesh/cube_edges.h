#pragma once

#include <array>
#include <cstdint>

namespace lobewright {

struct CubeOffset {
  int16_t x;
  int16_t y;
  int16_t z;
};

inline constexpr int kCubeEdgeCount = 12;

// Start and end corner of each cube edge, from its lower to its upper end. The order decides
// the order of the crossing points and so which one is the apex of the cube's fan.
inline constexpr std::array<CubeOffset, kCubeEdgeCount> kCubeEdgeStart{{
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {1, 0, 0},
    {1, 0, 0},
    {0, 1, 0},
    {0, 1, 0},
    {1, 1, 0},
    {0, 0, 1},
    {0, 0, 1},
    {1, 0, 1},
    {0, 1, 1},
}};
inline constexpr std::array<CubeOffset, kCubeEdgeCount> kCubeEdgeEnd{{
    {1, 0, 0},
    {0, 1, 0},
    {0, 0, 1},
    {1, 1, 0},
    {1, 0, 1},
    {1, 1, 0},
    {0, 1, 1},
    {1, 1, 1},
    {1, 0, 1},
    {0, 1, 1},
    {1, 1, 1},
    {1, 1, 1},
}};

}  // namespace lobewright
