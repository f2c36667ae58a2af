#pragma once

#include <array>
#include <cstdint>

// Marching tetrahedra over the Kuhn (Freudenthal) split of every grid cube. A cube corner is
// numbered by its offsets, x + 2y + 4z. The split cuts the cube into six tetrahedra around its
// diagonal from corner 0 to corner 7, one per order in which the path from 0 to 7 takes the three
// axes. Every cube is split the same way, so neighbouring cubes cut their shared face along the
// same diagonal: the tetrahedra fill space without gaps or overlaps, and within one of them the
// inside corners are cut from the outside ones by exactly one triangle or one quad. There is no
// ambiguous face or cube interior to decide: the surface is the boundary of the inside corners'
// region in a simplicial complex, closed and 2-manifold by construction, and its winding follows
// from one table.
//
// Why not marching cubes with an asymptotic decider: the face test makes neighbouring cubes agree,
// but the cube's interior needs a second set of tests and a far larger table of subcases (MC33)
// to stay manifold, which is much more to get wrong. The price here is about twice the triangles
// and more thin ones near grid corners, which the sliver removal takes care of.

namespace lobewright {

// An edge of the split from corner `base` to corner base + direction (both as offset bits). The
// edges of the split are exactly the pairs of corners one of which lies below the other on every
// axis: 12 cube edges, 6 face diagonals and the cube's diagonal.
struct KuhnEdge {
  uint8_t base;
  uint8_t direction;
};

inline constexpr int kKuhnEdgeCount = 19;

[[nodiscard]] constexpr std::array<KuhnEdge, kKuhnEdgeCount> makeKuhnEdges() {
  std::array<KuhnEdge, kKuhnEdgeCount> edges{};
  int n = 0;
  for (uint8_t base = 0; base < 8; ++base) {
    for (uint8_t direction = 1; direction < 8; ++direction) {
      if ((base & direction) == 0) edges[n++] = {base, direction};
    }
  }
  return edges;
}

inline constexpr std::array<KuhnEdge, kKuhnEdgeCount> kKuhnEdges = makeKuhnEdges();

// The index into kKuhnEdges of the edge between two corners one of which lies below the other.
[[nodiscard]] constexpr int kuhnEdgeIndex(int cornerA, int cornerB) {
  const int base = cornerA < cornerB ? cornerA : cornerB;
  const int direction = cornerA ^ cornerB;
  for (int e = 0; e < kKuhnEdgeCount; ++e) {
    if (kKuhnEdges[e].base == base && kKuhnEdges[e].direction == direction) return e;
  }
  return -1;
}

inline constexpr int kTetrahedronCount = 6;

// The six tetrahedra by their corners, each ordered so that it is positively oriented: the
// corners 1, 2, 3 seen from corner 0 run counter-clockwise. A path that takes the axes in an odd
// order gives a negatively oriented list, which two corners trading places puts right.
[[nodiscard]] constexpr std::array<std::array<uint8_t, 4>, kTetrahedronCount> makeKuhnTetrahedra() {
  constexpr std::array<std::array<int, 3>, kTetrahedronCount> orders{
      {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}}};
  std::array<std::array<uint8_t, 4>, kTetrahedronCount> tetrahedra{};
  for (int t = 0; t < kTetrahedronCount; ++t) {
    const auto [a, b, c] = orders[t];
    (void)c;
    const auto first = static_cast<uint8_t>(1 << a);
    const auto second = static_cast<uint8_t>(first | (1 << b));
    tetrahedra[t] = t < 3 ? std::array<uint8_t, 4>{0, first, second, 7}
                          : std::array<uint8_t, 4>{0, second, first, 7};
  }
  return tetrahedra;
}

inline constexpr std::array<std::array<uint8_t, 4>, kTetrahedronCount> kKuhnTetrahedra =
    makeKuhnTetrahedra();

[[nodiscard]] constexpr bool kuhnTetrahedraArePositive() {
  for (const auto& t : kKuhnTetrahedra) {
    const auto offset = [&](int corner, int axis) { return ((t[corner] ^ t[0]) >> axis) & 1; };
    const auto m = [&](int row, int axis) { return offset(row + 1, axis); };
    const int det = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
                    m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
                    m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
    if (det <= 0) return false;
  }
  return true;
}
static_assert(kuhnTetrahedraArePositive());

// A tetrahedron's six edges by their two corners (positions 0 to 3 in its corner list).
inline constexpr std::array<std::array<uint8_t, 2>, 6> kTetrahedronEdgeEnds{
    {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}};

