#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stop_token>
#include <vector>

#include "app/conversion_request.h"
#include "input/calculation.h"
#include "input/vector3.h"
#include "mesh/grid_box.h"
#include "orbital/field.h"

namespace lobewright {

// A field's values on a grid held in memory, for scripts: the points origin + (i, j, k) * spacing
// (Angstrom), with the value of point (i, j, k) at (i * ny + j) * nz + k, in the field's unit.
struct FieldGrid {
  Vec3 origin;
  double spacing = 0.0;
  std::array<int64_t, 3> counts{};
  std::vector<double> values;
  ConversionOutcome failure;  // why there are no values, when there are none
};

// The box of the grid points (1 / scale Angstrom apart) from `margin` Angstrom below the atoms'
// extent to as far above it; nothing when it does not fit 32-bit grid indices.
[[nodiscard]] std::optional<GridBox> boxAroundAtoms(const std::vector<CalculationAtom>& atoms,
                                                    double margin, int scale);

// The field's values on the plane of the box at x = low + i, row by row along z (the points of a
// row lie close together) as a cube holds them, the rows shared among `threads` threads; false
// when a stop came before every row was done.
[[nodiscard]] bool planeValues(const Field& field, const GridBox& box, int scale, int64_t i,
                               std::span<double> values, int threads, const std::stop_token& stop);

// The field's values over the box, plane by plane; refused when the values would take more than
// kSweepMemoryBudget, and stopped by the token.
[[nodiscard]] FieldGrid sampleFieldGrid(const Field& field, const GridBox& box, int scale,
                                        int threads, const std::stop_token& stop);

}  // namespace lobewright
