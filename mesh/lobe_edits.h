#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "mesh/orbital_mesh.h"

namespace lobewright {

// Edits of a closed, manifold, consistently oriented lobe that keep it so: edge collapses that
// merge one end into the other (so every vertex stays one of the lobe's own, on the surface) and
// edge flips. Triangles die or change corners in place. Work may go in passes: within a pass
// every vertex an edit touches is locked, so that each edit of a pass sees the lobe as the pass
// found it around its own vertices. Without locking, each edit sees the lobe the last one left,
// and edits whose triangles share no vertex may be made at once on several threads.
class LobeEdits {
 public:
  using Triangle = std::array<uint32_t, 3>;

  // Triangles below minimumArea are slivers; no edit makes a new one.
  LobeEdits(LobeMesh& mesh, double minimumArea);

  void beginPass() { ++m_pass; }
  // From now on no edit locks anything.
  void stopLocking() { m_locking = false; }

  // Where a collapse may reach: every vertex, or those of one slab (a vertex's slab in `slabs`).
  struct Region {
    const std::vector<uint16_t>* slabs = nullptr;
    uint16_t slab = 0;
  };
  enum class Collapse : uint8_t { made, refused, outsideRegion };

  // Merges vertex u into vertex v, which keeps its position and normal. Made only where the link
  // condition holds (the two ends share no neighbours but the two corners opposite their edge,
  // and the lobe is not a tetrahedron), and where no changed triangle becomes a sliver or turns
  // against the normals of its corners. Returns whether it was made.
  bool collapse(uint32_t u, uint32_t v) { return collapseWithin(u, v, {}) == Collapse::made; }
  // The same within a region: outsideRegion, before any other test, where a triangle around u or
  // v has a corner outside it.
  Collapse collapseWithin(uint32_t u, uint32_t v, const Region& region);
  // Flips the edge from corner `from` to the next corner of triangle t, on the same conditions.
  bool flip(uint32_t t, int from);

  [[nodiscard]] const LobeMesh& mesh() const { return m_mesh; }
  [[nodiscard]] double area(const Triangle& t) const;
  [[nodiscard]] bool isSliver(uint32_t t) const {
    return area(m_mesh.triangles[t]) < m_minimumArea;
  }
  // Whether the triangle faces against the normals of its corners.
  [[nodiscard]] bool reversed(const Triangle& t) const;
  [[nodiscard]] bool dead(uint32_t t) const { return m_dead[t] != 0; }
  void kill(uint32_t t);
  [[nodiscard]] std::size_t liveTriangles() const;
  // The live triangles around v, as they stand until the next edit.
  [[nodiscard]] const std::vector<uint32_t>& trianglesAround(uint32_t v) const {
    return m_around[v];
  }
  // The vertices that share an edge with v: on a closed, oriented lobe each follows v in exactly
  // one triangle around it.
  void neighbours(uint32_t v, std::vector<uint32_t>& out) const;

  // Keeps the live triangles and the vertices they use, in their order: the last call, after
  // which the lobe takes no more edits.
  void compact();

 private:
  [[nodiscard]] const Vec3& at(uint32_t v) const { return m_mesh.positions[v]; }
  void removeAround(uint32_t v, uint32_t t);
  void buildAround();
  [[nodiscard]] bool locked(uint32_t v) const { return m_locking && m_lockedIn[v] == m_pass; }
  void lock(uint32_t v) {
    if (m_locking) m_lockedIn[v] = m_pass;
  }
  [[nodiscard]] bool anyLocked(const std::vector<uint32_t>& triangles) const;
  void lockAll(const std::vector<uint32_t>& triangles);
  // Either the triangle was already a sliver and still is (a later edit deals with it), or it is
  // no sliver and faces the way its corners' normals do.
  [[nodiscard]] bool acceptable(const Triangle& before, const Triangle& after) const;

  LobeMesh& m_mesh;
  double m_minimumArea;
  std::vector<uint8_t> m_dead;
  std::vector<uint32_t> m_lockedIn;
  uint32_t m_pass = 0;
  bool m_locking = true;
  // The live triangles around each vertex.
  std::vector<std::vector<uint32_t>> m_around;
};

}  // namespace lobewright
