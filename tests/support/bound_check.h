#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "orbital/field.h"

namespace lobewright::testing {

// A field's bound of |value| over 300 random boxes of up to 1.5 Angstrom, placed within `reach`
// of the origin, some reaching to infinity along an axis, against `points` values inside each.
inline void expectBoundHoldsInRandomBoxes(const Field& field, std::mt19937& random, double reach,
                                          int points) {
  std::uniform_real_distribution<double> place(-reach, reach);
  std::uniform_real_distribution<double> size(0.0, 1.5);
  for (int n = 0; n < 300; ++n) {
    Vec3 low{place(random), place(random), place(random)};
    Vec3 high = low + Vec3{size(random), size(random), size(random)};
    if (n % 5 == 0) low.x = -INFINITY;
    if (n % 7 == 0) high.y = INFINITY;
    if (n % 11 == 0) high.z = INFINITY;
    const double bound = field.boundOfMagnitude(low, high);
    const auto within = [&](double a, double b) {
      const double from = std::isfinite(a) ? a : b - 3.0;
      const double to = std::isfinite(b) ? b : a + 3.0;
      return std::uniform_real_distribution<double>(from, to)(random);
    };
    for (int m = 0; m < points; ++m) {
      const Vec3 p{within(low.x, high.x), within(low.y, high.y), within(low.z, high.z)};
      EXPECT_LE(std::fabs(field.valueAt(p)), bound) << p.x << ' ' << p.y << ' ' << p.z;
    }
  }
}

}  // namespace lobewright::testing
