#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "mesh/cube_tetrahedra.h"
#include "mesh/edge_crossing.h"
#include "mesh/grid_box.h"
#include "orbital/field_sample.h"

namespace lobewright {

inline constexpr uint32_t kNoVertex = std::numeric_limits<uint32_t>::max();
inline constexpr int kLobeCount = 2;  // 0: positive, 1: negative
inline constexpr int kPlaneSlots = 3;
inline constexpr int kLayerSlots = 4;

// The points of one grid row that have slots for their edges: from `first` to `end` (exclusive),
// their slots from `offset` on. Only points near a lobe have them.
struct RowSpan {
  int32_t first = 0;
  int32_t end = 0;
  std::size_t offset = 0;
};

// The first and the last point of a grid row that lie in a lobe; first > last when none does.
struct RowExtent {
  int32_t first = 0;
  int32_t last = -1;
};

// A lobe's vertices on a set of grid edges, and per edge slot the index of the vertex on that
// edge (kNoVertex where the lobe does not cross it).
struct LobeCrossings {
  std::vector<uint32_t> vertexOfEdge;
  std::vector<MeshVertex> vertices;
};

// Storage a piece of the sweep reuses: its crossing searches and their points and results.
struct SweepScratch {
  std::vector<CrossingSearch> searches;
  CrossingScratch crossings;
};

// One plane of grid points, points numbered x fastest: their values (NaN where a bound showed
// that no lobe is near and the value was not needed), which lobes hold them (bit 0 positive,
// bit 1 negative), the extent of the lobes in each row, and the crossings on the edges that lie
// in the plane, three slots per point of the row spans in the directions x, y and x + y.
struct SweepPlane {
  std::vector<double> values;
  std::vector<uint8_t> inside;
  std::vector<RowExtent> extents;
  std::vector<RowSpan> spans;
  std::array<LobeCrossings, kLobeCount> lobes;
  SweepScratch scratch;
};

// The cubes between two planes: the crossings on the edges that join the planes, four slots per
// point of the lower plane's row spans in the directions z, x + z, y + z and x + y + z, and the
// lobes' triangles. A triangle's corners are references: the top two bits say whether the vertex
// belongs to the lower plane, the upper plane or this layer, the rest is its index there.
struct SweepLayer {
  std::vector<RowSpan> spans;
  std::array<LobeCrossings, kLobeCount> lobes;
  std::array<std::vector<std::array<uint32_t, 3>>, kLobeCount> triangles;
  SweepScratch scratch;
};

inline constexpr uint32_t kReferenceShift = 30;
inline constexpr uint32_t kLowerPlane = 0;
inline constexpr uint32_t kUpperPlane = 1;
inline constexpr uint32_t kThisLayer = 2;
inline constexpr uint32_t kLocalIndexMask = (1u << kReferenceShift) - 1;

// The work of the watertight mesher on the planes and layers of its grid, for any field. Each
// piece depends only on its inputs, so pieces may run on any thread; plane k lies at the grid's
// z = low + k, and layer k holds the cubes between planes k and k + 1.
//
// Grid points on the box's faces count as outside both lobes, so every lobe is closed even if the
// box were too small for its surface (the surface box makes sure it is not).
//
// The work stays near the surface: cubes of the grid and then tiles of a plane that a bound keeps
// clear of both lobes are not evaluated, the rest in squares of points at once; only the points of
// a row near a lobe's points get slots for crossings and are visited for cubes; and the crossing
// searches of a plane or a layer have their evaluations done together, a round at a time. None of
// this changes the mesh: the points skipped lie outside both lobes either way, and the searches and
// vertices are numbered as a visit of every point in order would number them.
template <SampledField F>
class IsosurfaceSweep {
 public:
  IsosurfaceSweep(const F& field, double threshold, double scale, const GridBox& box)
      : m_field(field),
        m_threshold(threshold),
        m_scale(scale),
        m_box(box),
        m_nx(box.high[0] - box.low[0]),
        m_ny(box.high[1] - box.low[1]),
        m_nz(box.high[2] - box.low[2]),
        m_stride(static_cast<std::size_t>(m_nx) + 1) {
    findClearBlocks();
  }

  [[nodiscard]] int32_t layerCount() const { return m_nz; }

