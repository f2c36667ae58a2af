#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "mesh/grid_box.h"
#include "orbital/field_sample.h"

namespace lobewright {

// How far the box starts beyond the extent it is given, how far a face moves out when it cannot
// be shown clear, and how far out it may move at most (Angstrom).
inline constexpr double kSurfaceBoxStartMargin = 1.0;
inline constexpr double kSurfaceBoxStep = 0.5;
inline constexpr double kSurfaceBoxGrowthLimit = 40.0;

// The grid box that holds all of the surface |psi| = threshold, starting from the extent from low
// to high (usually the atoms', Angstrom) with a margin and moving each face out until the field's
// bound shows it clear.
//
// The guarantee: each face is final only when the bound of |psi| over the whole closed half-space
// beyond it (face plane included) is below the threshold. Every point outside the box or on its
// faces lies in one of those six half-spaces, so no lobe reaches the faces or has any part
// outside: all of the surface lies strictly inside the box, and the grid points on the faces are
// outside both lobes. Empty when the bound cannot show that within the growth limit, or the box
// does not fit 32-bit grid indices, or the threshold or scale is not a positive number.
template <SampledField F>
[[nodiscard]] std::optional<GridBox> findSurfaceBox(const F& field, double threshold, double scale,
                                                    const Vec3& low, const Vec3& high) {
  constexpr double kSafeFraction = 0.999;
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (!(threshold > 0.0) || !(scale > 0.0) || !std::isfinite(scale)) return std::nullopt;
  const std::array<double, 3> lows{low.x, low.y, low.z};
  const std::array<double, 3> highs{high.x, high.y, high.z};
  const double step = std::ceil(kSurfaceBoxStep * scale);
  const double limit = std::ceil(kSurfaceBoxGrowthLimit * scale);
  // Grid indices as doubles while the box grows, checked against the 32-bit range at the end.
  std::array<double, 3> start{};
  std::array<double, 3> end{};
  for (int axis = 0; axis < 3; ++axis) {
    start[axis] = std::floor((lows[axis] - kSurfaceBoxStartMargin) * scale);
    end[axis] = std::ceil((highs[axis] + kSurfaceBoxStartMargin) * scale);
    if (!std::isfinite(start[axis]) || !std::isfinite(end[axis]) || !(start[axis] < end[axis])) {
      return std::nullopt;
    }
  }
  for (int face = 0; face < 6; ++face) {
    const int axis = face / 2;
    const bool upper = face % 2 == 1;
    std::array<double, 3> halfLow{-kInfinity, -kInfinity, -kInfinity};
    std::array<double, 3> halfHigh{kInfinity, kInfinity, kInfinity};
    for (double grown = 0.0;; grown += step) {
      if (grown > limit) return std::nullopt;
      const double plane = (upper ? end[axis] + grown : start[axis] - grown) / scale;
      (upper ? halfLow : halfHigh)[axis] = plane;
      const double bound = field.boundOfMagnitude({halfLow[0], halfLow[1], halfLow[2]},
                                                  {halfHigh[0], halfHigh[1], halfHigh[2]});
      if (bound < kSafeFraction * threshold) {
        (upper ? end : start)[axis] += upper ? grown : -grown;
        break;
      }
    }
  }
  GridBox box;
  constexpr double kLeast = std::numeric_limits<int32_t>::min();
  constexpr double kGreatest = std::numeric_limits<int32_t>::max();
  for (int axis = 0; axis < 3; ++axis) {
    if (!(start[axis] >= kLeast && end[axis] <= kGreatest)) return std::nullopt;
    box.low[axis] = static_cast<int32_t>(start[axis]);
    box.high[axis] = static_cast<int32_t>(end[axis]);
  }
  return box;
}

}  // namespace lobewright
