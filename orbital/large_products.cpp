#include "orbital/large_products.h"

#include <Eigen/Core>
#include <mutex>

namespace lobewright {
namespace {

// The L1 size of the processor the project's numbers were first made on.
constexpr std::ptrdiff_t kL1Bytes = 48 * 1024;

}  // namespace

Eigen::MatrixXd fullMatrix(const SymmetricMatrix& packed) {
  const auto n = static_cast<Eigen::Index>(packed.size());
  Eigen::MatrixXd full(n, n);
  const std::vector<double>& lower = packed.lowerTriangle();
  std::size_t k = 0;
  for (Eigen::Index i = 0; i < n; ++i) {
    for (Eigen::Index j = 0; j <= i; ++j) {
      full(i, j) = lower[k];
      full(j, i) = lower[k];
      ++k;
    }
  }
  return full;
}

void fixProductBlocking() {
  // Written once and then only read, so no product of another thread sees the value change.
  static std::mutex writing;
  const std::scoped_lock lock(writing);
  if (Eigen::l1CacheSize() == kL1Bytes) return;
  Eigen::setCpuCacheSizes(kL1Bytes, Eigen::l2CacheSize(), Eigen::l3CacheSize());
}

}  // namespace lobewright
