#include "mesh/mesh_check.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace lobewright {
namespace {

struct DirectedEdge {
  uint64_t key;  // lower index in the high half
  bool forward;  // runs from the lower index to the higher

  friend bool operator<(const DirectedEdge& a, const DirectedEdge& b) {
    return a.key < b.key || (a.key == b.key && a.forward < b.forward);
  }
};

void countEdges(const LobeMesh& mesh, LobeMeshCheck& check) {
  std::vector<DirectedEdge> edges;
  edges.reserve(3 * mesh.triangles.size());
  for (const auto& t : mesh.triangles) {
    for (int k = 0; k < 3; ++k) {
      const uint32_t a = t[k];
      const uint32_t b = t[(k + 1) % 3];
      if (a == b) continue;
      const uint64_t low = std::min(a, b);
      const uint64_t high = std::max(a, b);
      edges.push_back({(low << 32) | high, a < b});
    }
  }
  std::sort(edges.begin(), edges.end());
  for (std::size_t i = 0; i < edges.size();) {
    std::size_t j = i;
    int forward = 0;
    while (j < edges.size() && edges[j].key == edges[i].key) forward += edges[j++].forward;
    const std::size_t uses = j - i;
    if (uses == 1) ++check.boundaryEdges;
    if (uses > 2) ++check.nonManifoldEdges;
    if (uses == 2 && forward != 1) ++check.misorientedEdges;
    i = j;
  }
}

// A vertex is manifold when the edges opposite it in its triangles form one closed cycle.
void countVertices(const LobeMesh& mesh, LobeMeshCheck& check) {
  const std::size_t n = mesh.positions.size();
  std::vector<uint32_t> start(n + 1, 0);
  for (const auto& t : mesh.triangles) {
    for (const uint32_t v : t) ++start[v + 1];
  }
  std::partial_sum(start.begin(), start.end(), start.begin());
  std::vector<std::array<uint32_t, 2>> opposite(start.back());
  std::vector<uint32_t> fill(start.begin(), start.end() - 1);
  for (const auto& t : mesh.triangles) {
    for (int k = 0; k < 3; ++k) opposite[fill[t[k]]++] = {t[(k + 1) % 3], t[(k + 2) % 3]};
  }
  std::vector<uint8_t> used;
  for (std::size_t v = 0; v < n; ++v) {
    const uint32_t first = start[v];
    const uint32_t count = start[v + 1] - first;
    if (count == 0) continue;
    used.assign(count, 0);
    // Walk from the first opposite edge along the fan until it closes.
    uint32_t at = 0;
    uint32_t walked = 0;
    bool closed = false;
    while (!used[at]) {
      used[at] = 1;
      ++walked;
      const uint32_t next = opposite[first + at][1];
      uint32_t found = count;
      for (uint32_t k = 0; k < count; ++k) {
        if (opposite[first + k][0] == next && !used[k]) found = k;
      }
      if (found == count) {
        closed = opposite[first][0] == next;
        break;
      }
      at = found;
    }
    if (!closed || walked != count) ++check.nonManifoldVertices;
  }
}

}  // namespace

LobeMeshCheck checkLobeMesh(const LobeMesh& mesh, double minimumArea,
                            const std::function<double(const Vec3&)>& value, double threshold) {
  LobeMeshCheck check;
  const std::size_t n = mesh.positions.size();
  LobeMesh valid;
  valid.positions = mesh.positions;
  for (const auto& t : mesh.triangles) {
    if (t[0] >= n || t[1] >= n || t[2] >= n) {
      ++check.badIndices;
      continue;
    }
    valid.triangles.push_back(t);
  }
  countEdges(valid, check);
  countVertices(valid, check);
  const Vec3 origin = n > 0 ? mesh.positions[0] : Vec3{};
  const bool haveNormals = mesh.normals.size() == n;
  for (const auto& t : valid.triangles) {
    const Vec3 a = mesh.positions[t[0]] - origin;
    const Vec3 b = mesh.positions[t[1]] - origin;
    const Vec3 c = mesh.positions[t[2]] - origin;
    const Vec3 areaVector = cross(b - a, c - a);
    if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2] || !(0.5 * norm(areaVector) > minimumArea)) {
      ++check.degenerateTriangles;
    }
    check.signedVolume += dot(a, cross(b, c)) / 6.0;
    if (haveNormals) {
      const Vec3 normals = mesh.normals[t[0]] + mesh.normals[t[1]] + mesh.normals[t[2]];
      if (!(dot(areaVector, normals) > 0.0)) ++check.reversedTriangles;
    }
  }
  if (!haveNormals) check.nonUnitNormals = static_cast<int64_t>(n);
  for (std::size_t v = 0; v < n && haveNormals; ++v) {
    if (!(std::fabs(norm(mesh.normals[v]) - 1.0) <= 1e-9)) ++check.nonUnitNormals;
  }
  if (value) {
    for (const Vec3& p : mesh.positions) {
      const double deviation = std::fabs(std::fabs(value(p)) / threshold - 1.0);
      check.largestDeviation = std::max(check.largestDeviation, deviation);
      if (std::isnan(deviation)) check.largestDeviation = deviation;
    }
  }
  return check;
}

}  // namespace lobewright
