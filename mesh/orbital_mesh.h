#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "input/vector3.h"
#include "mesh/surface_triangle.h"

namespace lobewright {

// One lobe as a closed shared-vertex mesh: positions in Angstrom, unit normals pointing out of
// the lobe, and triangles wound counter-clockwise seen from outside.
struct LobeMesh {
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;
  std::vector<std::array<uint32_t, 3>> triangles;
};

// The surface |psi| = threshold: the positive lobe (psi above the threshold) and the negative
// lobe (psi below minus the threshold).
struct OrbitalMesh {
  LobeMesh positive;
  LobeMesh negative;

  [[nodiscard]] const LobeMesh& lobe(LobeSign sign) const {
    return sign == LobeSign::positive ? positive : negative;
  }
  [[nodiscard]] LobeMesh& lobe(LobeSign sign) {
    return sign == LobeSign::positive ? positive : negative;
  }
};

}  // namespace lobewright
