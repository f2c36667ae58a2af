#pragma once

#include "input/molecule.h"
#include "mesh/grid_bounds.h"

namespace lobewright {

// Whether the grid around the atoms can be swept: every bound, and every axis' extent from its
// low to its high bound, is a 32-bit number of grid units. False when an atom lies too far out
// (or at infinity once scaled). The molecule must already be in grid units.
[[nodiscard]] bool gridBoundsFit(const Molecule& molecule, int scale);

// The atoms' extent plus a margin of 1.5 Angstrom, truncated toward zero to whole grid units.
// The molecule must already be in grid units. Where gridBoundsFit is false, bounds beyond the
// 32-bit range are clamped to it (and a NaN bound gives 0), so the result is always defined but
// not the true grid.
[[nodiscard]] GridBounds computeGridBounds(const Molecule& molecule, int scale);

}  // namespace lobewright
