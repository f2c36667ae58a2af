#include "app/field_grid.h"

#include <cmath>
#include <limits>
#include <string>

#include "app/grid_budget.h"
#include "app/messages.h"
#include "mesh/worker_threads.h"

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

bool planeValues(const Field& field, const GridBox& box, int scale, int64_t i,
                 std::span<double> values, int threads, const std::stop_token& stop) {
  const auto rowLength = static_cast<std::size_t>(box.high[2] - box.low[2] + 1);
  const auto rows = static_cast<std::size_t>(box.high[1] - box.low[1] + 1);
  return runBatches(rows, threads, stop, [&](std::size_t j) {
    std::vector<Vec3> row(rowLength);
    for (std::size_t k = 0; k < rowLength; ++k) {
      row[k] = gridPosition(box.low[0] + i, box.low[1] + static_cast<int64_t>(j),
                            box.low[2] + static_cast<int64_t>(k), scale);
    }
    field.valuesAt(row, values.subspan(j * rowLength, rowLength));
  });
}

FieldGrid sampleFieldGrid(const Field& field, const GridBox& box, int scale, int threads,
                          const std::stop_token& stop) {
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
  const auto planeSize = static_cast<std::size_t>(grid.counts[1] * grid.counts[2]);
  for (int64_t i = 0; i < grid.counts[0]; ++i) {
    const std::span<double> plane =
        std::span(grid.values).subspan(static_cast<std::size_t>(i) * planeSize, planeSize);
    if (!planeValues(field, box, scale, i, plane, threads, stop)) {
      grid.values.clear();
      grid.failure = {ConversionStatus::cancelled, kCancelledMessage};
      return grid;
    }
  }
  return grid;
}

}  // namespace lobewright
