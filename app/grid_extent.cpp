#include "app/grid_extent.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace lobewright {
namespace {

constexpr auto kLeastGridUnit = static_cast<double>(std::numeric_limits<int32_t>::min());
constexpr auto kGreatestGridUnit = static_cast<double>(std::numeric_limits<int32_t>::max());

struct AxisExtent {
  float least;
  float greatest;

  void include(float value) {
    if (value > greatest) greatest = value;
    if (value < least) least = value;
  }
};

// One axis' bounds before the conversion to 32-bit integers, already truncated toward zero.
struct AxisBounds {
  double low;
  double high;
};

struct Bounds {
  AxisBounds x;
  AxisBounds y;
  AxisBounds z;
};

AxisBounds withMargin(const AxisExtent& extent, double margin) {
  return {std::trunc(extent.least - margin), std::trunc(extent.greatest + margin)};
}

Bounds truncatedBounds(const ClassicOrbital& orbital, int scale) {
  const Point first = orbital.atoms().empty() ? Point{} : orbital.atomPosition(0);
  AxisExtent x{first.x, first.x};
  AxisExtent y{first.y, first.y};
  AxisExtent z{first.z, first.z};
  for (const AtomOrbital& atom : orbital.atoms()) {
    x.include(atom.x);
    y.include(atom.y);
    z.include(atom.z);
  }
  const double margin = 1.5 * static_cast<double>(scale);
  return {withMargin(x, margin), withMargin(y, margin), withMargin(z, margin)};
}

// False for NaN too: every comparison with it fails.
bool isGridUnit(double value) { return value >= kLeastGridUnit && value <= kGreatestGridUnit; }

bool axisFits(const AxisBounds& axis) {
  // Whole numbers of this size are exact in a double, and so is their difference.
  return isGridUnit(axis.low) && isGridUnit(axis.high) && isGridUnit(axis.high - axis.low);
}

// A float-to-integer conversion out of range is undefined, so the range is enforced first.
int32_t clampedToGrid(double value) {
  if (std::isnan(value)) return 0;
  if (value <= kLeastGridUnit) return std::numeric_limits<int32_t>::min();
  if (value >= kGreatestGridUnit) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

}  // namespace

bool gridBoundsFit(const ClassicOrbital& orbital, int scale) {
  const Bounds bounds = truncatedBounds(orbital, scale);
  return axisFits(bounds.x) && axisFits(bounds.y) && axisFits(bounds.z);
}

GridBounds computeGridBounds(const ClassicOrbital& orbital, int scale) {
  const Bounds bounds = truncatedBounds(orbital, scale);
  return {clampedToGrid(bounds.x.low),  clampedToGrid(bounds.y.low),  clampedToGrid(bounds.z.low),
          clampedToGrid(bounds.x.high), clampedToGrid(bounds.y.high), clampedToGrid(bounds.z.high)};
}

}  // namespace lobewright
