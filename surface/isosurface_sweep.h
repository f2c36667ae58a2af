#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "surface/cube_tetrahedra.h"
#include "surface/edge_crossing.h"
#include "surface/field_sample.h"
#include "surface/grid_box.h"

namespace lobewright {

inline constexpr uint32_t kNoVertex = std::numeric_limits<uint32_t>::max();
inline constexpr int kLobeCount = 2;  // 0: positive, 1: negative

// A lobe's vertices on a set of grid edges, and per grid point and edge direction the index of
// the vertex on that edge (kNoVertex where the lobe does not cross it).
struct LobeCrossings {
  std::vector<uint32_t> vertexOfEdge;
  std::vector<MeshVertex> vertices;
};

// One plane of grid points, points numbered x fastest: their values (NaN where a bound showed
// that no lobe is near and the value was not needed), which lobes hold them (bit 0 positive,
// bit 1 negative), and the crossings on the edges that lie in the plane, three per point in the
// directions x, y and x + y.
struct SweepPlane {
  std::vector<double> values;
  std::vector<uint8_t> inside;
  std::array<LobeCrossings, kLobeCount> lobes;
};

// The cubes between two planes: the crossings on the edges that join the planes, four per point
// of the lower plane in the directions z, x + z, y + z and x + y + z, and the lobes' triangles.
// A triangle's corners are references: the top two bits say whether the vertex belongs to the
// lower plane, the upper plane or this layer, the rest is its index there.
struct SweepLayer {
  std::array<LobeCrossings, kLobeCount> lobes;
  std::array<std::vector<std::array<uint32_t, 3>>, kLobeCount> triangles;
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
        m_stride(static_cast<std::size_t>(m_nx) + 1) {}

  [[nodiscard]] int32_t layerCount() const { return m_nz; }

  void computePlane(int32_t k, SweepPlane& plane) const {
    const std::size_t points = m_stride * (static_cast<std::size_t>(m_ny) + 1);
    plane.values.assign(points, std::numeric_limits<double>::quiet_NaN());
    plane.inside.assign(points, 0);
    if (k > 0 && k < m_nz) classifyInterior(k, plane);
    for (int lobe = 0; lobe < kLobeCount; ++lobe) {
      LobeCrossings& crossings = plane.lobes[lobe];
      crossings.vertexOfEdge.assign(3 * points, kNoVertex);
      crossings.vertices.clear();
      const uint8_t bit = static_cast<uint8_t>(1u << lobe);
      for (int32_t iy = 0; iy <= m_ny; ++iy) {
        for (int32_t ix = 0; ix <= m_nx; ++ix) {
          const std::size_t at = index(ix, iy);
          const bool in = plane.inside[at] & bit;
          const auto cross = [&](int slot, std::size_t other, int32_t ox, int32_t oy) {
            if (in == static_cast<bool>(plane.inside[other] & bit)) return;
            crossings.vertexOfEdge[3 * at + slot] =
                addCrossing(crossings, lobe, position(ix, iy, k), plane.values[at], in,
                            position(ox, oy, k), plane.values[other]);
          };
          if (ix < m_nx) cross(0, at + 1, ix + 1, iy);
          if (iy < m_ny) cross(1, at + m_stride, ix, iy + 1);
          if (ix < m_nx && iy < m_ny) cross(2, at + m_stride + 1, ix + 1, iy + 1);
        }
      }
    }
  }

  void computeLayer(int32_t k, const SweepPlane& lower, const SweepPlane& upper,
                    SweepLayer& layer) const {
    const std::size_t points = m_stride * (static_cast<std::size_t>(m_ny) + 1);
    for (int lobe = 0; lobe < kLobeCount; ++lobe) {
      LobeCrossings& crossings = layer.lobes[lobe];
      crossings.vertexOfEdge.assign(4 * points, kNoVertex);
      crossings.vertices.clear();
      layer.triangles[lobe].clear();
      const uint8_t bit = static_cast<uint8_t>(1u << lobe);
      for (int32_t iy = 0; iy <= m_ny; ++iy) {
        for (int32_t ix = 0; ix <= m_nx; ++ix) {
          const std::size_t at = index(ix, iy);
          const bool in = lower.inside[at] & bit;
          const auto cross = [&](int slot, std::size_t other, int32_t ox, int32_t oy) {
            if (in == static_cast<bool>(upper.inside[other] & bit)) return;
            crossings.vertexOfEdge[4 * at + slot] =
                addCrossing(crossings, lobe, position(ix, iy, k), lower.values[at], in,
                            position(ox, oy, k + 1), upper.values[other]);
          };
          cross(0, at, ix, iy);
          if (ix < m_nx) cross(1, at + 1, ix + 1, iy);
          if (iy < m_ny) cross(2, at + m_stride, ix, iy + 1);
          if (ix < m_nx && iy < m_ny) cross(3, at + m_stride + 1, ix + 1, iy + 1);
        }
      }
    }
    for (int32_t iy = 0; iy < m_ny; ++iy) {
      for (int32_t ix = 0; ix < m_nx; ++ix) cutCube(ix, iy, lower, upper, layer);
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
    for (int32_t ty = 1; ty < m_ny; ty += kTile) {
      for (int32_t tx = 1; tx < m_nx; tx += kTile) classifyTile(k, tx, ty, kTile, plane);
    }
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
    for (int32_t iy = y; iy <= yEnd; ++iy) {
      for (int32_t ix = x; ix <= xEnd; ++ix) {
        const std::size_t at = index(ix, iy);
        const double v = m_field.valueAt(position(ix, iy, k));
        plane.values[at] = v;
        plane.inside[at] =
            static_cast<uint8_t>((v > m_threshold ? 1 : 0) | (-v > m_threshold ? 2 : 0));
      }
    }
  }

  // The value of g = sign * value - threshold from a stored value, NaN kept.
  [[nodiscard]] double lobeValue(int lobe, double value) const {
    return (lobe == 0 ? value : -value) - m_threshold;
  }

  // Adds the crossing on the edge from a to b, one end inside the lobe, and returns its index.
  uint32_t addCrossing(LobeCrossings& crossings, int lobe, const Vec3& a, double valueA,
                       bool aInside, const Vec3& b, double valueB) const {
    const double sign = lobe == 0 ? 1.0 : -1.0;
    const auto count = crossings.vertices.size();
    if (count > kLocalIndexMask) throw std::length_error("Too many surface points in one plane.");
    if (aInside) {
      crossings.vertices.push_back(findCrossing(
          m_field, sign, m_threshold, b, lobeValue(lobe, valueB), a, lobeValue(lobe, valueA)));
    } else {
      crossings.vertices.push_back(findCrossing(
          m_field, sign, m_threshold, a, lobeValue(lobe, valueA), b, lobeValue(lobe, valueB)));
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
        const std::size_t base = square[edge.base & 3];
        if (edge.direction & 4) {
          const uint32_t v = layer.lobes[lobe].vertexOfEdge[4 * base + (edge.direction - 4)];
          edges[e] = v == kNoVertex ? kNoVertex : (kThisLayer << kReferenceShift) | v;
        } else {
          const bool top = edge.base & 4;
          const uint32_t v =
              (top ? upper : lower).lobes[lobe].vertexOfEdge[3 * base + (edge.direction - 1)];
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
};

}  // namespace lobewright
