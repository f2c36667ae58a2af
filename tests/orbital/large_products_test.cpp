#include "orbital/large_products.h"

#include <gtest/gtest.h>

#include <Eigen/Core>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "input/calculation.h"
#include "orbital/density_matrix.h"
#include "orbital/deorthogonalisation.h"

namespace lobewright {
namespace {

// Large enough that Eigen cuts its products' inner dimension into blocks of different sizes at
// the L1 sizes below.
constexpr std::size_t kAoCount = 220;

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

TEST(LargeProducts, SInverseSqrtAndDensitiesAreTheSameToTheBitOnAnyProcessorAndThreads) {
  const Calculation calculation = largeCalculation();
  std::vector<std::vector<double>> inverses;
  std::vector<std::vector<double>> densities;
  // Processors differ in their L1 caches (32 KiB on most x86-64 ones, 48 on recent Intel ones);
  // smaller sizes make the test's matrices as many blocks as a large molecule's would be.
  for (const auto& [l1, threads] : {std::pair{8 * 1024, 1}, {16 * 1024, 3}}) {
    actAsAProcessorWithL1(l1);
    inverses.push_back(inverseSqrtOf(calculation.overlap, threads).matrix.lowerTriangle());
    actAsAProcessorWithL1(l1);
    densities.push_back(densityOf(calculation, DensityKind::total, threads).matrix.lowerTriangle());
  }
  ASSERT_EQ(inverses[0].size(), kAoCount * (kAoCount + 1) / 2);
  ASSERT_EQ(densities[0].size(), inverses[0].size());
  EXPECT_TRUE(inverses[0] == inverses[1]);
  EXPECT_TRUE(densities[0] == densities[1]);
}

}  // namespace
}  // namespace lobewright
