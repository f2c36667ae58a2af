#pragma once

#include "mesh/grid_bounds.h"
#include "orbital/classic_orbital.h"

namespace lobewright {

// Whether the grid around the atoms can be swept: every bound, and every axis' extent from its
// low to its high bound, is a 32-bit number of grid units. False when an atom lies too far out
// (or at infinity once scaled).
[[nodiscard]] bool gridBoundsFit(const ClassicOrbital& orbital, int scale);

// The atoms' extent plus a margin of 1.5 Angstrom, truncated toward zero to whole grid units.
// Where gridBoundsFit is false, bounds beyond the 32-bit range are clamped to it (and a NaN bound
// gives 0), so the result is always defined but not the true grid.
[[nodiscard]] GridBounds computeGridBounds(const ClassicOrbital& orbital, int scale);

}  // namespace lobewright
