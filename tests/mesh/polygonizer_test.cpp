#include "mesh/polygonizer.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "support/corner_field.h"

namespace lobewright {
namespace {

using testing::CornerField;

constexpr float kThreshold = 0.5f;
constexpr float kAbove = 1.0f;

std::vector<SurfaceTriangle> cubeTriangles(const CornerField& field, int accuracy = 3) {
  std::vector<SurfaceTriangle> triangles;
  polygonizeCube(field, kThreshold, accuracy, 0, 0, 0,
                 [&](const SurfaceTriangle& t) { triangles.push_back(t); });
  return triangles;
}

// The crossing point the sweep finds on one edge of the unit cube at the origin.
Point crossingOn(const CornerField& field, int edge, int accuracy = 3) {
  const auto& s = kCubeEdgeStart[edge];
  const auto& e = kCubeEdgeEnd[edge];
  return findEdgeCrossing(field, kThreshold, accuracy, Point{float(s.x), float(s.y), float(s.z)},
                          Point{float(e.x), float(e.y), float(e.z)});
}

struct ExpectedTriangle {
  int apexEdge;
  int secondEdge;
  int thirdEdge;
};

void expectFan(const CornerField& field, std::initializer_list<ExpectedTriangle> expected) {
  const auto triangles = cubeTriangles(field);
  ASSERT_EQ(triangles.size(), expected.size());
  int t = 0;
  for (const ExpectedTriangle& e : expected) {
    EXPECT_EQ(triangles[t].apex, crossingOn(field, e.apexEdge)) << "triangle " << t;
    EXPECT_EQ(triangles[t].second, crossingOn(field, e.secondEdge)) << "triangle " << t;
    EXPECT_EQ(triangles[t].third, crossingOn(field, e.thirdEdge)) << "triangle " << t;
    ++t;
  }
}

TEST(Fan, LoneCornerGivesOneTriangleOfItsThreeEdges) {
  expectFan(CornerField().set(0, 0, 0, kAbove), {{0, 1, 2}});
}

TEST(Fan, LowerFaceAboveSplitsTheQuadAlongItsDiagonal) {
  CornerField field;
  field.setAll({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, kAbove);
  // Edges 2, 4, 6 and 7 cross: P0..P3.
  expectFan(field, {{2, 4, 7}, {2, 6, 7}});
}

TEST(Fan, OppositeCornersJoinTheApexToTheFarTriangle) {
  CornerField field;
  field.setAll({{0, 0, 0}, {1, 1, 1}}, kAbove);
  // Edges 0, 1, 2, 7, 10, 11 cross.
  expectFan(field, {{0, 1, 2}, {0, 7, 10}, {0, 7, 11}, {0, 10, 11}});
}

TEST(Fan, PentagonGivesThreeTriangles) {
  CornerField field;
  field.setAll({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, kAbove);
  // Edges 2, 3, 4, 5, 6 cross.
  expectFan(field, {{2, 3, 4}, {2, 3, 5}, {2, 5, 6}});
}

TEST(Fan, AlternatingCornersFillTheListAndGiveTwentyFourTriangles) {
  CornerField field;
  field.setAll({{0, 0, 0}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}}, kAbove);
  EXPECT_EQ(cubeTriangles(field).size(), 24u);
}

TEST(Fan, NoCrossingNoTriangle) {
  CornerField none;
  EXPECT_TRUE(cubeTriangles(none).empty());
  CornerField all;
  for (int i = 0; i < 8; ++i) all.set(i / 4, i / 2 % 2, i % 2, kAbove);
  EXPECT_TRUE(cubeTriangles(all).empty());
}

TEST(Classification, LooksAtTheAbsoluteValueAndExactThresholdIsNotAbove) {
  EXPECT_FALSE(aboveThreshold(0.5f, 0.5f));
  EXPECT_FALSE(aboveThreshold(-0.5f, 0.5f));
  EXPECT_TRUE(aboveThreshold(-0.50001f, 0.5f));
  EXPECT_TRUE(aboveThreshold(0.0f, -0.1f));

  CornerField opposite;
  opposite.set(0, 0, 0, 1.0f).set(1, 0, 0, -1.0f);
  // Edge 0 joins two corners above the threshold of opposite sign: no crossing there, and only
  // the edges leaving them cross.
  const auto triangles = cubeTriangles(opposite);
  EXPECT_EQ(triangles.size(), 2u);
  for (const auto& t : triangles) {
    for (const Point& p : {t.apex, t.second, t.third}) {
      EXPECT_FALSE(p.y == 0 && p.z == 0) << "a crossing on edge 0 at x = " << p.x;
    }
  }

  CornerField atThreshold;
  atThreshold.set(0, 0, 0, kThreshold);
  EXPECT_TRUE(cubeTriangles(atThreshold).empty());
}

TEST(Classification, NegativeThresholdFindsNoSurface) {
  CornerField field;
  field.set(0, 0, 0, kAbove);
  std::vector<SurfaceTriangle> triangles;
  polygonizeCube(field, -0.01f, 3, 0, 0, 0,
                 [&](const SurfaceTriangle& t) { triangles.push_back(t); });
  EXPECT_TRUE(triangles.empty());
}

TEST(Bisection, CrossingLiesAtOddSixteenthsWithAccuracyThree) {
  CornerField field;
  field.set(0, 0, 0, kAbove);
  // Linear from 1 to 0 along edge 0, threshold 0.5: the bracket closes on 0.5 from below.
  EXPECT_EQ(crossingOn(field, 0), (Point{7.0f / 16, 0, 0}));
  EXPECT_EQ(crossingOn(field, 0, 0), (Point{0.5f, 0, 0}));
  EXPECT_EQ(crossingOn(field, 0, -4), (Point{0.5f, 0, 0}));
  EXPECT_EQ(crossingOn(field, 0, 1), (Point{0.25f, 0, 0}));
  field.set(0, 0, 0, 0.6f);
  EXPECT_EQ(crossingOn(field, 2), (Point{0, 0, 3.0f / 16}));
}

TEST(Bisection, LargeAccuracyKeepsEvaluatingOnceTheBracketStops) {
  CornerField field;
  field.set(0, 0, 0, kAbove);
  field.calls = 0;
  const Point p = crossingOn(field, 0, 100);
  EXPECT_EQ(field.calls, 200);
  EXPECT_NEAR(p.x, 0.5f, 1e-6f);
  EXPECT_EQ(p.y, 0.0f);
}

TEST(Evaluations, LiteralSweepCostsAsDocumented) {
  CornerField field;
  field.set(0, 0, 0, kAbove);
  field.calls = 0;
  const auto triangles = cubeTriangles(field, 3);
  // 24 for the edges, 2 per bisection step on each of 3 crossing edges, 1 for the apex value.
  EXPECT_EQ(field.calls, 24 + 3 * 3 * 2 + 1);
  field.calls = 0;
  (void)smoothTriangle(field, triangles[0]);
  EXPECT_EQ(field.calls, 12);
  field.calls = 0;
  (void)orientTriangle(field, triangles[0]);
  EXPECT_EQ(field.calls, 3);
}

TEST(Sign, ApexValueDecidesAndZeroIsNegative) {
  EXPECT_EQ(lobeSign(1e-30f), LobeSign::positive);
  EXPECT_EQ(lobeSign(0.0f), LobeSign::negative);
  EXPECT_EQ(lobeSign(-0.0f), LobeSign::negative);
  EXPECT_EQ(lobeSign(-1.0f), LobeSign::negative);
}

TEST(Orientation, NormalsPointOutOfTheLobeWhateverItsSign) {
  for (const float sign : {1.0f, -1.0f}) {
    CornerField lone;
    lone.set(0, 0, 0, sign);
    const auto one = cubeTriangles(lone);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_FALSE(orientTriangle(lone, one[0]).exchanged) << sign;

    CornerField lowerFace;
    lowerFace.setAll({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, sign);
    const auto two = cubeTriangles(lowerFace);
    ASSERT_EQ(two.size(), 2u);
    const TriangleOrientation first = orientTriangle(lowerFace, two[0]);
    EXPECT_EQ(first.sign, sign > 0 ? LobeSign::positive : LobeSign::negative);
    EXPECT_FALSE(first.exchanged) << sign;
    EXPECT_TRUE(orientTriangle(lowerFace, two[1]).exchanged) << sign;
  }
}

TEST(Gradient, ForwardDifferencesOfTheSignedValue) {
  CornerField field;
  field.set(1, 0, 0, -1.0f);
  const Point q{0.5f, 0.25f, 0.25f};
  const float vq = field.valueAt(q.x, q.y, q.z);
  const Point g = forwardGradient(field, q, vq);
  EXPECT_EQ(g.x, field.valueAt(q.x + 0.01f, q.y, q.z) - vq);
  EXPECT_LT(g.x, 0.0f);
  EXPECT_GT(g.y, 0.0f);
}

struct SweepRecord {
  std::vector<int> reports;
  std::vector<Point> firstCorners;
};

// A field without surface, so every cube evaluates exactly 24 points, the first of them its
// lowest corner.
SweepRecord sweep(const GridBounds& bounds) {
  struct Recorder {
    float valueAt(float x, float y, float z) const {
      if (calls++ % 24 == 0) corners->push_back({x, y, z});
      return 0.0f;
    }
    std::vector<Point>* corners;
    mutable long calls = 0;
  };
  SweepRecord record;
  const Recorder field{&record.firstCorners};
  polygonizeGrid(field, kThreshold, 3, bounds, [](const SurfaceTriangle&) {},
                 [&](int percent) { record.reports.push_back(percent); });
  return record;
}

TEST(Sweep, VisitsZOutermostThenXThenY) {
  const SweepRecord record = sweep({0, 0, 0, 2, 2, 2});
  const std::vector<Point> order{{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0},
                                 {0, 0, 1}, {0, 1, 1}, {1, 0, 1}, {1, 1, 1}};
  EXPECT_EQ(record.firstCorners, order);
  EXPECT_EQ(record.reports, (std::vector<int>{0, 50}));
}

TEST(Sweep, ReportsAfterEveryLayer) {
  std::vector<int> expected;
  for (int p = 0; p < 100; p += 5) expected.push_back(p);
  EXPECT_EQ(sweep({0, 0, -10, 1, 1, 10}).reports, expected);
  EXPECT_EQ(sweep({-6, -6, -6, 6, 6, 6}).reports,
            (std::vector<int>{0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91}));
}

TEST(Sweep, EmptyRanges) {
  EXPECT_TRUE(sweep({0, 0, 3, 2, 2, 3}).reports.empty());
  EXPECT_TRUE(sweep({0, 0, 3, 2, 2, -3}).reports.empty());
  const SweepRecord noX = sweep({2, 0, 0, 2, 2, 4});
  EXPECT_TRUE(noX.firstCorners.empty());
  EXPECT_EQ(noX.reports, (std::vector<int>{0, 25, 50, 75}));
}

TEST(Sweep, CountsAndReportsWithoutOverflowAtTheEndsOfTheThirtyTwoBitRange) {
  constexpr int32_t least = std::numeric_limits<int32_t>::min();
  constexpr int32_t greatest = std::numeric_limits<int32_t>::max();
  const GridBounds widest{least, least, least, greatest, greatest, greatest};
  EXPECT_EQ(layerProgress(least, widest), 0);
  EXPECT_EQ(layerProgress(0, widest), 50);
  EXPECT_EQ(layerProgress(greatest - 1, widest), 99);

  const SweepRecord corner =
      sweep({greatest - 1, least, greatest - 2, greatest, least + 1, greatest});
  EXPECT_EQ(corner.firstCorners,
            (std::vector<Point>{{static_cast<float>(greatest - 1), static_cast<float>(least),
                                 static_cast<float>(greatest - 2)},
                                {static_cast<float>(greatest - 1), static_cast<float>(least),
                                 static_cast<float>(greatest - 1)}}));
  EXPECT_EQ(corner.reports, (std::vector<int>{0, 50}));
}

TEST(Sweep, NeighbouringCubesShareBitwiseTheSameCrossing) {
  // A smooth field whose surface crosses the shared face of two cubes.
  struct Sphere {
    float valueAt(float x, float y, float z) const {
      return 1.0f / (1.0f + (x - 1.3f) * (x - 1.3f) + (y - 0.7f) * (y - 0.7f) + z * z);
    }
  };
  std::vector<SurfaceTriangle> left;
  std::vector<SurfaceTriangle> right;
  polygonizeCube(Sphere{}, 0.5f, 5, 0, 0, 0, [&](const SurfaceTriangle& t) { left.push_back(t); });
  polygonizeCube(Sphere{}, 0.5f, 5, 1, 0, 0, [&](const SurfaceTriangle& t) { right.push_back(t); });
  int shared = 0;
  for (const auto& a : left) {
    for (const Point& p : {a.apex, a.second, a.third}) {
      if (p.x != 1.0f) continue;
      for (const auto& b : right) {
        shared += (p == b.apex) + (p == b.second) + (p == b.third);
      }
    }
  }
  EXPECT_GT(shared, 0);
}

}  // namespace
}  // namespace lobewright
