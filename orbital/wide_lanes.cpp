#include "orbital/wide_lanes.h"

#include <atomic>

namespace lobewright {
namespace {

bool processorHasAvx2() { return __builtin_cpu_supports("avx2") != 0; }

std::atomic<bool>& wideLanes() {
  static std::atomic<bool> wide{processorHasAvx2()};
  return wide;
}

}  // namespace

bool wideLanesInUse() { return wideLanes().load(std::memory_order_relaxed); }

bool useWideLanes(bool wide) {
  const bool can = processorHasAvx2();
  wideLanes() = wide && can;
  return !wide || can;
}

}  // namespace lobewright
