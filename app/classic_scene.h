#pragma once

#include <ostream>

#include "app/conversion_request.h"
#include "mesh/grid_bounds.h"
#include "mesh/surface_sweep.h"
#include "orbital/classic_orbital.h"
#include "writers/scene_atoms.h"
#include "writers/scene_options.h"

namespace lobewright {

// Writes the classic POV-Ray scene (kind PovRay) or LightWave script (kind LScript) of the orbital
// while the grid is swept: the scene takes each triangle as it comes, the script files them until
// the sweep ends, as its points come first. Reports each layer's progress, then 100, and returns
// what the sweep did.
SweepCounters writeClassicScene(std::ostream& out, OutputKind kind, const ClassicOrbital& orbital,
                                const SceneAtoms& atoms, const SceneOptions& options,
                                const GridBounds& bounds, const ProgressCallback& progress,
                                const SweepOptions& sweep);

}  // namespace lobewright
