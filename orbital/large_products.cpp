#include "orbital/large_products.h"

#include <Eigen/Core>
#include <mutex>

namespace lobewright {
namespace {

// The L1 size of the processor the project's numbers were first made on.
constexpr std::ptrdiff_t kL1Bytes = 48 * 1024;

}  // namespace

void fixProductBlocking() {
  // Written once and then only read, so no product of another thread sees the value change.
  static std::mutex writing;
  const std::scoped_lock lock(writing);
  if (Eigen::l1CacheSize() == kL1Bytes) return;
  Eigen::setCpuCacheSizes(kL1Bytes, Eigen::l2CacheSize(), Eigen::l3CacheSize());
}

}  // namespace lobewright