// Each tetrahedron's edges as indices into kKuhnEdges.
[[nodiscard]] constexpr std::array<std::array<uint8_t, 6>, kTetrahedronCount>
makeTetrahedronEdges() {
  std::array<std::array<uint8_t, 6>, kTetrahedronCount> edges{};
  for (int t = 0; t < kTetrahedronCount; ++t) {
    for (int e = 0; e < 6; ++e) {
      edges[t][e] =
          static_cast<uint8_t>(kuhnEdgeIndex(kKuhnTetrahedra[t][kTetrahedronEdgeEnds[e][0]],
                                             kKuhnTetrahedra[t][kTetrahedronEdgeEnds[e][1]]));
    }
  }
  return edges;
}

inline constexpr std::array<std::array<uint8_t, 6>, kTetrahedronCount> kTetrahedronEdges =
    makeTetrahedronEdges();

// How the surface cuts a tetrahedron with the given inside corners (bit i for corner i): nothing,
// a triangle (one corner apart from the other three) or a quad (two and two), as a cycle of
// tetrahedron edges that runs counter-clockwise seen from outside the lobe.
struct TetrahedronCut {
  uint8_t count = 0;
  std::array<uint8_t, 4> edges{};
};

namespace tetrahedron_detail {

struct Point {
  double x, y, z;
};

[[nodiscard]] constexpr Point edgeMidpoint(int e) {
  // A positively oriented reference tetrahedron; the orientation of a cut does not depend on
  // where on its edges the crossings lie, nor on which positive tetrahedron it is.
  constexpr std::array<Point, 4> corners{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  const Point& a = corners[kTetrahedronEdgeEnds[e][0]];
  const Point& b = corners[kTetrahedronEdgeEnds[e][1]];
  return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
}

[[nodiscard]] constexpr int edgeBetween(int a, int b) {
  for (int e = 0; e < 6; ++e) {
    const auto& ends = kTetrahedronEdgeEnds[e];
    if ((ends[0] == a && ends[1] == b) || (ends[0] == b && ends[1] == a)) return e;
  }
  return -1;
}

}  // namespace tetrahedron_detail

[[nodiscard]] constexpr std::array<TetrahedronCut, 16> makeTetrahedronCuts() {
  using tetrahedron_detail::edgeBetween;
  using tetrahedron_detail::edgeMidpoint;
  using tetrahedron_detail::Point;
  std::array<TetrahedronCut, 16> cuts{};
  for (int mask = 1; mask < 15; ++mask) {
    std::array<int, 4> inside{};
    std::array<int, 4> outside{};
    int insideCount = 0;
    int outsideCount = 0;
    for (int corner = 0; corner < 4; ++corner) {
      if ((mask >> corner) & 1) {
        inside[insideCount++] = corner;
      } else {
        outside[outsideCount++] = corner;
      }
    }
    TetrahedronCut& cut = cuts[mask];
    if (insideCount == 2) {
      cut.count = 4;
      cut.edges = {static_cast<uint8_t>(edgeBetween(inside[0], outside[0])),
                   static_cast<uint8_t>(edgeBetween(inside[0], outside[1])),
                   static_cast<uint8_t>(edgeBetween(inside[1], outside[1])),
                   static_cast<uint8_t>(edgeBetween(inside[1], outside[0]))};
    } else {
      const bool single = insideCount == 1;
      const int apart = single ? inside[0] : outside[0];
      const std::array<int, 4>& others = single ? outside : inside;
      cut.count = 3;
      for (int k = 0; k < 3; ++k)
        cut.edges[k] = static_cast<uint8_t>(edgeBetween(apart, others[k]));
    }
    // The cut's normal must point from the inside corners' centre towards the outside ones'.
    const Point p0 = edgeMidpoint(cut.edges[0]);
    const Point p1 = edgeMidpoint(cut.edges[1]);
    const Point p2 = edgeMidpoint(cut.edges[2]);
    const Point u{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    const Point v{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
    const Point n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    constexpr std::array<Point, 4> corners{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    Point out{0, 0, 0};
    for (int k = 0; k < outsideCount; ++k) {
      const Point& c = corners[outside[k]];
      out = {out.x + c.x / outsideCount, out.y + c.y / outsideCount, out.z + c.z / outsideCount};
    }
    Point in{0, 0, 0};
    for (int k = 0; k < insideCount; ++k) {
      const Point& c = corners[inside[k]];
      in = {in.x + c.x / insideCount, in.y + c.y / insideCount, in.z + c.z / insideCount};
    }
    const double facing = n.x * (out.x - in.x) + n.y * (out.y - in.y) + n.z * (out.z - in.z);
    if (facing < 0) {
      for (int k = 0; k < cut.count / 2; ++k) {
        const uint8_t swap = cut.edges[k];
        cut.edges[k] = cut.edges[cut.count - 1 - k];
        cut.edges[cut.count - 1 - k] = swap;
      }
    }
  }
  return cuts;
}

inline constexpr std::array<TetrahedronCut, 16> kTetrahedronCuts = makeTetrahedronCuts();

}  // namespace lobewright
