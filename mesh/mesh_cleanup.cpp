#include "mesh/mesh_cleanup.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace lobewright {
namespace {

using Triangle = std::array<uint32_t, 3>;

// A triangle's normal scaled to twice its area.
Vec3 areaVector(const Vec3& a, const Vec3& b, const Vec3& c) { return cross(b - a, c - a); }

// The work on one lobe: triangles die or change corners in place; the vertex-to-triangle lists
// are rebuilt before each pass, and within a pass every vertex touched by an operation is locked,
// so that no later operation of the pass reads a list that has gone stale.
class SliverRemoval {
 public:
  SliverRemoval(LobeMesh& mesh, double minimumArea)
      : m_mesh(mesh),
        m_minimumArea(minimumArea),
        m_dead(mesh.triangles.size(), 0),
        m_lockedIn(mesh.positions.size(), 0) {}

  // Returns whether some triangle is still below the minimum area.
  bool run() {
    constexpr int kPassLimit = 64;
    for (int pass = 1; pass <= kPassLimit; ++pass) {
      m_pass = static_cast<uint32_t>(pass);
      buildIncidence();
      const std::vector<std::pair<double, uint32_t>> faulty = findFaulty();
      bool changed = false;
      for (const auto& [area, t] : faulty) {
        if (!m_dead[t]) changed |= repair(t);
      }
      if (!changed) break;
    }
    for (uint32_t t = 0; t < m_mesh.triangles.size(); ++t) {
      if (!m_dead[t] && isSliver(t)) return true;
    }
    return false;
  }

  [[nodiscard]] bool isSliver(uint32_t t) const {
    return area(m_mesh.triangles[t]) < m_minimumArea;
  }
  [[nodiscard]] bool dead(uint32_t t) const { return m_dead[t] != 0; }
  void kill(uint32_t t) { m_dead[t] = 1; }

 private:
  [[nodiscard]] const Vec3& at(uint32_t v) const { return m_mesh.positions[v]; }

  [[nodiscard]] double area(const Triangle& t) const {
    return 0.5 * norm(areaVector(at(t[0]), at(t[1]), at(t[2])));
  }

  // Whether the triangle faces against the normals of its corners.
  [[nodiscard]] bool reversed(const Triangle& t) const {
    const Vec3 normals = m_mesh.normals[t[0]] + m_mesh.normals[t[1]] + m_mesh.normals[t[2]];
    return !(dot(areaVector(at(t[0]), at(t[1]), at(t[2])), normals) > 0.0);
  }

  // The slivers, smallest first, then the triangles that face the wrong way.
  std::vector<std::pair<double, uint32_t>> findFaulty() const {
    std::vector<std::pair<double, uint32_t>> faulty;
    for (uint32_t t = 0; t < m_mesh.triangles.size(); ++t) {
      if (m_dead[t]) continue;
      const double a = area(m_mesh.triangles[t]);
      if (a < m_minimumArea) {
        faulty.emplace_back(a, t);
      } else if (reversed(m_mesh.triangles[t])) {
        faulty.emplace_back(m_minimumArea + a, t);
      }
    }
    std::sort(faulty.begin(), faulty.end());
    return faulty;
  }

  void buildIncidence() {
    m_start.assign(m_mesh.positions.size() + 1, 0);
    for (uint32_t t = 0; t < m_mesh.triangles.size(); ++t) {
      if (m_dead[t]) continue;
      for (const uint32_t v : m_mesh.triangles[t]) ++m_start[v + 1];
    }
    std::partial_sum(m_start.begin(), m_start.end(), m_start.begin());
    m_incident.resize(m_start.back());
    std::vector<uint32_t> fill(m_start.begin(), m_start.end() - 1);
    for (uint32_t t = 0; t < m_mesh.triangles.size(); ++t) {
      if (m_dead[t]) continue;
      for (const uint32_t v : m_mesh.triangles[t]) m_incident[fill[v]++] = t;
    }
  }

  // The live triangles around v; valid for a vertex not locked in this pass.
  void trianglesAround(uint32_t v, std::vector<uint32_t>& out) const {
    out.clear();
    for (uint32_t i = m_start[v]; i < m_start[v + 1]; ++i) {
      if (!m_dead[m_incident[i]]) out.push_back(m_incident[i]);
    }
  }

  [[nodiscard]] bool locked(uint32_t v) const { return m_lockedIn[v] == m_pass; }
  void lock(uint32_t v) { m_lockedIn[v] = m_pass; }