  void computePlane(int32_t k, SweepPlane& plane) const {
    const std::size_t points = m_stride * (static_cast<std::size_t>(m_ny) + 1);
    plane.values.assign(points, std::numeric_limits<double>::quiet_NaN());
    plane.inside.assign(points, 0);
    plane.extents.assign(static_cast<std::size_t>(m_ny) + 1, RowExtent{});
    if (k > 0 && k < m_nz) classifyInterior(k, plane);
    // A point's edges in the plane reach its own row and the next.
    const std::size_t slots = setSpans(plane.spans, kPlaneSlots, [&](int32_t iy) {
      return iy < m_ny ? merged(plane.extents[iy], plane.extents[iy + 1]) : plane.extents[iy];
    });
    for (int lobe = 0; lobe < kLobeCount; ++lobe) {
      LobeCrossings& crossings = plane.lobes[lobe];
      crossings.vertexOfEdge.assign(slots, kNoVertex);
      crossings.vertices.clear();
      plane.scratch.searches.clear();
      const uint8_t bit = static_cast<uint8_t>(1u << lobe);
      for (int32_t iy = 0; iy <= m_ny; ++iy) {
        const RowSpan& span = plane.spans[iy];
        for (int32_t ix = span.first; ix < span.end; ++ix) {
          const std::size_t at = index(ix, iy);
          const bool in = plane.inside[at] & bit;
          const std::size_t slot =
              span.offset + kPlaneSlots * static_cast<std::size_t>(ix - span.first);
          const auto cross = [&](int direction, std::size_t other, int32_t ox, int32_t oy) {
            if (in == static_cast<bool>(plane.inside[other] & bit)) return;
            crossings.vertexOfEdge[slot + direction] =
                addSearch(plane.scratch.searches, lobe, position(ix, iy, k), plane.values[at], in,
                          position(ox, oy, k), plane.values[other]);
          };
          if (ix < m_nx) cross(0, at + 1, ix + 1, iy);
          if (iy < m_ny) cross(1, at + m_stride, ix, iy + 1);
          if (ix < m_nx && iy < m_ny) cross(2, at + m_stride + 1, ix + 1, iy + 1);
        }
      }
      findCrossings(m_field, plane.scratch.searches, crossings.vertices, plane.scratch.crossings);
    }
  }

  void computeLayer(int32_t k, const SweepPlane& lower, const SweepPlane& upper,
                    SweepLayer& layer) const {
    // A point's edges to the upper plane reach the same row and the next there.
    const auto reach = [&](int32_t iy) {
      const RowExtent both = merged(lower.extents[iy], upper.extents[iy]);
      return iy < m_ny ? merged(both, upper.extents[iy + 1]) : both;
    };
    const std::size_t slots = setSpans(layer.spans, kLayerSlots, reach);
    for (int lobe = 0; lobe < kLobeCount; ++lobe) {
      LobeCrossings& crossings = layer.lobes[lobe];
      crossings.vertexOfEdge.assign(slots, kNoVertex);
      crossings.vertices.clear();
      layer.triangles[lobe].clear();
      layer.scratch.searches.clear();
      const uint8_t bit = static_cast<uint8_t>(1u << lobe);
      for (int32_t iy = 0; iy <= m_ny; ++iy) {
        const RowSpan& span = layer.spans[iy];
        for (int32_t ix = span.first; ix < span.end; ++ix) {
          const std::size_t at = index(ix, iy);
          const bool in = lower.inside[at] & bit;
          const std::size_t slot =
              span.offset + kLayerSlots * static_cast<std::size_t>(ix - span.first);
          const auto cross = [&](int direction, std::size_t other, int32_t ox, int32_t oy) {
            if (in == static_cast<bool>(upper.inside[other] & bit)) return;
            crossings.vertexOfEdge[slot + direction] =
                addSearch(layer.scratch.searches, lobe, position(ix, iy, k), lower.values[at], in,
                          position(ox, oy, k + 1), upper.values[other]);
          };
          cross(0, at, ix, iy);
          if (ix < m_nx) cross(1, at + 1, ix + 1, iy);
          if (iy < m_ny) cross(2, at + m_stride, ix, iy + 1);
          if (ix < m_nx && iy < m_ny) cross(3, at + m_stride + 1, ix + 1, iy + 1);
        }
      }
      findCrossings(m_field, layer.scratch.searches, crossings.vertices, layer.scratch.crossings);
    }
    // A cube reaches two rows of both planes.
    for (int32_t iy = 0; iy < m_ny; ++iy) {
      const RowExtent near =
          merged(reach(iy), merged(lower.extents[iy + 1], upper.extents[iy + 1]));
      const int32_t first = std::max(0, near.first - 1);
      const int32_t last = std::min(m_nx - 1, near.last);
      for (int32_t ix = first; ix <= last; ++ix) cutCube(ix, iy, lower, upper, layer);
    }
  }

