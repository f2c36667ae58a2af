#include "mesh/sweep_assembly.h"

#include <limits>
#include <stdexcept>

namespace lobewright {
namespace {

LobeMesh& lobeMesh(OrbitalMesh& mesh, int lobe) {
  return mesh.lobe(lobe == 0 ? LobeSign::positive : LobeSign::negative);
}

// Appends the vertices and returns the index of the first.
uint32_t appendVertices(LobeMesh& mesh, const LobeCrossings& crossings) {
  const std::size_t start = mesh.positions.size();
  if (crossings.vertices.size() > std::numeric_limits<uint32_t>::max() - start) {
    throw std::length_error("Too many surface points for one mesh.");
  }
  for (const MeshVertex& v : crossings.vertices) {
    mesh.positions.push_back(v.position);
    mesh.normals.push_back(v.normal);
  }
  return static_cast<uint32_t>(start);
}

}  // namespace

void SweepAssembly::addPlane(const SweepPlane& plane) {
  for (int lobe = 0; lobe < kLobeCount; ++lobe) {
    m_lowerStart[lobe] = m_upperStart[lobe];
    m_upperStart[lobe] = appendVertices(lobeMesh(m_mesh, lobe), plane.lobes[lobe]);
  }
}

void SweepAssembly::addLayer(const SweepLayer& layer) {
  for (int lobe = 0; lobe < kLobeCount; ++lobe) {
    LobeMesh& mesh = lobeMesh(m_mesh, lobe);
    const std::array<uint32_t, 3> starts{m_lowerStart[lobe], m_upperStart[lobe],
                                         appendVertices(mesh, layer.lobes[lobe])};
    for (const auto& triangle : layer.triangles[lobe]) {
      std::array<uint32_t, 3> corners;
      for (int c = 0; c < 3; ++c) {
        corners[c] = starts[triangle[c] >> kReferenceShift] + (triangle[c] & kLocalIndexMask);
      }
      mesh.triangles.push_back(corners);
    }
  }
}

}  // namespace lobewright
