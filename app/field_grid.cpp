#include "app/field_grid.h"

#include <cmath>
#include <limits>
#include <string>

#include "app/grid_budget.h"
#include "app/messages.h"

namespace lobewright {

std::optional<GridBox> boxAroundAtoms(const std::vector<CalculationAtom>& atoms, double margin,
                                      int scale) {
  const AtomExtent extent = atomExtent(atoms);
  const double lows[] = {extent.low.x, extent.low.y, extent.low.z};
  const double highs[] = {extent.high.x, extent.high.y, extent.high.z};
  GridBox box;
  for (int axis = 0; axis < 3; ++axis) {
    const double low = std::floor((lows[axis] - margin) * scale);
    const double high = std::ceil((highs[axis] + margin) * scale);
    if (!(low >= std::numeric_limits<int32_t>::min() &&
          high <= std::numeric_limits<int32_t>::max() && low <= high)) {
      return std::nullopt;
    }
    box.low[axis] = static_cast<int32_t>(low);
    box.high[axis] = static_cast<int32_t>(high);
  }
  return box;
}

FieldGrid sampleFieldGrid(const Field& field, const GridBox& box, int scale, std::stop_token stop) {
  FieldGrid grid;
  const int64_t points = gridPointCount(box);
  if (points == 0 || points > static_cast<int64_t>(kSweepMemoryBudget / sizeof(double))) {
    grid.failure = {ConversionStatus::gridTooLarge,
                    "The grid of " + std::to_string(points) +
                        " points would take more memory than the " +
                        std::to_string(kSweepMemoryBudget >> 30) +
                        " GB allowed; lower the scale or the margin."};
    return grid;
  }
  for (int axis = 0; axis < 3; ++axis) {
    grid.counts[axis] = static_cast<int64_t>(box.high[axis]) - box.low[axis] + 1;
  }
  grid.origin = gridPosition(box.low[0], box.low[1], box.low[2], scale);
  grid.spacing = 1.0 / scale;
  grid.values.resize(static_cast<std::size_t>(points));
  std::vector<Vec3> row(static_cast<std::size_t>(grid.counts[2]));
  std::span<double> values(grid.values);
  for (int64_t i = 0; i < grid.counts[0]; ++i) {
    if (stop.stop_requested()) {
      grid.values.clear();
      grid.failure = {ConversionStatus::cancelled, kCancelledMessage};
      return grid;
    }
    for (int64_t j = 0; j < grid.counts[1]; ++j) {
      for (std::size_t k = 0; k < row.size(); ++k) {
        row[k] = gridPosition(box.low[0] + i, box.low[1] + j, box.low[2] + static_cast<int64_t>(k),
                              scale);
      }
      field.valuesAt(row,
                     values.subspan(static_cast<std::size_t>(i * grid.counts[1] + j) * row.size(),
                                    row.size()));
    }
  }
  return grid;
}

}  // namespace lobewright
