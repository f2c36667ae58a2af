#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "mesh/orbital_mesh.h"
#include "writers/scene_atoms.h"
#include "writers/scene_options.h"
#include "writers/scene_text.h"
#include "writers/vertex_set.h"

namespace lobewright {

// Writes a LightWave Modeler script: every surface point once, the two lobes as polygons on the
// surfaces "positive" and "negative", and one surface per element with its balls and bond
// discs. Unlike the POV-Ray scene, nothing but the header can be written before the sweep ends:
// the points come first in the script. A classic script is written in two steps around the sweep,
// which files the surface's triangles in an IndexedMesh meanwhile.
class LScriptWriter {
 public:
  explicit LScriptWriter(std::ostream& out) : m_out(out) {}

  // The header, and the surfaces' set-up kept until the end.
  void begin(const SceneAtoms& atoms);
  // Everything after the sweep: structure, points, surfaces and the closing brace. Leaves the
  // stream open.
  void finish(const SceneAtoms& atoms, const SceneOptions& options, const IndexedMesh& mesh);

  // The whole script around a watertight surface (in Angstrom, placed on the grid of
  // options.scale points per Angstrom).
  void writeScript(const SceneAtoms& atoms, const OrbitalMesh& mesh, const SceneOptions& options);

 private:
  void writeHeader();
  void setUpSurfaces(const SceneAtoms& atoms);
  void addStructure(const SceneAtoms& atoms, const SceneOptions& options);
  void writePoints(const IndexedMesh& mesh);
  void writeSurfaces(const IndexedMesh& mesh);
  void writePolygons(const IndexedMesh::CornerLists& corners);

  std::ostream& m_out;
  // The text of each surface: the two lobes first, then one per element of the table.
  std::vector<std::string> m_surfaceBuffers;
};

}  // namespace lobewright
