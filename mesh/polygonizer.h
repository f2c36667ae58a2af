#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "input/point.h"
#include "mesh/cube_edges.h"
#include "mesh/grid_bounds.h"
#include "mesh/surface_triangle.h"

// The literal sweep: every edge evaluates both of its ends, nothing is cached. The field is any
// type with `float valueAt(float x, float y, float z) const` (a ClassicOrbital, or a synthetic
// field in tests); consumers and progress reports are plain callables.
namespace lobewright {

inline constexpr float kGradientStep = 0.01f;

// |value| strictly above the threshold; a value exactly at the threshold is not above.
[[nodiscard]] inline bool aboveThreshold(float value, float threshold) {
  return (std::fabs(value) - threshold) > 0.0f;
}

[[nodiscard]] inline Point midpoint(const Point& a, const Point& b) {
  return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f};
}

// Bisects the edge from a (start corner) to b, whose ends differ in class, `accuracy` times.
template <class Field>
[[nodiscard]] Point findEdgeCrossing(const Field& field, float threshold, int accuracy, Point a,
                                     Point b) {
  for (int step = 0; step < accuracy; ++step) {
    const Point m = midpoint(a, b);
    const bool midAbove = aboveThreshold(field.valueAt(m.x, m.y, m.z), threshold);
    const bool endAbove = aboveThreshold(field.valueAt(b.x, b.y, b.z), threshold);
    if (midAbove == endAbove) {
      b = m;
    } else {
      a = m;
    }
  }
  return midpoint(a, b);
}

// Forward differences of the orbital's value, neither divided by the step nor normalised.
template <class Field>
[[nodiscard]] Point forwardGradient(const Field& field, const Point& q, float vq) {
  return {field.valueAt(q.x + kGradientStep, q.y, q.z) - vq,
          field.valueAt(q.x, q.y + kGradientStep, q.z) - vq,
          field.valueAt(q.x, q.y, q.z + kGradientStep) - vq};
}

// Whether the pair (pn, pi) of crossing points lies on a cube face that does not hold the apex.
[[nodiscard]] inline bool sharesFaceAwayFromApex(const Point& apex, const Point& pn,
                                                 const Point& pi) {
  const auto passes = [](float n, float i, float a) {
    return n == i && n != a && n == std::trunc(n);
  };
  return passes(pn.x, pi.x, apex.x) || passes(pn.y, pi.y, apex.y) || passes(pn.z, pi.z, apex.z);
}

// Joins a cube's crossing points into a fan from the first one and hands out its triangles.
template <class Field, class Consumer>
void emitFan(const Field& field, const Point* points, int count, Consumer&& consumer) {
  if (count < 3) return;
  const Point& apex = points[0];
  const float apexValue = field.valueAt(apex.x, apex.y, apex.z);
  for (int n = 1; n < count - 1; ++n) {
    for (int i = n + 1; i < count; ++i) {
      if (sharesFaceAwayFromApex(apex, points[n], points[i])) {
        consumer(SurfaceTriangle{apex, points[n], points[i], apexValue});
      }
    }
  }
}

[[nodiscard]] inline Point cubeCorner(int32_t x, int32_t y, int32_t z, const CubeOffset& offset) {
  return {static_cast<float>(static_cast<int64_t>(x) + offset.x),
          static_cast<float>(static_cast<int64_t>(y) + offset.y),
          static_cast<float>(static_cast<int64_t>(z) + offset.z)};
}

template <class Field, class Consumer>
void polygonizeCube(const Field& field, float threshold, int accuracy, int32_t x, int32_t y,
                    int32_t z, Consumer&& consumer) {
  std::array<Point, kCubeEdgeCount> crossings;
  int count = 0;
  for (int e = 0; e < kCubeEdgeCount; ++e) {
    const Point a = cubeCorner(x, y, z, kCubeEdgeStart[e]);
    const Point b = cubeCorner(x, y, z, kCubeEdgeEnd[e]);
    const float va = field.valueAt(a.x, a.y, a.z);
    const float vb = field.valueAt(b.x, b.y, b.z);
    if (aboveThreshold(va, threshold) != aboveThreshold(vb, threshold)) {
      crossings[count++] = findEdgeCrossing(field, threshold, accuracy, a, b);
    }
  }
  emitFan(field, crossings.data(), count, consumer);
}

// Percent of the sweep done after layer z; the first layer reports 0, the last less than 100.
[[nodiscard]] inline int layerProgress(int32_t z, const GridBounds& bounds) {
  const int64_t done = static_cast<int64_t>(z) - bounds.zLow;
  const int64_t layers = static_cast<int64_t>(bounds.zHigh) - bounds.zLow;
  return static_cast<int>(done * 100 / layers);
}

// Visits the cubes with z outermost, then x, then y, and reports progress after each z layer.
template <class Field, class Consumer, class Progress>
void polygonizeGrid(const Field& field, float threshold, int accuracy, const GridBounds& bounds,
                    Consumer&& consumer, Progress&& reportProgress) {
  for (int64_t z = bounds.zLow; z < bounds.zHigh; ++z) {
    for (int64_t x = bounds.xLow; x < bounds.xHigh; ++x) {
      for (int64_t y = bounds.yLow; y < bounds.yHigh; ++y) {
        polygonizeCube(field, threshold, accuracy, static_cast<int32_t>(x), static_cast<int32_t>(y),
                       static_cast<int32_t>(z), consumer);
      }
    }
    reportProgress(layerProgress(static_cast<int32_t>(z), bounds));
  }
}

// The POV-Ray path: every corner with its normal; the sign comes from the apex.
template <class Field>
[[nodiscard]] SmoothTriangle smoothTriangle(const Field& field, const SurfaceTriangle& triangle) {
  SmoothTriangle smooth;
  const std::array<Point, 3> corners{triangle.apex, triangle.second, triangle.third};
  for (int k = 0; k < 3; ++k) {
    const Point& q = corners[k];
    const float vq = field.valueAt(q.x, q.y, q.z);
    smooth.corners[k] = {q, forwardGradient(field, q, vq)};
  }
  smooth.sign = lobeSign(triangle.apexValue);
  return smooth;
}

// The LScript path: a winding whose right-hand normal points out of the triangle's lobe, given
// the gradient g at the apex.
[[nodiscard]] inline TriangleOrientation orientWithGradient(const SurfaceTriangle& triangle,
                                                            const Point& g) {
  const Point e1{triangle.second.x - triangle.apex.x, triangle.second.y - triangle.apex.y,
                 triangle.second.z - triangle.apex.z};
  const Point e2{triangle.third.x - triangle.apex.x, triangle.third.y - triangle.apex.y,
                 triangle.third.z - triangle.apex.z};
  const Point c{e1.y * e2.z - e2.y * e1.z, e2.x * e1.z - e1.x * e2.z, e1.x * e2.y - e2.x * e1.y};
  const float s = (c.x * g.x + c.y * g.y) + c.z * g.z;
  const LobeSign sign = lobeSign(triangle.apexValue);
  return {sign, sign == LobeSign::positive ? s > 0.0f : s <= 0.0f};
}

template <class Field>
[[nodiscard]] TriangleOrientation orientTriangle(const Field& field,
                                                 const SurfaceTriangle& triangle) {
  return orientWithGradient(triangle, forwardGradient(field, triangle.apex, triangle.apexValue));
}

}  // namespace lobewright