  [[nodiscard]] bool anyLocked(const std::vector<uint32_t>& triangles) const {
    for (const uint32_t t : triangles) {
      for (const uint32_t v : m_mesh.triangles[t]) {
        if (locked(v)) return true;
      }
    }
    return false;
  }
  void lockAll(const std::vector<uint32_t>& triangles) {
    for (const uint32_t t : triangles) {
      for (const uint32_t v : m_mesh.triangles[t]) lock(v);
    }
  }

  static bool contains(const Triangle& t, uint32_t v) {
    return t[0] == v || t[1] == v || t[2] == v;
  }

  // Whether the changed triangle is acceptable: either it was already a sliver and still is (a
  // later operation deals with it), or it is no sliver and faces the way its corners' normals do.
  [[nodiscard]] bool acceptable(const Triangle& before, const Triangle& after) const {
    if (area(after) < m_minimumArea) return area(before) < m_minimumArea;
    return !reversed(after);
  }

  // Merges vertex u into vertex v, which keeps its position and normal.
  bool collapse(uint32_t u, uint32_t v) {
    trianglesAround(u, m_aroundU);
    trianglesAround(v, m_aroundV);
    if (locked(u) || locked(v) || anyLocked(m_aroundU) || anyLocked(m_aroundV)) return false;
    if (m_aroundU.size() + m_aroundV.size() < 7) return false;
    std::array<uint32_t, 2> opposite{};
    int shared = 0;
    for (const uint32_t t : m_aroundU) {
      const Triangle& tri = m_mesh.triangles[t];
      if (!contains(tri, v)) continue;
      if (shared == 2) return false;
      for (const uint32_t w : tri) {
        if (w != u && w != v) opposite[shared] = w;
      }
      ++shared;
    }
    if (shared != 2 || opposite[0] == opposite[1]) return false;
    // Link condition: no neighbour in common but the two opposite corners.
    m_neighbours.clear();
    for (const uint32_t t : m_aroundV) {
      for (const uint32_t w : m_mesh.triangles[t]) {
        if (w != v) m_neighbours.push_back(w);
      }
    }
    for (const uint32_t t : m_aroundU) {
      for (const uint32_t w : m_mesh.triangles[t]) {
        if (w == u || w == v || w == opposite[0] || w == opposite[1]) continue;
        if (std::find(m_neighbours.begin(), m_neighbours.end(), w) != m_neighbours.end()) {
          return false;
        }
      }
    }
    for (const uint32_t t : m_aroundU) {
      const Triangle& before = m_mesh.triangles[t];
      if (contains(before, v)) continue;
      Triangle after = before;
      for (uint32_t& w : after) {
        if (w == u) w = v;
      }
      if (!acceptable(before, after)) return false;
    }
    lockAll(m_aroundU);
    lockAll(m_aroundV);
    for (const uint32_t t : m_aroundU) {
      Triangle& tri = m_mesh.triangles[t];
      if (contains(tri, v)) {
        m_dead[t] = 1;
        continue;
      }
      for (uint32_t& w : tri) {
        if (w == u) w = v;
      }
    }
    return true;
  }

  // Flips the edge from corner `from` to the next corner of triangle t.
  bool flip(uint32_t t, int from) {
    const Triangle tri = m_mesh.triangles[t];
    const uint32_t b = tri[from];
    const uint32_t c = tri[(from + 1) % 3];
    const uint32_t a = tri[(from + 2) % 3];
    if (locked(a) || locked(b) || locked(c)) return false;
    trianglesAround(b, m_aroundV);
    uint32_t other = 0;
    uint32_t d = 0;
    int found = 0;
    for (const uint32_t s : m_aroundV) {
      const Triangle& candidate = m_mesh.triangles[s];
      for (int k = 0; k < 3; ++k) {
        if (s != t && candidate[k] == c && candidate[(k + 1) % 3] == b) {
          other = s;
          d = candidate[(k + 2) % 3];
          ++found;
        }
      }
    }
    if (found != 1 || d == a || locked(d)) return false;
    trianglesAround(a, m_aroundU);
    for (const uint32_t s : m_aroundU) {
      if (contains(m_mesh.triangles[s], d)) return false;
    }
    const Triangle first{a, b, d};
    const Triangle second{a, d, c};
    if (0.5 * norm(areaVector(at(a), at(b), at(d))) < m_minimumArea ||
        0.5 * norm(areaVector(at(a), at(d), at(c))) < m_minimumArea || !acceptable(tri, first) ||
        !acceptable(tri, second)) {
      return false;
    }
    for (const uint32_t v : {a, b, c, d}) lock(v);
    m_mesh.triangles[t] = first;
    m_mesh.triangles[other] = second;
    return true;
  }

