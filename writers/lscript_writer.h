#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "input/molecule.h"
#include "mesh/grid_bounds.h"
#include "mesh/orbital_mesh.h"
#include "mesh/polygonizer.h"
#include "mesh/surface_sweep.h"
#include "writers/vertex_set.h"
#include "writers/progress_callback.h"
#include "writers/scene_atoms.h"
#include "writers/scene_options.h"
#include "writers/scene_text.h"

namespace lobewright {

// Writes a LightWave Modeler script: every surface point once, the two lobes as polygons on the
// surfaces "positive" and "negative", and one surface per element with its balls and bond
// discs. Unlike the POV-Ray scene, nothing but the header can be written before the sweep ends:
// the points come first in the script.
class LScriptWriter {
 public:
  explicit LScriptWriter(std::ostream& out) : m_out(out) {}

  // Returns what the sweep did; leaves the stream open.
  SweepCounters writeScript(const Molecule& molecule, const SceneOptions& options,
                            const GridBounds& bounds, const ProgressCallback& progress,
                            const SweepOptions& sweep = {});

  // The same script with the surface cut by the literal sweep from another field (tests use
  // synthetic ones); the molecule gives the element surfaces and the structure.
  template <class Field>
  int64_t writeScript(const Field& field, const Molecule& molecule, const SceneOptions& options,
                      const GridBounds& bounds, const ProgressCallback& progress);

  // The same script around a watertight surface (in Angstrom, placed on the grid of
  // options.scale points per Angstrom).
  void writeScript(const SceneAtoms& atoms, const OrbitalMesh& mesh, const SceneOptions& options);

 private:
  void writeHeader();
  void setUpSurfaces(const SceneAtoms& atoms);
  // Everything after the sweep: structure, points, surfaces and the closing brace.
  void finish(const SceneAtoms& atoms, const SceneOptions& options, const IndexedMesh& mesh);
  void addStructure(const SceneAtoms& atoms, const SceneOptions& options);
  void writePoints(const IndexedMesh& mesh);
  void writeSurfaces(const IndexedMesh& mesh);
  void writePolygons(const IndexedMesh::CornerLists& corners);

  std::ostream& m_out;
  // The text of each surface: the two lobes first, then one per element of the table.
  std::vector<std::string> m_surfaceBuffers;
};

template <class Field>
int64_t LScriptWriter::writeScript(const Field& field, const Molecule& molecule,
                                   const SceneOptions& options, const GridBounds& bounds,
                                   const ProgressCallback& progress) {
  const SceneAtoms atoms = classicSceneAtoms(molecule);
  writeHeader();
  setUpSurfaces(atoms);
  IndexedMesh mesh;
  polygonizeGrid(
      field, options.threshold, options.accuracy, bounds,
      [&](const SurfaceTriangle& triangle) {
        const TriangleOrientation orientation = orientTriangle(field, triangle);
        mesh.addTriangle(orientation.sign, triangle, orientation.exchanged);
      },
      progress);
  progress(100);
  finish(atoms, options, mesh);
  return mesh.triangleCount();
}

}  // namespace lobewright
