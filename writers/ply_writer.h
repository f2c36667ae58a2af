#pragma once

#include <ostream>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/mesh_write_result.h"
#include "writers/surface_colouring.h"

namespace lobewright {

struct PlyOptions {
  LobeColours colours;
  bool includeStructure = true;
  const SurfaceColouring* colouring = nullptr;  // colours the lobes vertex by vertex
};

// Binary little-endian PLY, 1 unit = 1 Angstrom: both lobes (and the structure) in one vertex
// list with positions, normals and 8-bit sRGB colours (each lobe's, or each vertex's own on a
// coloured surface), and one face list of triangles.
[[nodiscard]] MeshWriteResult writePly(std::ostream& out, const OrbitalMesh& mesh,
                                       const BallAndStickModel& structure,
                                       const PlyOptions& options = {});

}  // namespace lobewright
