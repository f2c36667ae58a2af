#include "orbital/product_blocking.h"

#include <gtest/gtest.h>

#include <Eigen/Core>
#include <cmath>
#include <cstddef>
#include <vector>

#include "input/calculation.h"
#include "orbital/density_matrix.h"
#include "orbital/deorthogonalisation.h"

namespace lobewright {
namespace {

// Large enough that Eigen cuts its products' inner dimension at 32 KiB of L1 and not at 64.
constexpr std::size_t kAoCount = 640;

// A well-conditioned overlap (diagonally dominant) and an irregular density matrix.
Calculation largeCalculation() {
  Calculation calculation;
  calculation.basis.resize(kAoCount);
  calculation.overlap = SymmetricMatrix(kAoCount);
  calculation.totalDensity = SymmetricMatrix(kAoCount);
  for (std::size_t i = 0; i < kAoCount; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      const auto apart = static_cast<double>(i - j);
      calculation.overlap(i, j) = i == j ? 1.0 : 0.1 * std::exp(-apart / 3.0);
      calculation.totalDensity(i, j) = std::cos(0.37 * static_cast<double>(i * j + 1));
    }
  }
  return calculation;
}

void actAsAProcessorWithL1(std::ptrdiff_t bytes) {
  Eigen::setCpuCacheSizes(bytes, Eigen::l2CacheSize(), Eigen::l3CacheSize());
}

TEST(ProductBlocking, SInverseSqrtAndDensitiesAreTheSameToTheBitOnEveryProcessor) {
  const Calculation calculation = largeCalculation();
  std::vector<std::vector<double>> inverses;
  std::vector<std::vector<double>> densities;
  // Most x86-64 processors have 32 KiB of L1 data cache; some have 48 or more.
  for (const std::ptrdiff_t l1 : {32 * 1024, 64 * 1024}) {
    actAsAProcessorWithL1(l1);
    inverses.push_back(inverseSqrtOf(calculation.overlap).matrix.lowerTriangle());
    actAsAProcessorWithL1(l1);
    densities.push_back(densityOf(calculation, DensityKind::total).matrix.lowerTriangle());
  }
  ASSERT_EQ(inverses[0].size(), kAoCount * (kAoCount + 1) / 2);
  ASSERT_EQ(densities[0].size(), inverses[0].size());
  EXPECT_TRUE(inverses[0] == inverses[1]);
  EXPECT_TRUE(densities[0] == densities[1]);
}

}  // namespace
}  // namespace lobewright
