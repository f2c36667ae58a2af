#include "surface/sweep_planes.h"

#include <array>

#include "surface/polygonizer.h"

namespace lobewright {
namespace {

// How far past a plane or layer the evaluations of its crossing points reach: the far end of an
// edge plus the gradient's step.
constexpr float kEdgeReach = 1.0f + 2 * kGradientStep;

// Bisects an edge whose end b is known to be of class endAbove. Tracking that class instead of
// evaluating b again gives the same bracket as the literal bisection with half the evaluations.
template <class Field>
Point bisect(const Field& field, float threshold, int accuracy, Point a, Point b, bool endAbove) {
  for (int step = 0; step < accuracy; ++step) {
    const Point m = midpoint(a, b);
    if (aboveThreshold(field.valueAt(m.x, m.y, m.z), threshold) == endAbove) {
      b = m;
    } else {
      a = m;
    }
  }
  return midpoint(a, b);
}

}  // namespace

SweepPlanes::SweepPlanes(const ReachField& field, float threshold, int accuracy,
                         const GridBounds& bounds)
    : m_field(field),
      m_threshold(threshold),
      m_accuracy(accuracy),
      m_bounds(bounds),
      m_nx(static_cast<int32_t>(static_cast<int64_t>(bounds.xHigh) - bounds.xLow)),
      m_ny(static_cast<int32_t>(static_cast<int64_t>(bounds.yHigh) - bounds.yLow)),
      m_nz(static_cast<int32_t>(static_cast<int64_t>(bounds.zHigh) - bounds.zLow)) {}

Point SweepPlanes::gridPoint(int32_t ix, int32_t iy, int32_t k) const {
  return {static_cast<float>(static_cast<int64_t>(m_bounds.xLow) + ix),
          static_cast<float>(static_cast<int64_t>(m_bounds.yLow) + iy),
          static_cast<float>(static_cast<int64_t>(m_bounds.zLow) + k)};
}

CrossingPoint SweepPlanes::crossEdge(const AtomListField& field, Point a, Point b,
                                     bool endAbove) const {
  CrossingPoint crossing;
  crossing.position = bisect(field, m_threshold, m_accuracy, a, b, endAbove);
  const Point& p = crossing.position;
  crossing.value = field.valueAt(p.x, p.y, p.z);
  crossing.gradient = forwardGradient(field, p, crossing.value);
  return crossing;
}

GridPlane SweepPlanes::computePlane(int32_t k, int64_t& evaluations) const {
  const int32_t stride = m_ny + 1;
  GridPlane plane;
  plane.above.resize(static_cast<std::size_t>(m_nx + 1) * stride);
  plane.xEdges.assign(static_cast<std::size_t>(m_nx) * stride, kNoCrossing);
  plane.yEdges.assign(static_cast<std::size_t>(m_nx + 1) * m_ny, kNoCrossing);
  std::vector<int16_t> rowAtoms;
  std::vector<int16_t> backAtoms;
  // Each row of grid points along y, with its edges along y and the edges along x that join it to
  // the row before.
  for (int32_t ix = 0; ix <= m_nx; ++ix) {
    const Point rowStart = gridPoint(ix, 0, k);
    const float zReach = rowStart.z + kGradientStep;
    m_field.atomsNear(rowStart.x, rowStart.x + kGradientStep, rowStart.z, zReach, rowAtoms);
    const AtomListField row(m_field, rowAtoms, evaluations);
    uint8_t* above = &plane.above[static_cast<std::size_t>(ix) * stride];
    for (int32_t iy = 0; iy <= m_ny; ++iy) {
      const Point p = gridPoint(ix, iy, k);
      above[iy] = aboveThreshold(row.valueAt(p.x, p.y, p.z), m_threshold);
    }
    for (int32_t iy = 0; iy < m_ny; ++iy) {
      if (above[iy] == above[iy + 1]) continue;
      plane.yEdges[static_cast<std::size_t>(ix) * m_ny + iy] =
          static_cast<int32_t>(plane.points.size());
      plane.points.push_back(
          crossEdge(row, gridPoint(ix, iy, k), gridPoint(ix, iy + 1, k), above[iy + 1]));
    }
    if (ix == 0) continue;
    const uint8_t* previous = above - stride;
    m_field.atomsNear(rowStart.x - 1.0f, rowStart.x + kGradientStep, rowStart.z, zReach,
                      backAtoms);
    const AtomListField back(m_field, backAtoms, evaluations);
    for (int32_t iy = 0; iy <= m_ny; ++iy) {
      if (previous[iy] == above[iy]) continue;
      plane.xEdges[static_cast<std::size_t>(ix - 1) * stride + iy] =
          static_cast<int32_t>(plane.points.size());
      plane.points.push_back(
          crossEdge(back, gridPoint(ix - 1, iy, k), gridPoint(ix, iy, k), above[iy]));
    }
  }
  return plane;
}

GridLayer SweepPlanes::computeLayer(int32_t k, const GridPlane& bottom, const GridPlane& top,
                                    int64_t& evaluations) const {
  const int32_t stride = m_ny + 1;
  GridLayer layer;
  layer.zEdges.assign(static_cast<std::size_t>(m_nx + 1) * stride, kNoCrossing);
  std::vector<int16_t> atoms;
  for (int32_t ix = 0; ix <= m_nx; ++ix) {
    const std::size_t row = static_cast<std::size_t>(ix) * stride;
    const Point rowStart = gridPoint(ix, 0, k);
    m_field.atomsNear(rowStart.x, rowStart.x + kGradientStep, rowStart.z,
                      rowStart.z + kEdgeReach, atoms);
    const AtomListField field(m_field, atoms, evaluations);
    for (int32_t iy = 0; iy <= m_ny; ++iy) {
      if (bottom.above[row + iy] == top.above[row + iy]) continue;
      layer.zEdges[row + iy] = static_cast<int32_t>(layer.points.size());
      layer.points.push_back(
          crossEdge(field, gridPoint(ix, iy, k), gridPoint(ix, iy, k + 1), top.above[row + iy]));
    }
  }
  return layer;
}

void SweepPlanes::assembleLayer(const GridPlane& bottom, const GridPlane& top,
                                const GridLayer& layer,
                                std::vector<ShadedTriangle>& triangles) const {
  const int32_t stride = m_ny + 1;
  const auto xEdge = [&](const GridPlane& plane, int32_t ix, int32_t iy) -> const CrossingPoint* {
    const int32_t at = plane.xEdges[static_cast<std::size_t>(ix) * stride + iy];
    return at == kNoCrossing ? nullptr : &plane.points[at];
  };
  const auto yEdge = [&](const GridPlane& plane, int32_t ix, int32_t iy) -> const CrossingPoint* {
    const int32_t at = plane.yEdges[static_cast<std::size_t>(ix) * m_ny + iy];
    return at == kNoCrossing ? nullptr : &plane.points[at];
  };
  const auto zEdge = [&](int32_t ix, int32_t iy) -> const CrossingPoint* {
    const int32_t at = layer.zEdges[static_cast<std::size_t>(ix) * stride + iy];
    return at == kNoCrossing ? nullptr : &layer.points[at];
  };
  std::array<const CrossingPoint*, kCubeEdgeCount> crossings{};
  for (int32_t ix = 0; ix < m_nx; ++ix) {
    for (int32_t iy = 0; iy < m_ny; ++iy) {
      // The cube's edges in the order of the edge table.
      const std::array<const CrossingPoint*, kCubeEdgeCount> edges{
          xEdge(bottom, ix, iy),     yEdge(bottom, ix, iy),     zEdge(ix, iy),
          yEdge(bottom, ix + 1, iy), zEdge(ix + 1, iy),         xEdge(bottom, ix, iy + 1),
          zEdge(ix, iy + 1),         zEdge(ix + 1, iy + 1),     xEdge(top, ix, iy),
          yEdge(top, ix, iy),        yEdge(top, ix + 1, iy),    xEdge(top, ix, iy + 1)};
      int count = 0;
      for (const CrossingPoint* edge : edges) {
        if (edge != nullptr) crossings[count++] = edge;
      }
      if (count < 3) continue;
      const CrossingPoint& apex = *crossings[0];
      for (int n = 1; n < count - 1; ++n) {
        for (int i = n + 1; i < count; ++i) {
          const CrossingPoint& second = *crossings[n];
          const CrossingPoint& third = *crossings[i];
          if (!sharesFaceAwayFromApex(apex.position, second.position, third.position)) continue;
          triangles.push_back(
              {{apex.position, second.position, third.position, apex.value},
               {apex.gradient, second.gradient, third.gradient}});
        }
      }
    }
  }
}

}  // namespace lobewright
