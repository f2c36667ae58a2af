#pragma once

#include <ostream>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/mesh_write_result.h"
#include "writers/surface_colouring.h"

namespace lobewright {

struct GlbOptions {
  LobeColours colours;
  bool includeStructure = true;
  const SurfaceColouring* colouring = nullptr;  // colours the lobes vertex by vertex
};

// Binary glTF 2.0, 1 unit = 1 Angstrom (viewers show it as 1 m). The lobes are the meshes
// "positive" and "negative", each with its own metallic-roughness material; a coloured lobe has
// its vertices' colours as COLOR_0 (linear light) and a white material, which glTF multiplies
// by them, so that every viewer shows the vertex colours. The structure is a
// node "structure" whose children place one shared sphere and one shared cylinder, a mesh of
// each per element so that each carries its element's material.
[[nodiscard]] MeshWriteResult writeGlb(std::ostream& out, const OrbitalMesh& mesh,
                                       const BallAndStickModel& structure,
                                       const GlbOptions& options = {});

}  // namespace lobewright
