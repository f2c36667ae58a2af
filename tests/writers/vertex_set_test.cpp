#include <gtest/gtest.h>

#include <vector>

#include "mesh/polygonizer.h"
#include "writers/vertex_set.h"

namespace lobewright {
namespace {

// Above the threshold 0.5 at one grid point only, 0 everywhere else.
struct LonePointField {
  Point above;

  float valueAt(float x, float y, float z) const {
    return x == above.x && y == above.y && z == above.z ? 1.0f : 0.0f;
  }
};

std::vector<vertex> ascending(const IndexedMesh& mesh) {
  return {mesh.vertices().begin(), mesh.vertices().end()};
}

void expectVertex(const vertex& v, Point at, int32_t index) {
  EXPECT_EQ(v.x, at.x);
  EXPECT_EQ(v.y, at.y);
  EXPECT_EQ(v.z, at.z);
  EXPECT_EQ(v.index, index);
}

TEST(VertexOrdering, EachAxisDecidesOnlyBeyondTheTolerance) {
  const vertex origin{0, 0, 0, 1};
  // A difference of exactly the tolerance is still equivalent.
  for (const vertex& near : {vertex{0.001f, 0, 0, 2}, vertex{0, -0.001f, 0.001f, 2},
                             vertex{0.0005f, -0.0008f, 0.001f, 2}}) {
    EXPECT_FALSE(origin < near);
    EXPECT_FALSE(near < origin);
  }
  EXPECT_TRUE(origin < (vertex{0.0011f, -5, -5, 2}));
  EXPECT_TRUE((vertex{0, 0, -0.0011f, 2}) < origin);
  EXPECT_TRUE(origin < (vertex{0.001f, 0.001f, 0.0011f, 2}));
  // x within the tolerance hands the decision to y, even against a larger x.
  EXPECT_TRUE((vertex{1.0005f, 3, 0, 2}) < (vertex{1, 5, 0, 1}));
  EXPECT_FALSE((vertex{1, 5, 0, 1}) < (vertex{1.0005f, 3, 0, 2}));
  // The index takes no part.
  EXPECT_FALSE((vertex{1, 2, 3, 1}) < (vertex{1, 2, 3, 9}));
}

TEST(IndexedMesh, NumbersNewPointsFromOneAndFindsKnownOnes) {
  IndexedMesh mesh;
  EXPECT_EQ(mesh.nextIndex(), 1);
  EXPECT_EQ(mesh.addVertex({12.5625f, 3, -7}), 1);
  EXPECT_EQ(mesh.addVertex({12, 3.4375f, -7}), 2);
  EXPECT_EQ(mesh.addVertex({12, 3, -6.3125f}), 3);
  EXPECT_EQ(mesh.addVertex({12, 3.4375f, -7}), 2);
  EXPECT_EQ(mesh.nextIndex(), 4);
  EXPECT_EQ(mesh.vertices().size(), 3u);
}

TEST(IndexedMesh, EquivalentPointKeepsTheFirstNumberAndCoordinates) {
  IndexedMesh mesh;
  EXPECT_EQ(mesh.addVertex({0, 0, 0}), 1);
  EXPECT_EQ(mesh.addVertex({0.0005f, -0.0008f, 0.001f}), 1);
  EXPECT_EQ(mesh.nextIndex(), 2);
  ASSERT_EQ(mesh.vertices().size(), 1u);
  expectVertex(*mesh.vertices().begin(), {0, 0, 0}, 1);
}

TEST(IndexedMesh, ListsPointsInAscendingOrderNotByNumber) {
  IndexedMesh mesh;
  mesh.addVertex({1, 5, 0});
  mesh.addVertex({1.0005f, 3, 0});
  mesh.addVertex({-2, 9, 9});
  const std::vector<vertex> points = ascending(mesh);
  ASSERT_EQ(points.size(), 3u);
  expectVertex(points[0], {-2, 9, 9}, 3);
  expectVertex(points[1], {1.0005f, 3, 0}, 2);
  expectVertex(points[2], {1, 5, 0}, 1);
}

// The equivalence is not transitive: the set compares a new point with the nodes on its way
// down and with the stored point just before its place, and with nothing else.
TEST(IndexedMesh, MergesWhereTheSetsInsertionProcedureLeads) {
  IndexedMesh bridged;
  EXPECT_EQ(bridged.addVertex({0, 0, 0}), 1);
  EXPECT_EQ(bridged.addVertex({0.0015f, 0, 0}), 2);
  // Equivalent to both stored points; it meets the second one just before its place.
  EXPECT_EQ(bridged.addVertex({0.0008f, 0, 0}), 2);
  EXPECT_EQ(bridged.nextIndex(), 3);

  IndexedMesh passedBy;
  EXPECT_EQ(passedBy.addVertex({0, 0, 0}), 1);
  EXPECT_EQ(passedBy.addVertex({-0.0008f, 0.5f, 0}), 2);
  // Within the tolerance of point 1, but it descends past point 2, which is less than it, so
  // it becomes a point of its own.
  EXPECT_EQ(passedBy.addVertex({0.0005f, 0, 0}), 3);
  const std::vector<vertex> points = ascending(passedBy);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0].index, 1);
  EXPECT_EQ(points[1].index, 2);
  EXPECT_EQ(points[2].index, 3);
}

