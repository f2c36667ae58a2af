#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "mesh/orbital_mesh.h"
#include "mesh/surface_triangle.h"
#include "writers/scene_atoms.h"
#include "writers/scene_options.h"

namespace lobewright {

// Writes a POV-Ray scene: the orbital's surface as one mesh of smooth triangles, then the
// ball-and-stick molecule, camera and lights. The classic scene is written piece by piece while
// the grid is swept: the header, every triangle as it comes, the mesh's end, the structure and
// the trailer.
class PovSceneWriter {
 public:
  explicit PovSceneWriter(std::ostream& out) : m_out(out) {}

  // The scene around a watertight surface (in Angstrom, placed on the grid of
  // options.scale points per Angstrom), each corner with its unit normal.
  void writeScene(const SceneAtoms& atoms, const OrbitalMesh& mesh, const SceneOptions& options);

  void writeHeader(const SceneAtoms& atoms);
  void writeTriangle(const SmoothTriangle& triangle);
  void closeMesh();
  void writeStructure(const SceneAtoms& atoms, const SceneOptions& options);
  void writeTrailer(const SceneOptions& options);

 private:
  std::ostream& m_out;
  int64_t m_triangleCount = 0;
  std::string m_record;
};

}  // namespace lobewright
