#pragma once

#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <vector>

#include "mesh/grid_bounds.h"
#include "mesh/shaded_triangle.h"
#include "orbital/reach_field.h"

namespace lobewright {

// A point where the surface crosses a grid edge, with the orbital's value and forward gradient
// there, computed once for every cube and triangle that shares it.
struct CrossingPoint {
  Point position;
  float value = 0.0f;
  Point gradient;
};

inline constexpr int32_t kNoCrossing = -1;

// One plane z of grid points: their values and classes, and the crossings on the grid edges that
// lie in the plane. Points are stored x-major: (ix, iy) at ix * (ny + 1) + iy.
struct GridPlane {
  std::vector<uint8_t> above;
  std::vector<int32_t> xEdges;  // (ix, iy) to (ix + 1, iy), at ix * (ny + 1) + iy
  std::vector<int32_t> yEdges;  // (ix, iy) to (ix, iy + 1), at ix * ny + iy
  std::vector<CrossingPoint> points;
};

// The crossings on the edges along z between two neighbouring planes, at ix * (ny + 1) + iy.
struct GridLayer {
  std::vector<int32_t> zEdges;
  std::vector<CrossingPoint> points;
};

// The sweep's work on planes and layers of the grid. Each piece depends only on its inputs, so
// pieces can run on any thread; every evaluation is counted in the counter passed in. A plane
// can take a good part of a second on a fine grid, and a row of it tens of milliseconds, so the
// pieces look at the stop token before every run of grid points they evaluate, every crossing
// they bisect and every row of cubes they assemble, and throw SweepCancelled once it is
// requested.
class SweepPlanes {
 public:
  // Throws std::length_error when a plane has more edges than its int32_t crossing indices can
  // count; the grid budget refuses such grids long before.
  SweepPlanes(const ReachField& field, float threshold, int accuracy, const GridBounds& bounds,
              std::stop_token stop = {});

  [[nodiscard]] int64_t layerCount() const { return m_nz; }
  [[nodiscard]] bool hasCubes() const { return m_nx > 0 && m_ny > 0 && m_nz > 0; }

  // Plane k lies at z = zLow + k, for k from 0 to layerCount(). The plane's storage is reused.
  void computePlane(int64_t k, GridPlane& plane, int64_t& evaluations) const;
  // Layer k holds the cubes between planes k and k + 1.
  void computeLayer(int64_t k, const GridPlane& bottom, const GridPlane& top, GridLayer& layer,
                    int64_t& evaluations) const;
  // The fan triangles of layer k's cubes, in sweep order.
  void assembleLayer(const GridPlane& bottom, const GridPlane& top, const GridLayer& layer,
                     std::vector<ShadedTriangle>& triangles) const;

 private:
  // True when no point of the box can be above the threshold: the box's points are then
  // classified without being evaluated.
  [[nodiscard]] bool surelyBelowThreshold(const Point& low, const Point& high,
                                          const std::vector<int16_t>& atoms) const;
  [[nodiscard]] Point gridPoint(int64_t ix, int64_t iy, int64_t k) const;
  [[nodiscard]] CrossingPoint crossEdge(const AtomListField& field, Point a, Point b,
                                        bool endAbove) const;

  void throwIfStopped() const;

  const ReachField& m_field;
  std::stop_token m_stop;
  float m_threshold;
  int m_accuracy;
  GridBounds m_bounds;
  // Cubes along each axis. Sizes are reckoned in 64 bits, whatever the bounds: nothing here
  // can overflow, even for a grid no budget has checked.
  int64_t m_nx;
  int64_t m_ny;
  int64_t m_nz;
  std::size_t m_stride;  // grid points along y
};

}  // namespace lobewright
