#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "mesh/orbital_mesh.h"
#include "writers/ball_and_stick.h"
#include "writers/colours.h"
#include "writers/mesh_write_result.h"
#include "writers/surface_colouring.h"

namespace lobewright {

struct ObjOptions {
  LobeColours colours;
  bool includeStructure = true;
  // The material file the .obj names on its "mtllib" line, to be found beside it. OBJ separates
  // names by blanks, so it may not contain any.
  std::string materialLibrary = "orbital.mtl";
  const SurfaceColouring* colouring = nullptr;  // colours the lobes vertex by vertex
};

// Wavefront OBJ, 1 unit = 1 Angstrom: a group per part ("g positive", "g negative", then
// "g element_C" and so on for the structure), each with its material, vertex normals and
// "f v//vn" faces, indices counted from 1 across the whole file. The vertices of a coloured lobe
// carry their sRGB colour from 0 to 1 after the position, "v x y z r g b", and its material is
// white, so that readers that multiply the two show the vertex colours as they are.
[[nodiscard]] MeshWriteResult writeObj(std::ostream& out, const OrbitalMesh& mesh,
                                       const BallAndStickModel& structure,
                                       const ObjOptions& options = {});

// The .mtl file with one material per group of writeObj's output, for the same arguments.
[[nodiscard]] MeshWriteResult writeMtl(std::ostream& out, const OrbitalMesh& mesh,
                                       const BallAndStickModel& structure,
                                       const ObjOptions& options = {});

// Writes objPath and its material file beside it: same name with the extension .mtl, blanks
// replaced by '_' (options.materialLibrary is ignored).
[[nodiscard]] MeshWriteResult writeObjFiles(const std::filesystem::path& objPath,
                                            const OrbitalMesh& mesh,
                                            const BallAndStickModel& structure,
                                            const ObjOptions& options = {});

}  // namespace lobewright