TEST(IndexedMesh, TriangleCornersAreNumberedInFanOrderWhateverTheWinding) {
  const SurfaceTriangle first{{12.5625f, 3, -7}, {12, 3.4375f, -7}, {12, 3, -6.3125f}, 0.4f};
  const SurfaceTriangle second{{12.5625f, 3, -7}, {12, 3, -6.3125f}, {13, 3.5f, -7}, -0.1f};
  IndexedMesh mesh;
  mesh.addTriangle(LobeSign::positive, first, false);
  mesh.addTriangle(LobeSign::negative, second, true);
  mesh.addTriangle(LobeSign::positive, first, true);

  using Lists = IndexedMesh::CornerLists;
  EXPECT_EQ(mesh.cornerLists(LobeSign::positive), (Lists{{{1, 1}, {2, 3}, {3, 2}}}));
  // One set of points serves both lobes.
  EXPECT_EQ(mesh.cornerLists(LobeSign::negative), (Lists{{{1}, {4}, {3}}}));
  EXPECT_EQ(mesh.nextIndex(), 5);
  EXPECT_EQ(mesh.triangleCount(), 3);
}

TEST(IndexedMesh, TriangleWithEquivalentCornersRepeatsTheNumber) {
  IndexedMesh mesh;
  mesh.addTriangle(LobeSign::negative, {{0, 0, 0}, {0.0009f, 0, 0}, {0, 2, 0}, 0}, false);
  EXPECT_EQ(mesh.cornerLists(LobeSign::negative), (IndexedMesh::CornerLists{{{1}, {1}, {2}}}));
  EXPECT_EQ(mesh.triangleCount(), 1);
}

// Sweeps the eight cubes around one grid point above the threshold into the mesh.
IndexedMesh meshAroundLonePoint(int accuracy) {
  const LonePointField field{{12, 3, -7}};
  IndexedMesh mesh;
  polygonizeGrid(
      field, 0.5f, accuracy, GridBounds{11, 2, -8, 13, 4, -6},
      [&](const SurfaceTriangle& triangle) {
        const TriangleOrientation orientation = orientTriangle(field, triangle);
        mesh.addTriangle(orientation.sign, triangle, orientation.exchanged);
      },
      [](int) {});
  return mesh;
}

TEST(IndexedMesh, CrossingPointsFoundFromNeighbouringCubesArePointsOnce) {
  const IndexedMesh mesh = meshAroundLonePoint(3);
  // Each of the six crossing edges belongs to four of the eight cubes.
  EXPECT_EQ(mesh.triangleCount(), 8);
  EXPECT_EQ(mesh.vertices().size(), 6u);
  EXPECT_EQ(mesh.nextIndex(), 7);
}

TEST(IndexedMesh, AccuracyNineMergesCrossingsThatMeetNearAGridPoint) {
  // Nine bisection steps leave every crossing d = 1/1024 from the grid point: within the
  // tolerance of each other, except the two on the same axis (2d apart). The first point
  // stored, (12, 3, -7 - d), takes in every other one until its opposite (12, 3, -7 + d) comes,
  // in the fifth triangle; from then on the descent passes the first point and meets the new
  // one just before its place, so everything after maps to the second point.
  const float d = 1.0f / 1024.0f;
  const IndexedMesh fine = meshAroundLonePoint(9);
  EXPECT_EQ(fine.triangleCount(), 8);
  const std::vector<vertex> points = ascending(fine);
  ASSERT_EQ(points.size(), 2u);
  expectVertex(points[0], {12, 3, -7 - d}, 1);
  expectVertex(points[1], {12, 3, -7 + d}, 2);
  // Every triangle has value 0 at its apex, so it is negative and exchanged.
  EXPECT_TRUE(fine.cornerLists(LobeSign::positive)[0].empty());
  EXPECT_EQ(fine.cornerLists(LobeSign::negative),
            (IndexedMesh::CornerLists{{{1, 1, 1, 1, 1, 2, 2, 2},
                                       {1, 1, 1, 1, 2, 2, 2, 2},
                                       {1, 1, 1, 1, 1, 2, 2, 2}}}));

  // Eight steps leave 1/512, beyond the tolerance: six points.
  EXPECT_EQ(meshAroundLonePoint(8).vertices().size(), 6u);
}

}  // namespace
}  // namespace lobewright
