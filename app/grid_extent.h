#pragma once

#include "input/molecule.h"
#include "surface/grid_bounds.h"

namespace lobewright {

// The atoms' extent plus a margin of 1.5 Angstrom, truncated toward zero to whole grid units.
// The molecule must already be in grid units.
[[nodiscard]] GridBounds computeGridBounds(const Molecule& molecule, int scale);

}  // namespace lobewright
