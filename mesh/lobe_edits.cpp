#include "mesh/lobe_edits.h"

#include <algorithm>

namespace lobewright {
namespace {

// A triangle's normal scaled to twice its area.
Vec3 areaVector(const Vec3& a, const Vec3& b, const Vec3& c) { return cross(b - a, c - a); }

bool contains(const LobeEdits::Triangle& t, uint32_t v) {
  return t[0] == v || t[1] == v || t[2] == v;
}

// The corner after v in the triangle, which has v as a corner.
uint32_t following(const LobeEdits::Triangle& t, uint32_t v) {
  return t[0] == v ? t[1] : (t[1] == v ? t[2] : t[0]);
}

// A collapse's list of neighbours, kept per thread between edits, since edits may run on several
// at once.
thread_local std::vector<uint32_t> neighboursOfV;

}  // namespace

LobeEdits::LobeEdits(LobeMesh& mesh, double minimumArea)
    : m_mesh(mesh),
      m_minimumArea(minimumArea),
      m_dead(mesh.triangles.size(), 0),
      m_lockedIn(mesh.positions.size(), 0) {
  buildAround();
}

double LobeEdits::area(const Triangle& t) const {
  return 0.5 * norm(areaVector(at(t[0]), at(t[1]), at(t[2])));
}

bool LobeEdits::reversed(const Triangle& t) const {
  const Vec3 normals = m_mesh.normals[t[0]] + m_mesh.normals[t[1]] + m_mesh.normals[t[2]];
  return !(dot(areaVector(at(t[0]), at(t[1]), at(t[2])), normals) > 0.0);
}

std::size_t LobeEdits::liveTriangles() const {
  return static_cast<std::size_t>(std::count(m_dead.begin(), m_dead.end(), 0));
}

void LobeEdits::buildAround() {
  // Each list is made once, with room for the few triangles a collapse may bring.
  constexpr std::size_t kRoom = 4;
  std::vector<uint32_t> counts(m_mesh.positions.size(), 0);
  for (uint32_t t = 0; t < m_mesh.triangles.size(); ++t) {
    if (m_dead[t]) continue;
    for (const uint32_t v : m_mesh.triangles[t]) ++counts[v];
  }
  m_around.assign(m_mesh.positions.size(), {});
  for (std::size_t v = 0; v < counts.size(); ++v) m_around[v].reserve(counts[v] + kRoom);
  for (uint32_t t = 0; t < m_mesh.triangles.size(); ++t) {
    if (m_dead[t]) continue;
    for (const uint32_t v : m_mesh.triangles[t]) m_around[v].push_back(t);
  }
}

void LobeEdits::removeAround(uint32_t v, uint32_t t) {
  std::vector<uint32_t>& around = m_around[v];
  around.erase(std::remove(around.begin(), around.end(), t), around.end());
}

void LobeEdits::kill(uint32_t t) {
  m_dead[t] = 1;
  for (const uint32_t v : m_mesh.triangles[t]) removeAround(v, t);
}

void LobeEdits::neighbours(uint32_t v, std::vector<uint32_t>& out) const {
  out.clear();
  for (const uint32_t t : m_around[v]) out.push_back(following(m_mesh.triangles[t], v));
}

bool LobeEdits::anyLocked(const std::vector<uint32_t>& triangles) const {
  if (!m_locking) return false;
  for (const uint32_t t : triangles) {
    for (const uint32_t v : m_mesh.triangles[t]) {
      if (locked(v)) return true;
    }
  }
  return false;
}

void LobeEdits::lockAll(const std::vector<uint32_t>& triangles) {
  if (!m_locking) return;
  for (const uint32_t t : triangles) {
    for (const uint32_t v : m_mesh.triangles[t]) lock(v);
  }
}

bool LobeEdits::acceptable(const Triangle& before, const Triangle& after) const {
  if (area(after) < m_minimumArea) return area(before) < m_minimumArea;
  return !reversed(after);
}

LobeEdits::Collapse LobeEdits::collapseWithin(uint32_t u, uint32_t v, const Region& region) {
  constexpr Collapse kRefused = Collapse::refused;
  const std::vector<uint32_t>& aroundU = m_around[u];
  std::vector<uint32_t>& aroundV = m_around[v];
  if (region.slabs != nullptr) {
    for (const uint32_t end : {u, v}) {
      for (const uint32_t t : m_around[end]) {
        for (const uint32_t w : m_mesh.triangles[t]) {
          if ((*region.slabs)[w] != region.slab) return Collapse::outsideRegion;
        }
      }
    }
  }
  if (locked(u) || locked(v) || anyLocked(aroundU) || anyLocked(aroundV)) return kRefused;
  if (aroundU.size() + aroundV.size() < 7) return kRefused;
  // The two triangles of the edge, and their corners opposite it.
  std::array<uint32_t, 2> shared{};
  std::array<uint32_t, 2> opposite{};
  int sharedCount = 0;
  for (const uint32_t t : aroundU) {
    const Triangle& tri = m_mesh.triangles[t];
    if (!contains(tri, v)) continue;
    if (sharedCount == 2) return kRefused;
    for (const uint32_t w : tri) {
      if (w != u && w != v) opposite[sharedCount] = w;
    }
    shared[sharedCount++] = t;
  }
  if (sharedCount != 2 || opposite[0] == opposite[1]) return kRefused;
  // Link condition: no neighbour in common but the two opposite corners.
  neighbours(v, neighboursOfV);
  for (const uint32_t t : aroundU) {
    const uint32_t w = following(m_mesh.triangles[t], u);
    if (w == v || w == opposite[0] || w == opposite[1]) continue;
    if (std::find(neighboursOfV.begin(), neighboursOfV.end(), w) != neighboursOfV.end()) {
      return kRefused;
    }
  }
  for (const uint32_t t : aroundU) {
    const Triangle& before = m_mesh.triangles[t];
    if (contains(before, v)) continue;
    Triangle after = before;
    for (uint32_t& w : after) {
      if (w == u) w = v;
    }
    if (!acceptable(before, after)) return kRefused;
  }
  lockAll(aroundU);
  lockAll(aroundV);
  // The two triangles of the edge die; u's others become v's.
  std::erase_if(aroundV, [&](uint32_t t) { return contains(m_mesh.triangles[t], u); });
  for (const uint32_t t : aroundU) {
    Triangle& tri = m_mesh.triangles[t];
    if (contains(tri, v)) {
      m_dead[t] = 1;
      continue;
    }
    for (uint32_t& w : tri) {
      if (w == u) w = v;
    }
    aroundV.push_back(t);
  }
  for (int k = 0; k < 2; ++k) removeAround(opposite[k], shared[k]);
  m_around[u].clear();
  return Collapse::made;
}

bool LobeEdits::flip(uint32_t t, int from) {
  const Triangle tri = m_mesh.triangles[t];
  const uint32_t b = tri[from];
  const uint32_t c = tri[(from + 1) % 3];
  const uint32_t a = tri[(from + 2) % 3];
  if (locked(a) || locked(b) || locked(c)) return false;
  uint32_t other = 0;
  uint32_t d = 0;
  int found = 0;
  for (const uint32_t s : m_around[b]) {
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
  for (const uint32_t s : m_around[a]) {
    if (contains(m_mesh.triangles[s], d)) return false;
  }
  const Triangle first{a, b, d};
  const Triangle second{a, d, c};
  if (area(first) < m_minimumArea || area(second) < m_minimumArea || !acceptable(tri, first) ||
      !acceptable(tri, second)) {
    return false;
  }
  for (const uint32_t v : {a, b, c, d}) lock(v);
  m_mesh.triangles[t] = first;
  m_mesh.triangles[other] = second;
  removeAround(c, t);
  m_around[d].push_back(t);
  removeAround(b, other);
  m_around[a].push_back(other);
  return true;
}

void LobeEdits::compact() {
  // The edits' lists go first, and the arrays are made to size, so that a lobe of millions of
  // triangles does not hold them twice.
  m_around = {};
  m_lockedIn = {};
  std::vector<uint32_t> newIndex(m_mesh.positions.size(), 0);
  std::vector<Triangle> triangles;
  triangles.reserve(liveTriangles());
  for (uint32_t t = 0; t < m_mesh.triangles.size(); ++t) {
    if (m_dead[t]) continue;
    triangles.push_back(m_mesh.triangles[t]);
    for (const uint32_t v : m_mesh.triangles[t]) newIndex[v] = 1;
  }
  m_dead = {};
  m_mesh.triangles = std::move(triangles);
  uint32_t next = 0;
  for (uint32_t v = 0; v < m_mesh.positions.size(); ++v) {
    if (!newIndex[v]) continue;
    newIndex[v] = next;
    m_mesh.positions[next] = m_mesh.positions[v];
    m_mesh.normals[next] = m_mesh.normals[v];
    ++next;
  }
  m_mesh.positions.resize(next);
  m_mesh.positions.shrink_to_fit();
  m_mesh.normals.resize(next);
  m_mesh.normals.shrink_to_fit();
  for (Triangle& t : m_mesh.triangles) {
    for (uint32_t& v : t) v = newIndex[v];
  }
}

}  // namespace lobewright
