#pragma once

#include <cstdint>
#include <functional>

#include "mesh/orbital_mesh.h"

namespace lobewright {

// What is wrong with one lobe's mesh, if anything.
struct LobeMeshCheck {
  int64_t boundaryEdges = 0;        // edges in one triangle only
  int64_t nonManifoldEdges = 0;     // edges in more than two triangles
  int64_t misorientedEdges = 0;     // edges that two triangles run through in the same direction
  int64_t nonManifoldVertices = 0;  // vertices whose triangles do not form one closed fan
  int64_t degenerateTriangles = 0;  // a corner repeated, or an area not above the minimum
  int64_t badIndices = 0;           // corners that name no vertex
  int64_t reversedTriangles = 0;    // triangles facing against the sum of their corners' normals
  int64_t nonUnitNormals = 0;       // normals whose length is off 1 by more than 1e-9
  double signedVolume = 0.0;        // positive when the triangles face outward
  double largestDeviation = 0.0;    // of | |value| / threshold - 1 | over the vertices

  // Closed, 2-manifold and consistently oriented.
  [[nodiscard]] bool watertight() const {
    return boundaryEdges == 0 && nonManifoldEdges == 0 && misorientedEdges == 0 &&
           nonManifoldVertices == 0 && badIndices == 0;
  }
};

// Checks a lobe's mesh; the deviation from the threshold is measured when a value function is
// given (positions in Angstrom).
[[nodiscard]] LobeMeshCheck checkLobeMesh(const LobeMesh& mesh, double minimumArea,
                                          const std::function<double(const Vec3&)>& value = {},
                                          double threshold = 0.0);

}  // namespace lobewright
