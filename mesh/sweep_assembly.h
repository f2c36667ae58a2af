#pragma once

#include <array>
#include <cstdint>

#include "mesh/isosurface_sweep.h"
#include "mesh/orbital_mesh.h"

namespace lobewright {

// Gathers the planes and layers of a sweep, in the order plane 0, plane 1, layer 0, plane 2,
// layer 1, ..., into one shared-vertex mesh per lobe. Vertices are numbered in that order, so the
// mesh does not depend on which thread computed which piece.
class SweepAssembly {
 public:
  void addPlane(const SweepPlane& plane);
  // The layer between the last two planes added.
  void addLayer(const SweepLayer& layer);

  [[nodiscard]] OrbitalMesh& mesh() { return m_mesh; }

 private:
  OrbitalMesh m_mesh;
  // Per lobe, where the vertices of the last two planes start.
  std::array<uint32_t, kLobeCount> m_lowerStart{};
  std::array<uint32_t, kLobeCount> m_upperStart{};
};

}  // namespace lobewright
