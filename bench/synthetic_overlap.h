#pragma once

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include "input/symmetric_matrix.h"

namespace lobewright {

// AOs on a jittered cubic lattice with Gaussian overlaps: positive definite, about 0.14 between
// neighbours and 1 on the diagonal, with eigenvalues from 0.34 to 2.2 for 2,500 AOs, much like
// the overlap matrices of real molecules (0.25 to 2.7 in the samples).
inline SymmetricMatrix syntheticOverlap(std::size_t aoCount) {
  std::mt19937 random(2500);
  std::uniform_real_distribution<double> jitter(-0.2, 0.2);
  const auto side = static_cast<std::size_t>(std::ceil(std::cbrt(static_cast<double>(aoCount))));
  std::vector<double> x(aoCount), y(aoCount), z(aoCount);
  for (std::size_t i = 0; i < aoCount; ++i) {
    x[i] = static_cast<double>(i % side) + jitter(random);
    y[i] = static_cast<double>(i / side % side) + jitter(random);
    z[i] = static_cast<double>(i / side / side) + jitter(random);
  }
  SymmetricMatrix overlap(aoCount);
  for (std::size_t i = 0; i < aoCount; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      const double r2 = (x[i] - x[j]) * (x[i] - x[j]) + (y[i] - y[j]) * (y[i] - y[j]) +
                        (z[i] - z[j]) * (z[i] - z[j]);
      overlap(i, j) = std::exp(-2.0 * r2);
    }
  }
  return overlap;
}

// A normalised-enough MO of random coefficients.
inline std::vector<double> randomCoefficients(std::size_t aoCount) {
  std::mt19937 random(7);
  std::normal_distribution<double> normal;
  std::vector<double> mo(aoCount);
  for (double& c : mo) c = normal(random);
  return mo;
}

}  // namespace lobewright
