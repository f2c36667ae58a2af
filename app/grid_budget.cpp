#include "app/grid_budget.h"

#include <algorithm>
#include <charconv>

namespace lobewright {
namespace {

// Per grid point and plane: its class and the indices of its edges along x and y; per point and
// thread, the index of its edge along z.
constexpr uint64_t kPlaneBytesPerPoint = 9;
constexpr uint64_t kLayerBytesPerPoint = 4;

constexpr const char* kHowToShrink = "lower the scale or check the coordinates";

uint64_t pointsAlong(int32_t low, int32_t high) {
  return high > low ? static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1 : 1;
}

// One decimal with a point whatever the user's locale.
std::string gigabytes(double bytes) {
  char digits[32];
  const auto end =
      std::to_chars(digits, digits + sizeof digits, bytes / (1 << 30), std::chars_format::fixed, 1);
  return std::string(digits, end.ptr) + " GB";
}

}  // namespace

std::optional<std::string> gridSizeProblem(const GridBounds& b, int threads) {
  const uint64_t nx = pointsAlong(b.xLow, b.xHigh);
  const uint64_t ny = pointsAlong(b.yLow, b.yHigh);
  const uint64_t nz = pointsAlong(b.zLow, b.zHigh);
  const std::string shape =
      std::to_string(nx) + " x " + std::to_string(ny) + " x " + std::to_string(nz) + " points";
  uint64_t plane = 0;
  uint64_t total = 0;
  if (__builtin_mul_overflow(nx, ny, &plane) || __builtin_mul_overflow(plane, nz, &total) ||
      total > static_cast<uint64_t>(INT64_MAX)) {
    return "The grid of " + shape + " is too large to count; " + kHowToShrink + ".";
  }
  // The parallel sweep keeps up to 2 * threads + 3 planes; one thread keeps two.
  const uint64_t workers = static_cast<uint64_t>(std::max(1, threads));
  const uint64_t planesKept = workers == 1 ? 2 : 2 * workers + 3;
  const double bytes =
      static_cast<double>(plane) *
      static_cast<double>(kPlaneBytesPerPoint * planesKept + kLayerBytesPerPoint * workers);
  if (bytes > static_cast<double>(kSweepMemoryBudget)) {
    return "The grid of " + shape + " would need " + gigabytes(bytes) +
           " of memory, more than the " + gigabytes(static_cast<double>(kSweepMemoryBudget)) +
           " allowed; " + kHowToShrink + ".";
  }
  return std::nullopt;
}

}  // namespace lobewright
