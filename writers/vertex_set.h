#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <set>
#include <vector>

#include "input/point.h"
#include "mesh/surface_triangle.h"

namespace lobewright {

// Corners closer than this on every axis are one point of the script.
inline constexpr float kVertexTolerance = 0.001f;

// A surface point with its 1-based point number. The number takes no part in the ordering.
struct vertex {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  int32_t index = 0;
};

// x first, then y, then z, each axis deciding only when the two differ by more than the
// tolerance. Points within the tolerance on all three axes are equivalent; that equivalence is
// not transitive, so which points merge follows std::set's own insertion procedure.
[[nodiscard]] bool operator<(const vertex& a, const vertex& b);

// The shared-vertex mesh of the script output: every distinct corner once, numbered in order of
// first insertion, and for each lobe the point numbers of its triangles' first, second and third
// corners (entry t of the three lists is triangle t).
class IndexedMesh {
 public:
  using CornerLists = std::array<std::vector<int32_t>, 3>;
  using VertexSet = std::pmr::set<vertex>;

  IndexedMesh();
  // Takes the other mesh's points with their arena; the other may then only be destroyed.
  IndexedMesh(IndexedMesh&& other) noexcept;
  ~IndexedMesh();
  IndexedMesh& operator=(IndexedMesh&&) = delete;

  // The number of an equivalent point already stored (whose coordinates stay as they are), or
  // the next number for a new point.
  int32_t addVertex(const Point& point);

  // The corners are numbered apex, second, third, whatever the winding; `exchanged` writes the
  // third corner before the second.
  void addTriangle(LobeSign sign, const SurfaceTriangle& triangle, bool exchanged);

  [[nodiscard]] const VertexSet& vertices() const { return m_vertices; }
  [[nodiscard]] const CornerLists& cornerLists(LobeSign sign) const {
    return m_cornerLists[static_cast<int>(sign)];
  }
  [[nodiscard]] int32_t nextIndex() const { return m_nextIndex; }
  [[nodiscard]] int64_t triangleCount() const;

 private:
  // The points live in an arena that gives all of them back at once. A fine grid's script has
  // a million points, and handing them back one by one took a good part of a second, which a
  // stopped run had to wait for. The set itself is therefore never destroyed: its destructor
  // would only visit every node to return it to the arena.
  std::unique_ptr<std::pmr::monotonic_buffer_resource> m_arena;
  union {
    VertexSet m_vertices;
  };
  int32_t m_nextIndex = 1;
  std::array<CornerLists, 2> m_cornerLists;
};

}  // namespace lobewright