  // Collapses a sliver's shortest edge, or else flips its longest, or else collapses another.
  bool repair(uint32_t t) {
    const Triangle tri = m_mesh.triangles[t];
    std::array<std::pair<double, int>, 3> edges;
    for (int k = 0; k < 3; ++k) {
      const Vec3 e = at(tri[(k + 1) % 3]) - at(tri[k]);
      edges[k] = {dot(e, e), k};
    }
    std::sort(edges.begin(), edges.end());
    const auto collapseEdge = [&](int k) {
      const uint32_t p = tri[k];
      const uint32_t q = tri[(k + 1) % 3];
      return collapse(p, q) || collapse(q, p);
    };
    if (!isSliver(t)) {
      // A triangle facing the wrong way: another diagonal of the quad it forms with a neighbour
      // may fit the surface, else it goes with an edge.
      return flip(t, edges[2].second) || flip(t, edges[1].second) || flip(t, edges[0].second) ||
             collapseEdge(edges[0].second) || collapseEdge(edges[1].second) ||
             collapseEdge(edges[2].second);
    }
    return collapseEdge(edges[0].second) || flip(t, edges[2].second) ||
           collapseEdge(edges[1].second) || collapseEdge(edges[2].second);
  }

  LobeMesh& m_mesh;
  double m_minimumArea;
  std::vector<uint8_t> m_dead;
  std::vector<uint32_t> m_lockedIn;
  uint32_t m_pass = 0;
  std::vector<uint32_t> m_start;
  std::vector<uint32_t> m_incident;
  std::vector<uint32_t> m_aroundU;
  std::vector<uint32_t> m_aroundV;
  std::vector<uint32_t> m_neighbours;
};

uint32_t findRoot(std::vector<uint32_t>& parent, uint32_t v) {
  while (parent[v] != v) {
    parent[v] = parent[parent[v]];
    v = parent[v];
  }
  return v;
}

// Removes every closed piece that holds a sliver and fits in a cube of the given size.
void removeTinyPieces(LobeMesh& mesh, SliverRemoval& removal, double tinyExtent) {
  std::vector<uint32_t> parent(mesh.positions.size());
  std::iota(parent.begin(), parent.end(), 0u);
  for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
    if (removal.dead(t)) continue;
    const Triangle& tri = mesh.triangles[t];
    for (int k = 1; k < 3; ++k) {
      parent[findRoot(parent, tri[k])] = findRoot(parent, tri[0]);
    }
  }
  struct Extent {
    Vec3 low;
    Vec3 high;
    bool hasSliver = false;
    bool seen = false;
  };
  std::vector<Extent> extents(mesh.positions.size());
  for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
    if (removal.dead(t)) continue;
    Extent& e = extents[findRoot(parent, mesh.triangles[t][0])];
    e.hasSliver |= removal.isSliver(t);
    for (const uint32_t v : mesh.triangles[t]) {
      const Vec3& p = mesh.positions[v];
      if (!e.seen) e.low = e.high = p;
      e.seen = true;
      e.low = {std::min(e.low.x, p.x), std::min(e.low.y, p.y), std::min(e.low.z, p.z)};
      e.high = {std::max(e.high.x, p.x), std::max(e.high.y, p.y), std::max(e.high.z, p.z)};
    }
  }
  for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
    if (removal.dead(t)) continue;
    const Extent& e = extents[findRoot(parent, mesh.triangles[t][0])];
    const Vec3 size = e.high - e.low;
    if (e.hasSliver && std::max({size.x, size.y, size.z}) < tinyExtent) removal.kill(t);
  }
}

// Keeps the live triangles and the vertices they use, in their order.
void compact(LobeMesh& mesh, const SliverRemoval& removal) {
  std::vector<uint32_t> newIndex(mesh.positions.size(), 0);
  std::vector<Triangle> triangles;
  for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
    if (removal.dead(t)) continue;
    triangles.push_back(mesh.triangles[t]);
    for (const uint32_t v : mesh.triangles[t]) newIndex[v] = 1;
  }
  uint32_t next = 0;
  for (uint32_t v = 0; v < mesh.positions.size(); ++v) {
    if (!newIndex[v]) continue;
    newIndex[v] = next;
    mesh.positions[next] = mesh.positions[v];
    mesh.normals[next] = mesh.normals[v];
    ++next;
  }
  mesh.positions.resize(next);
  mesh.normals.resize(next);
  for (Triangle& t : triangles) {
    for (uint32_t& v : t) v = newIndex[v];
  }
  mesh.triangles = std::move(triangles);
}

}  // namespace

void removeSlivers(LobeMesh& mesh, double minimumArea, double tinyExtent) {
  SliverRemoval removal(mesh, minimumArea);
  if (removal.run()) removeTinyPieces(mesh, removal, tinyExtent);
  compact(mesh, removal);
}

}  // namespace lobewright
