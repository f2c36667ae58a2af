#include "mesh/sweep_planes.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "mesh/polygonizer.h"
#include "mesh/sweep_control.h"

namespace lobewright {
namespace {

// Grid points along y summed over one list of atoms.
constexpr int64_t kBlockLength = 16;
// A plane's crossings are counted in int32_t; a plane has fewer than twice as many edges as
// points.
constexpr int64_t kMostPlanePoints = std::numeric_limits<int32_t>::max() / 2;

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
                         const GridBounds& bounds, std::stop_token stop)
    : m_field(field),
      m_stop(std::move(stop)),
      m_threshold(threshold),
      m_accuracy(accuracy),
      m_bounds(bounds),
      m_nx(static_cast<int64_t>(bounds.xHigh) - bounds.xLow),
      m_ny(static_cast<int64_t>(bounds.yHigh) - bounds.yLow),
      m_nz(static_cast<int64_t>(bounds.zHigh) - bounds.zLow),
      m_stride(hasCubes() ? static_cast<std::size_t>(m_ny + 1) : 0) {
  if (hasCubes() && m_nx + 1 > kMostPlanePoints / (m_ny + 1)) {
    throw std::length_error("a grid plane with more points than the sweep can count");
  }
}

void SweepPlanes::throwIfStopped() const {
  if (m_stop.stop_requested()) throw SweepCancelled{};
}

Point SweepPlanes::gridPoint(int64_t ix, int64_t iy, int64_t k) const {
  return {static_cast<float>(m_bounds.xLow + ix), static_cast<float>(m_bounds.yLow + iy),
          static_cast<float>(m_bounds.zLow + k)};
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

bool SweepPlanes::surelyBelowThreshold(const Point& low, const Point& high,
                                       const std::vector<int16_t>& atoms) const {
  // The computed sums may exceed the exact ones by a few units in the last place per term; a
  // bound this far below the threshold leaves room for far more than that.
  constexpr double kSafeFraction = 0.999;
  return m_threshold > 0.0f &&
         m_field.boundOfMagnitude(low, high, atoms) < kSafeFraction * m_threshold;
}

void SweepPlanes::computePlane(int64_t k, GridPlane& plane, int64_t& evaluations) const {
  const std::size_t stride = m_stride;
  const auto nx = static_cast<std::size_t>(m_nx);
  const auto ny = static_cast<std::size_t>(m_ny);
  // Every entry is written below, so a plane's storage serves again without clearing.
  plane.above.resize((nx + 1) * stride);
  plane.xEdges.resize(nx * stride);
  plane.yEdges.resize((nx + 1) * ny);
  plane.points.clear();
  std::vector<int16_t> rowAtoms;
  std::vector<int16_t> blockAtoms;
  std::vector<int16_t> backAtoms;
  std::array<float, kBlockLength> ys;
  std::array<float, kBlockLength> values;
  const Point shift{kGradientStep, kGradientStep, kGradientStep};
  // Each row of grid points along y, with its edges along y and the edges along x that join it to
  // the row before.
  for (int64_t ix = 0; ix <= m_nx; ++ix) {
    const Point rowStart = gridPoint(ix, 0, k);
    const Point rowEnd = gridPoint(ix, m_ny, k);
    m_field.atomsNear(rowStart, rowEnd + shift, rowAtoms);
    const AtomListField row(m_field, rowAtoms, evaluations);
    uint8_t* above = &plane.above[static_cast<std::size_t>(ix) * stride];
    // The grid points in short runs along y, each run summed over the atoms that reach it.
    for (int64_t blockStart = 0; blockStart <= m_ny; blockStart += kBlockLength) {
      throwIfStopped();
      const int64_t blockEnd = std::min(m_ny, blockStart + kBlockLength - 1);
      const Point blockLow = gridPoint(ix, blockStart, k);
      const Point blockHigh = gridPoint(ix, blockEnd, k);
      m_field.atomsNear(blockLow, blockHigh, rowAtoms, blockAtoms);
      const int count = static_cast<int>(blockEnd - blockStart + 1);
      if (surelyBelowThreshold(blockLow, blockHigh, blockAtoms)) {
        std::fill(above + blockStart, above + blockEnd + 1, false);
        continue;
      }
      for (int p = 0; p < count; ++p) ys[p] = gridPoint(ix, blockStart + p, k).y;
      m_field.valuesAlongY(blockAtoms, rowStart.x, ys.data(), rowStart.z, count, values.data());
      evaluations += count;
      for (int p = 0; p < count; ++p) {
        above[blockStart + p] = aboveThreshold(values[p], m_threshold);
      }
    }
    int32_t* yEdges = &plane.yEdges[static_cast<std::size_t>(ix) * ny];
    for (int64_t iy = 0; iy < m_ny; ++iy) {
      yEdges[iy] = kNoCrossing;
      if (above[iy] == above[iy + 1]) continue;
      throwIfStopped();
      yEdges[iy] = static_cast<int32_t>(plane.points.size());
      plane.points.push_back(
          crossEdge(row, gridPoint(ix, iy, k), gridPoint(ix, iy + 1, k), above[iy + 1]));
    }
    if (ix == 0) continue;
    const uint8_t* previous = above - stride;
    m_field.atomsNear(gridPoint(ix - 1, 0, k), rowEnd + shift, backAtoms);
    const AtomListField back(m_field, backAtoms, evaluations);
    int32_t* xEdges = &plane.xEdges[static_cast<std::size_t>(ix - 1) * stride];
    for (int64_t iy = 0; iy <= m_ny; ++iy) {
      xEdges[iy] = kNoCrossing;
      if (previous[iy] == above[iy]) continue;
      throwIfStopped();
      xEdges[iy] = static_cast<int32_t>(plane.points.size());
      plane.points.push_back(
          crossEdge(back, gridPoint(ix - 1, iy, k), gridPoint(ix, iy, k), above[iy]));
    }
  }
}

void SweepPlanes::computeLayer(int64_t k, const GridPlane& bottom, const GridPlane& top,
                               GridLayer& layer, int64_t& evaluations) const {
  const std::size_t stride = m_stride;
  const Point reach{kGradientStep, kGradientStep, 2 * kGradientStep};
  layer.zEdges.resize((static_cast<std::size_t>(m_nx) + 1) * stride);
  layer.points.clear();
  std::vector<int16_t> atoms;
  for (int64_t ix = 0; ix <= m_nx; ++ix) {
    const std::size_t row = static_cast<std::size_t>(ix) * stride;
    const Point rowStart = gridPoint(ix, 0, k);
    m_field.atomsNear(rowStart, gridPoint(ix, m_ny, k + 1) + reach, atoms);
    const AtomListField field(m_field, atoms, evaluations);
    for (int64_t iy = 0; iy <= m_ny; ++iy) {
      layer.zEdges[row + iy] = kNoCrossing;
      if (bottom.above[row + iy] == top.above[row + iy]) continue;
      throwIfStopped();
      layer.zEdges[row + iy] = static_cast<int32_t>(layer.points.size());
      layer.points.push_back(
          crossEdge(field, gridPoint(ix, iy, k), gridPoint(ix, iy, k + 1), top.above[row + iy]));
    }
  }
}

void SweepPlanes::assembleLayer(const GridPlane& bottom, const GridPlane& top,
                                const GridLayer& layer,
                                std::vector<ShadedTriangle>& triangles) const {
  const std::size_t stride = m_stride;
  const auto ny = static_cast<std::size_t>(m_ny);
  const auto xEdge = [&](const GridPlane& plane, int64_t ix, int64_t iy) -> const CrossingPoint* {
    const int32_t at = plane.xEdges[static_cast<std::size_t>(ix) * stride + iy];
    return at == kNoCrossing ? nullptr : &plane.points[at];
  };
  const auto yEdge = [&](const GridPlane& plane, int64_t ix, int64_t iy) -> const CrossingPoint* {
    const int32_t at = plane.yEdges[static_cast<std::size_t>(ix) * ny + iy];
    return at == kNoCrossing ? nullptr : &plane.points[at];
  };
  const auto zEdge = [&](int64_t ix, int64_t iy) -> const CrossingPoint* {
    const int32_t at = layer.zEdges[static_cast<std::size_t>(ix) * stride + iy];
    return at == kNoCrossing ? nullptr : &layer.points[at];
  };
  // A cube whose eight corners are of one class has no crossing.
  const auto uniform = [&](std::size_t at) {
    const uint8_t c = bottom.above[at];
    return bottom.above[at + 1] == c && bottom.above[at + stride] == c &&
           bottom.above[at + stride + 1] == c && top.above[at] == c && top.above[at + 1] == c &&
           top.above[at + stride] == c && top.above[at + stride + 1] == c;
  };
  std::array<const CrossingPoint*, kCubeEdgeCount> crossings{};
  for (int64_t ix = 0; ix < m_nx; ++ix) {
    throwIfStopped();
    for (int64_t iy = 0; iy < m_ny; ++iy) {
      if (uniform(static_cast<std::size_t>(ix) * stride + iy)) continue;
      // The cube's edges in the order of the edge table.
      const std::array<const CrossingPoint*, kCubeEdgeCount> edges{
          xEdge(bottom, ix, iy),     yEdge(bottom, ix, iy),  zEdge(ix, iy),
          yEdge(bottom, ix + 1, iy), zEdge(ix + 1, iy),      xEdge(bottom, ix, iy + 1),
          zEdge(ix, iy + 1),         zEdge(ix + 1, iy + 1),  xEdge(top, ix, iy),
          yEdge(top, ix, iy),        yEdge(top, ix + 1, iy), xEdge(top, ix, iy + 1)};
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
          triangles.push_back({{apex.position, second.position, third.position, apex.value},
                               {apex.gradient, second.gradient, third.gradient}});
        }
      }
    }
  }
}

}  // namespace lobewright
