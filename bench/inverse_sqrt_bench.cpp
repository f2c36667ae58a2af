// Times de-orthogonalisation on a synthetic overlap matrix: one MO through the Lanczos process
// (with its Cholesky check) and, with --literal, the full S^-1/2 from the eigendecomposition,
// with the largest difference between the two results.
//
//   inverse_sqrt_bench [AO count, default 2500] [--literal]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "surface/deorthogonalisation.h"

namespace lobewright {
namespace {

// AOs on a jittered cubic lattice with Gaussian overlaps: positive definite, about 0.14 between
// neighbours and 1 on the diagonal, with eigenvalues from 0.34 to 2.2 for 2,500 AOs, much like
// the overlap matrices of real molecules (0.25 to 2.7 in the samples).
SymmetricMatrix syntheticOverlap(std::size_t aoCount) {
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

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace
}  // namespace lobewright

int main(int argc, char** argv) {
  using namespace lobewright;
  std::size_t aoCount = 2500;
  bool literal = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--literal") {
      literal = true;
    } else {
      aoCount = static_cast<std::size_t>(std::strtoul(argv[i], nullptr, 10));
    }
  }
  if (aoCount == 0) {
    std::fprintf(stderr, "usage: inverse_sqrt_bench [AO count] [--literal]\n");
    return 2;
  }
  const SymmetricMatrix overlap = syntheticOverlap(aoCount);
  std::mt19937 random(7);
  std::normal_distribution<double> normal;
  std::vector<double> mo(aoCount);
  for (double& c : mo) c = normal(random);

  auto start = std::chrono::steady_clock::now();
  const AoCoefficients fast = deorthogonalise(overlap, mo);
  std::printf("%zu AOs: one MO by Lanczos in %.3f s%s\n", aoCount, secondsSince(start),
              fast.error.empty() ? "" : (" - " + fast.error).c_str());
  if (!literal) return fast.error.empty() ? 0 : 1;

  start = std::chrono::steady_clock::now();
  const InverseSqrt inverse = inverseSqrtOf(overlap);
  std::printf("%zu AOs: S^-1/2 by eigendecomposition in %.3f s\n", aoCount, secondsSince(start));
  if (!inverse.error.empty()) return 1;
  const AoCoefficients exact = applyInverseSqrt(inverse.matrix, mo);
  double difference = 0.0;
  double largest = 0.0;
  for (std::size_t i = 0; i < aoCount; ++i) {
    difference = std::max(difference, std::abs(exact.values[i] - fast.values[i]));
    largest = std::max(largest, std::abs(exact.values[i]));
  }
  std::printf("largest difference %.3g (largest coefficient %.3g)\n", difference, largest);
  return 0;
}