 private:
  // Tiles of this many points a side, and their quarters down to kSmallestTile, are skipped
  // whole when a bound keeps both lobes away.
  static constexpr int32_t kTile = 16;
  static constexpr int32_t kSmallestTile = 4;
  // Computed values may exceed the exact ones by rounding; a bound this far below the threshold
  // leaves room for that.
  static constexpr double kSafeFraction = 0.999;

  [[nodiscard]] std::size_t index(int32_t ix, int32_t iy) const {
    return static_cast<std::size_t>(iy) * m_stride + static_cast<std::size_t>(ix);
  }

  [[nodiscard]] Vec3 position(int32_t ix, int32_t iy, int32_t k) const {
    return gridPosition(static_cast<int64_t>(m_box.low[0]) + ix,
                        static_cast<int64_t>(m_box.low[1]) + iy,
                        static_cast<int64_t>(m_box.low[2]) + k, m_scale);
  }

  // Values and lobes of the plane's points off the box's faces.
  void classifyInterior(int32_t k, SweepPlane& plane) const {
    const std::size_t blockRow =
        static_cast<std::size_t>((k - 1) / kTile) * static_cast<std::size_t>(m_blocksY);
    for (int32_t ty = 1; ty < m_ny; ty += kTile) {
      const std::size_t block = (blockRow + static_cast<std::size_t>((ty - 1) / kTile)) *
                                static_cast<std::size_t>(m_blocksX);
      for (int32_t tx = 1; tx < m_nx; tx += kTile) {
        if (!m_clearBlocks[block + static_cast<std::size_t>((tx - 1) / kTile)]) {
          classifyTile(k, tx, ty, kTile, plane);
        }
      }
    }
  }

  // Marks the cubes of kTile^3 interior points that the bound keeps clear of both lobes, so that
  // the planes through them need not ask about their tiles one by one.
  void findClearBlocks() {
    const auto blocks = [](int32_t n) { return n > 1 ? (n - 2) / kTile + 1 : 0; };
    m_blocksX = blocks(m_nx);
    m_blocksY = blocks(m_ny);
    const int32_t blocksZ = blocks(m_nz);
    m_clearBlocks.assign(static_cast<std::size_t>(m_blocksX) * static_cast<std::size_t>(m_blocksY) *
                             static_cast<std::size_t>(blocksZ),
                         0);
    if (!m_clearBlocks.empty()) markClearBlocks({0, 0, 0}, {m_blocksX, m_blocksY, blocksZ});
  }

  // Marks the blocks from `from` up to `to` (exclusive) clear when the bound keeps the box around
  // them all clear, and otherwise looks at the two halves of the longest side. A bound over a box
  // is never below one over a box inside it, so the blocks found clear are those that the bound
  // over each block alone finds clear; far from the molecule few bounds are asked for.
  void markClearBlocks(std::array<int32_t, 3> from, std::array<int32_t, 3> to) {
    const auto first = [](int32_t block) { return 1 + block * kTile; };
    const auto last = [](int32_t block, int32_t n) {
      return std::min(n - 1, block * kTile + kTile);
    };
    if (m_field.boundOfMagnitude(position(first(from[0]), first(from[1]), first(from[2])),
                                 position(last(to[0] - 1, m_nx), last(to[1] - 1, m_ny),
                                          last(to[2] - 1, m_nz))) < kSafeFraction * m_threshold) {
      for (int32_t z = from[2]; z < to[2]; ++z) {
        for (int32_t y = from[1]; y < to[1]; ++y) {
          const std::size_t row =
              (static_cast<std::size_t>(z) * static_cast<std::size_t>(m_blocksY) +
               static_cast<std::size_t>(y)) *
              static_cast<std::size_t>(m_blocksX);
          std::fill(m_clearBlocks.begin() + static_cast<std::ptrdiff_t>(row + from[0]),
                    m_clearBlocks.begin() + static_cast<std::ptrdiff_t>(row + to[0]), uint8_t{1});
        }
      }
      return;
    }
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
      if (to[a] - from[a] > to[axis] - from[axis]) axis = a;
    }
    if (to[axis] - from[axis] == 1) return;
    const int32_t middle = from[axis] + (to[axis] - from[axis]) / 2;
    std::array<int32_t, 3> lowerTo = to;
    lowerTo[axis] = middle;
    std::array<int32_t, 3> upperFrom = from;
    upperFrom[axis] = middle;
    markClearBlocks(from, lowerTo);
    markClearBlocks(upperFrom, to);
  }

