#include "orbital/wide_lanes.h"

#include <atomic>

namespace lobewright {
namespace {

// Whether the processor has AVX2 and the system saves its registers (the compiler's check covers
// both). Its data is set up first, as this may run before main.
bool processorHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}

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
