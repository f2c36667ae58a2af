#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/conversion_settings.h"
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

// The largest file a conversion writes (or, for a picture, the scene it hands POV-Ray): far beyond
// any molecule's cube or mesh at the scales the window offers, and small enough that a runaway
// box (atoms a million Angstrom apart) is refused before it fills the disk.
inline constexpr uint64_t kOutputBudget = uint64_t{2} << 30;

// Why a cube of the bounds' points cannot be written, or nothing: its size beyond the budget, at
// about 13 bytes a point. The message names the size and how to go below it, as above.
[[nodiscard]] std::optional<std::string> cubeSizeProblem(const GridBounds& bounds);

// The same for a mesh of this many triangles in the settings' format.
[[nodiscard]] std::optional<std::string> meshSizeProblem(uint64_t triangles,
                                                         const ConversionSettings& settings);

}  // namespace lobewright