  // A square of points from (x, y) of the given size, cut off at the box's faces: skipped when
  // the bound keeps both lobes away, otherwise taken in quarters, and evaluated point by point
  // once it is small.
  void classifyTile(int32_t k, int32_t x, int32_t y, int32_t size, SweepPlane& plane) const {
    const int32_t xEnd = std::min(m_nx - 1, x + size - 1);
    const int32_t yEnd = std::min(m_ny - 1, y + size - 1);
    if (m_field.boundOfMagnitude(position(x, y, k), position(xEnd, yEnd, k)) <
        kSafeFraction * m_threshold) {
      return;
    }
    if (size > kSmallestTile) {
      const int32_t half = size / 2;
      for (int32_t qy = y; qy <= yEnd; qy += half) {
        for (int32_t qx = x; qx <= xEnd; qx += half) classifyTile(k, qx, qy, half, plane);
      }
      return;
    }
    CrossingScratch& scratch = plane.scratch.crossings;
    scratch.points.clear();
    for (int32_t iy = y; iy <= yEnd; ++iy) {
      for (int32_t ix = x; ix <= xEnd; ++ix) scratch.points.push_back(position(ix, iy, k));
    }
    scratch.values.resize(scratch.points.size());
    valuesOf(m_field, scratch.points, scratch.values);
    std::size_t next = 0;
    for (int32_t iy = y; iy <= yEnd; ++iy) {
      RowExtent& extent = plane.extents[iy];
      for (int32_t ix = x; ix <= xEnd; ++ix) {
        const std::size_t at = index(ix, iy);
        const double v = scratch.values[next++];
        plane.values[at] = v;
        plane.inside[at] =
            static_cast<uint8_t>((v > m_threshold ? 1 : 0) | (-v > m_threshold ? 2 : 0));
        if (plane.inside[at] != 0) {
          extent.first = extent.first > extent.last ? ix : std::min(extent.first, ix);
          extent.last = std::max(extent.last, ix);
        }
      }
    }
  }

  [[nodiscard]] static RowExtent merged(const RowExtent& a, const RowExtent& b) {
    if (a.first > a.last) return b;
    if (b.first > b.last) return a;
    return {std::min(a.first, b.first), std::max(a.last, b.last)};
  }

  // Gives each row the points from one before the extent `near(iy)` to its end, within the grid,
  // `slotsPerPoint` slots each, and returns the number of slots.
  template <class Near>
  std::size_t setSpans(std::vector<RowSpan>& spans, int slotsPerPoint, const Near& near) const {
    spans.resize(static_cast<std::size_t>(m_ny) + 1);
    std::size_t offset = 0;
    for (int32_t iy = 0; iy <= m_ny; ++iy) {
      const RowExtent extent = near(iy);
      RowSpan& span = spans[iy];
      span.offset = offset;
      if (extent.first > extent.last) {
        span.first = span.end = 0;
        continue;
      }
      span.first = std::max(0, extent.first - 1);
      span.end = std::min(m_nx, extent.last) + 1;
      offset +=
          static_cast<std::size_t>(slotsPerPoint) * static_cast<std::size_t>(span.end - span.first);
    }
    return offset;
  }

  // The vertex on the edge in the given direction from grid point (ix, iy), kNoVertex where none.
  [[nodiscard]] static uint32_t vertexAt(const std::vector<RowSpan>& spans,
                                         const LobeCrossings& crossings, int slotsPerPoint,
                                         int32_t ix, int32_t iy, int direction) {
    const RowSpan& span = spans[iy];
    if (ix < span.first || ix >= span.end) return kNoVertex;
    return crossings.vertexOfEdge[span.offset +
                                  static_cast<std::size_t>(slotsPerPoint) *
                                      static_cast<std::size_t>(ix - span.first) +
                                  static_cast<std::size_t>(direction)];
  }

  // The value of g = sign * value - threshold from a stored value, NaN kept.
  [[nodiscard]] double lobeValue(int lobe, double value) const {
    return (lobe == 0 ? value : -value) - m_threshold;
  }

  // Adds the search for the crossing on the edge from a to b, one end inside the lobe, and
  // returns the index its vertex will have.
  uint32_t addSearch(std::vector<CrossingSearch>& searches, int lobe, const Vec3& a, double valueA,
                     bool aInside, const Vec3& b, double valueB) const {
    const double sign = lobe == 0 ? 1.0 : -1.0;
    const auto count = searches.size();
    if (count > kLocalIndexMask) throw std::length_error("Too many surface points in one plane.");
    if (aInside) {
      searches.emplace_back(sign, m_threshold, b, lobeValue(lobe, valueB), a,
                            lobeValue(lobe, valueA));
    } else {
      searches.emplace_back(sign, m_threshold, a, lobeValue(lobe, valueA), b,
                            lobeValue(lobe, valueB));
    }
    return static_cast<uint32_t>(count);
  }

