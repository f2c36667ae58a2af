#pragma once

#include <ostream>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/mesh_write_result.h"

namespace lobewright {

struct GlbOptions {
  LobeColours colours;
  bool includeStructure = true;
};

// Binary glTF 2.0, 1 unit = 1 Angstrom (viewers show it as 1 m). The lobes are the meshes
// "positive" and "negative", each with its own metallic-roughness material. The structure is a
// node "structure" whose children place one shared sphere and one shared cylinder, a mesh of
// each per element so that each carries its element's material.
[[nodiscard]] MeshWriteResult writeGlb(std::ostream& out, const OrbitalMesh& mesh,
                                       const BallAndStickModel& structure,
                                       const GlbOptions& options = {});

}  // namespace lobewright
