// Times de-orthogonalisation on a synthetic overlap matrix: one MO through the Lanczos process
// and, with --literal, the full S^-1/2 from the eigendecomposition (its last product on every
// core), with the largest difference between the two results.
//
//   inverse_sqrt_bench [AO count, default 2500] [--literal]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "orbital/deorthogonalisation.h"
#include "synthetic_overlap.h"

namespace lobewright {
namespace {

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
  const std::vector<double> mo = randomCoefficients(aoCount);

  auto start = std::chrono::steady_clock::now();
  const AoCoefficients fast = deorthogonalise(overlap, mo);
  std::printf("%zu AOs: one MO by Lanczos in %.3f s%s\n", aoCount, secondsSince(start),
              fast.error.empty() ? "" : (" - " + fast.error).c_str());
  if (!literal) return fast.error.empty() ? 0 : 1;

  start = std::chrono::steady_clock::now();
  const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const InverseSqrt inverse = inverseSqrtOf(overlap, threads);
  std::printf("%zu AOs: S^-1/2 by eigendecomposition in %.3f s (%d threads)\n", aoCount,
              secondsSince(start), threads);
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
