#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mesh/grid_bounds.h"

namespace lobewright {

// The memory a sweep may take for its planes of grid points. Far beyond what any molecule needs
// at the scales the window offers, and small enough that a runaway grid is refused before it
// exhausts the machine.
inline constexpr uint64_t kSweepMemoryBudget = uint64_t{2} << 30;

// Why a sweep over the bounds on this many threads cannot be run, or nothing when it can: a
// plane of grid points or the whole grid beyond 64-bit counts, or the planes the sweep keeps
// beyond the budget. The message names the need and the budget and how to go below it.
[[nodiscard]] std::optional<std::string> gridSizeProblem(const GridBounds& bounds, int threads);

}  // namespace lobewright
