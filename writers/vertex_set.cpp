#include "writers/vertex_set.h"

namespace lobewright {

bool operator<(const vertex& a, const vertex& b) {
  float d = b.x - a.x;
  if (d > kVertexTolerance) return true;
  if (d < -kVertexTolerance) return false;
  d = b.y - a.y;
  if (d > kVertexTolerance) return true;
  if (d < -kVertexTolerance) return false;
  d = b.z - a.z;
  return d > kVertexTolerance;
}

IndexedMesh::IndexedMesh()
    : m_arena(std::make_unique<std::pmr::monotonic_buffer_resource>()), m_vertices(m_arena.get()) {}

IndexedMesh::IndexedMesh(IndexedMesh&& other) noexcept
    : m_arena(std::move(other.m_arena)),
      m_vertices(std::move(other.m_vertices)),
      m_nextIndex(other.m_nextIndex),
      m_cornerLists(std::move(other.m_cornerLists)) {}

// m_vertices is left undestroyed on purpose: m_arena frees its nodes.
IndexedMesh::~IndexedMesh() {}

int32_t IndexedMesh::addVertex(const Point& point) {
  const auto [stored, inserted] = m_vertices.insert({point.x, point.y, point.z, m_nextIndex});
  if (inserted) ++m_nextIndex;
  return stored->index;
}

void IndexedMesh::addTriangle(LobeSign sign, const SurfaceTriangle& triangle, bool exchanged) {
  const int32_t apex = addVertex(triangle.apex);
  const int32_t second = addVertex(triangle.second);
  const int32_t third = addVertex(triangle.third);
  CornerLists& lists = m_cornerLists[static_cast<int>(sign)];
  lists[0].push_back(apex);
  lists[1].push_back(exchanged ? third : second);
  lists[2].push_back(exchanged ? second : third);
}

int64_t IndexedMesh::triangleCount() const {
  return static_cast<int64_t>(m_cornerLists[0][0].size() + m_cornerLists[1][0].size());
}

}  // namespace lobewright
