#pragma once

#include <ostream>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/mesh_write_result.h"

namespace lobewright {

struct StlOptions {
  // Off by default: a printer wants the lobes. The balls and sticks would add shells that cut
  // into each other and into the lobes, and sticks too thin to print at the lobes' scale.
  bool includeStructure = false;
};

// Binary STL, 1 unit = 1 Angstrom: every closed shell of the lobes (and of the structure when
// included) as facets whose normals follow from the counter-clockwise corners.
[[nodiscard]] MeshWriteResult writeStl(std::ostream& out, const OrbitalMesh& mesh,
                                       const BallAndStickModel& structure,
                                       const StlOptions& options = {});

}  // namespace lobewright
