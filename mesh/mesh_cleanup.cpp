#include "mesh/mesh_cleanup.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "mesh/lobe_edits.h"

namespace lobewright {
namespace {

using Triangle = LobeEdits::Triangle;

// The slivers, smallest first, then the triangles that face the wrong way.
std::vector<std::pair<double, uint32_t>> findFaulty(const LobeEdits& edits, double minimumArea) {
  std::vector<std::pair<double, uint32_t>> faulty;
  const LobeMesh& mesh = edits.mesh();
  for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
    if (edits.dead(t)) continue;
    const double a = edits.area(mesh.triangles[t]);
    if (a < minimumArea) {
      faulty.emplace_back(a, t);
    } else if (edits.reversed(mesh.triangles[t])) {
      faulty.emplace_back(minimumArea + a, t);
    }
  }
  std::sort(faulty.begin(), faulty.end());
  return faulty;
}

// Collapses a sliver's shortest edge, or else flips its longest, or else collapses another.
bool repair(LobeEdits& edits, uint32_t t) {
  const Triangle tri = edits.mesh().triangles[t];
  const std::vector<Vec3>& at = edits.mesh().positions;
  std::array<std::pair<double, int>, 3> edges;
  for (int k = 0; k < 3; ++k) {
    const Vec3 e = at[tri[(k + 1) % 3]] - at[tri[k]];
    edges[k] = {dot(e, e), k};
  }
  std::sort(edges.begin(), edges.end());
  const auto collapseEdge = [&](int k) {
    const uint32_t p = tri[k];
    const uint32_t q = tri[(k + 1) % 3];
    return edits.collapse(p, q) || edits.collapse(q, p);
  };
  const auto flip = [&](int k) { return edits.flip(t, k); };
  if (!edits.isSliver(t)) {
    // A triangle facing the wrong way: another diagonal of the quad it forms with a neighbour
    // may fit the surface, else it goes with an edge.
    return flip(edges[2].second) || flip(edges[1].second) || flip(edges[0].second) ||
           collapseEdge(edges[0].second) || collapseEdge(edges[1].second) ||
           collapseEdge(edges[2].second);
  }
  return collapseEdge(edges[0].second) || flip(edges[2].second) || collapseEdge(edges[1].second) ||
         collapseEdge(edges[2].second);
}

// Repairs the faulty triangles in passes; returns whether some triangle is still a sliver.
bool repairFaulty(LobeEdits& edits, double minimumArea) {
  constexpr int kPassLimit = 64;
  for (int pass = 1; pass <= kPassLimit; ++pass) {
    edits.beginPass();
    bool changed = false;
    for (const auto& [area, t] : findFaulty(edits, minimumArea)) {
      if (!edits.dead(t)) changed |= repair(edits, t);
    }
    if (!changed) break;
  }
  for (uint32_t t = 0; t < edits.mesh().triangles.size(); ++t) {
    if (!edits.dead(t) && edits.isSliver(t)) return true;
  }
  return false;
}

uint32_t findRoot(std::vector<uint32_t>& parent, uint32_t v) {
  while (parent[v] != v) {
    parent[v] = parent[parent[v]];
    v = parent[v];
  }
  return v;
}

// The triangles of every closed piece that holds a sliver and fits in a cube of the given size.
std::vector<uint32_t> tinyPieces(const LobeEdits& edits, double tinyExtent) {
  const LobeMesh& mesh = edits.mesh();
  std::vector<uint32_t> dead;
  std::vector<uint32_t> parent(mesh.positions.size());
  std::iota(parent.begin(), parent.end(), 0u);
  for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
    if (edits.dead(t)) continue;
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
    if (edits.dead(t)) continue;
    Extent& e = extents[findRoot(parent, mesh.triangles[t][0])];
    e.hasSliver |= edits.isSliver(t);
    for (const uint32_t v : mesh.triangles[t]) {
      const Vec3& p = mesh.positions[v];
      if (!e.seen) e.low = e.high = p;
      e.seen = true;
      e.low = {std::min(e.low.x, p.x), std::min(e.low.y, p.y), std::min(e.low.z, p.z)};
      e.high = {std::max(e.high.x, p.x), std::max(e.high.y, p.y), std::max(e.high.z, p.z)};
    }
  }
  for (uint32_t t = 0; t < mesh.triangles.size(); ++t) {
    if (edits.dead(t)) continue;
    const Extent& e = extents[findRoot(parent, mesh.triangles[t][0])];
    const Vec3 size = e.high - e.low;
    if (e.hasSliver && std::max({size.x, size.y, size.z}) < tinyExtent) dead.push_back(t);
  }
  return dead;
}

}  // namespace

void removeSlivers(LobeMesh& mesh, double minimumArea, double tinyExtent) {
  LobeEdits edits(mesh, minimumArea);
  if (repairFaulty(edits, minimumArea)) {
    for (const uint32_t t : tinyPieces(edits, tinyExtent)) edits.kill(t);
  }
  edits.compact();
}

}  // namespace lobewright