  void cutCube(int32_t ix, int32_t iy, const SweepPlane& lower, const SweepPlane& upper,
               SweepLayer& layer) const {
    const std::size_t at = index(ix, iy);
    const std::array<std::size_t, 4> square{at, at + 1, at + m_stride, at + m_stride + 1};
    std::array<uint8_t, 8> corners{};
    uint8_t any = 0;
    uint8_t all = 3;
    for (int c = 0; c < 8; ++c) {
      corners[c] = (c & 4 ? upper : lower).inside[square[c & 3]];
      any |= corners[c];
      all &= corners[c];
    }
    if (any == all) return;
    for (int lobe = 0; lobe < kLobeCount; ++lobe) {
      const uint8_t bit = static_cast<uint8_t>(1u << lobe);
      if ((any & bit) == (all & bit)) continue;
      // The vertex references of the cube's edges.
      std::array<uint32_t, kKuhnEdgeCount> edges;
      for (int e = 0; e < kKuhnEdgeCount; ++e) {
        const KuhnEdge& edge = kKuhnEdges[e];
        const int32_t bx = ix + (edge.base & 1);
        const int32_t by = iy + ((edge.base >> 1) & 1);
        if (edge.direction & 4) {
          const uint32_t v =
              vertexAt(layer.spans, layer.lobes[lobe], kLayerSlots, bx, by, edge.direction - 4);
          edges[e] = v == kNoVertex ? kNoVertex : (kThisLayer << kReferenceShift) | v;
        } else {
          const bool top = edge.base & 4;
          const SweepPlane& plane = top ? upper : lower;
          const uint32_t v =
              vertexAt(plane.spans, plane.lobes[lobe], kPlaneSlots, bx, by, edge.direction - 1);
          edges[e] = v == kNoVertex ? kNoVertex
                                    : ((top ? kUpperPlane : kLowerPlane) << kReferenceShift) | v;
        }
      }
      for (int t = 0; t < kTetrahedronCount; ++t) {
        int mask = 0;
        for (int c = 0; c < 4; ++c) {
          if (corners[kKuhnTetrahedra[t][c]] & bit) mask |= 1 << c;
        }
        const TetrahedronCut& cut = kTetrahedronCuts[mask];
        if (cut.count == 0) continue;
        std::array<uint32_t, 4> ring{};
        for (int n = 0; n < cut.count; ++n) ring[n] = edges[kTetrahedronEdges[t][cut.edges[n]]];
        auto& triangles = layer.triangles[lobe];
        if (cut.count == 3) {
          triangles.push_back({ring[0], ring[1], ring[2]});
          continue;
        }
        // A quad is split along its shorter diagonal.
        const auto at3 = [&](uint32_t reference) -> const Vec3& {
          return vertexOf(reference, lower, upper, layer, lobe).position;
        };
        const Vec3 d02 = at3(ring[2]) - at3(ring[0]);
        const Vec3 d13 = at3(ring[3]) - at3(ring[1]);
        if (dot(d02, d02) <= dot(d13, d13)) {
          triangles.push_back({ring[0], ring[1], ring[2]});
          triangles.push_back({ring[0], ring[2], ring[3]});
        } else {
          triangles.push_back({ring[1], ring[2], ring[3]});
          triangles.push_back({ring[1], ring[3], ring[0]});
        }
      }
    }
  }

  [[nodiscard]] static const MeshVertex& vertexOf(uint32_t reference, const SweepPlane& lower,
                                                  const SweepPlane& upper, const SweepLayer& layer,
                                                  int lobe) {
    const uint32_t local = reference & kLocalIndexMask;
    switch (reference >> kReferenceShift) {
      case kLowerPlane:
        return lower.lobes[lobe].vertices[local];
      case kUpperPlane:
        return upper.lobes[lobe].vertices[local];
      default:
        return layer.lobes[lobe].vertices[local];
    }
  }

  const F& m_field;
  double m_threshold;
  double m_scale;
  GridBox m_box;
  int32_t m_nx;
  int32_t m_ny;
  int32_t m_nz;
  std::size_t m_stride;
  // Per cube of kTile^3 interior points (x fastest), whether the bound keeps both lobes out.
  std::vector<uint8_t> m_clearBlocks;
  int32_t m_blocksX = 0;
  int32_t m_blocksY = 0;
};

}  // namespace lobewright
