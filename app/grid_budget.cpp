#include "app/grid_budget.h"

#include <algorithm>
#include <charconv>

#include "app/output_format.h"

namespace lobewright {
namespace {

// Per grid point and plane: its class and the indices of its edges along x and y; per point and
// thread, the index of its edge along z.
constexpr uint64_t kPlaneBytesPerPoint = 9;
constexpr uint64_t kLayerBytesPerPoint = 4;

constexpr const char* kHowToShrink = "lower the scale or check the coordinates";

// A cube's value: " -1.23456E-01", six to a line.
constexpr double kCubeBytesPerPoint = 13.0 + 1.0 / 6.0;

// Bytes per triangle of each mesh format, as caffeine's HOMO at scale 8 (13,440 triangles, with
// its molecule) measures them, rounded up; vertex colours add to those that hold them. A page's
// viewer (0.6 MB) is nothing beside the budget.
double bytesPerTriangle(const ConversionSettings& settings) {
  const bool coloured = settings.colouring.source.has_value();
  switch (settings.outputKind) {
    case OutputKind::Gltf:
      return coloured ? 33 : 27;
    case OutputKind::Html:  // the .glb in base64
      return coloured ? 43 : 35;
    case OutputKind::Obj:
      return coloured ? 139 : 126;
    case OutputKind::Ply:
      return 52;
    case OutputKind::Stl:
      return 50;
    case OutputKind::LScript:
      return 102;
    case OutputKind::PovRay:
      if (!settings.picture.frame) return 200;
      [[fallthrough]];
    case OutputKind::Png:  // the framed scene POV-Ray is given
      return coloured ? 73 : 60;
    case OutputKind::Cube:
      break;
  }
  return 0;
}

uint64_t pointsAlong(int32_t low, int32_t high) {
  return high > low ? static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1 : 1;
}

// One decimal with a point whatever the user's locale.
std::string gigabytes(double bytes) {
  char digits[64];
  const auto [end, error] =
      std::to_chars(digits, digits + sizeof digits, bytes / (1 << 30), std::chars_format::fixed, 1);
  if (error != std::errc()) return "too many GB";
  return std::string(digits, end) + " GB";
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

std::optional<std::string> cubeSizeProblem(const GridBounds& b) {
  const uint64_t nx = pointsAlong(b.xLow, b.xHigh);
  const uint64_t ny = pointsAlong(b.yLow, b.yHigh);
  const uint64_t nz = pointsAlong(b.zLow, b.zHigh);
  const double bytes = static_cast<double>(nx) * static_cast<double>(ny) * static_cast<double>(nz) *
                       kCubeBytesPerPoint;
  if (bytes <= static_cast<double>(kOutputBudget)) return std::nullopt;
  return "The cube of " + std::to_string(nx) + " x " + std::to_string(ny) + " x " +
         std::to_string(nz) + " points would need " + gigabytes(bytes) +
         " on disk, more than the " + gigabytes(static_cast<double>(kOutputBudget)) +
         " allowed; lower the scale (--scale), give a smaller --margin or check the coordinates.";
}

std::optional<std::string> meshSizeProblem(uint64_t triangles, const ConversionSettings& settings) {
  const double bytes = static_cast<double>(triangles) * bytesPerTriangle(settings);
  if (bytes <= static_cast<double>(kOutputBudget)) return std::nullopt;
  return "The surface of " + std::to_string(triangles) + " triangles would need " +
         gigabytes(bytes) + " as " + std::string(outputFormat(settings.outputKind).extension) +
         ", more than the " + gigabytes(static_cast<double>(kOutputBudget)) +
         " allowed; lower the scale (--scale) or raise the threshold.";
}

}  // namespace lobewright
