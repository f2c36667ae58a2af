#include "app/grid_extent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/classic_samples.h"

namespace lobewright {
namespace {

using testing::ClassicBuilder;

TEST(GridExtent, MarginIsTruncatedTowardZero) {
  const ClassicOrbital orbital =
      ClassicBuilder().add("H", {-1.2f, 0, 0}, 1).add("H", {1.2f, 0, 0}, 1).orbital(4);
  const GridBounds bounds = computeGridBounds(orbital, 4);
  EXPECT_EQ(bounds.xLow, -10);
  EXPECT_EQ(bounds.xHigh, 10);
  EXPECT_EQ(bounds.yLow, -6);
  EXPECT_EQ(bounds.zHigh, 6);
}

TEST(GridExtent, PositiveLowerBoundsAndScaleOne) {
  const ClassicOrbital atOrigin = ClassicBuilder().add("H", {0, 0, 0}, 1).orbital(1);
  EXPECT_EQ(computeGridBounds(atOrigin, 1).xLow, -1);
  EXPECT_EQ(computeGridBounds(atOrigin, 1).zHigh, 1);
  // At 7.3 and -7.3 grid units once scaled.
  const ClassicOrbital moved = ClassicBuilder().add("H", {1.825f, -1.825f, 0}, 1).orbital(4);
  const GridBounds bounds = computeGridBounds(moved, 4);
  EXPECT_EQ(bounds.xLow, 1);    // trunc(1.3)
  EXPECT_EQ(bounds.xHigh, 13);  // trunc(13.3)
  EXPECT_EQ(bounds.yLow, -13);
  EXPECT_EQ(bounds.yHigh, -1);
}

constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();

// Two hydrogen atoms on a grid of scale 1 (margin 1.5).
ClassicOrbital pairAt(Point a, Point b) {
  return ClassicBuilder().add("H", a, 1).add("H", b, 1).orbital(1);
}

TEST(GridExtent, BoundsWithinThirtyTwoBitsFit) {
  const ClassicOrbital orbital = pairAt({-1e9f, 0, 0}, {1e9f, 0, 0});
  EXPECT_TRUE(gridBoundsFit(orbital, 1));
  const GridBounds bounds = computeGridBounds(orbital, 1);
  EXPECT_EQ(bounds.xLow, -1000000001);
  EXPECT_EQ(bounds.xHigh, 1000000001);
}

TEST(GridExtent, BoundsBeyondThirtyTwoBitsDoNotFitAndAreClamped) {
  const ClassicOrbital far = pairAt({-3e9f, 0, 0}, {0, 0, 5e9f});
  EXPECT_FALSE(gridBoundsFit(far, 1));
  GridBounds bounds = computeGridBounds(far, 1);
  EXPECT_EQ(bounds.xLow, kLeast);
  EXPECT_EQ(bounds.xHigh, 1);
  EXPECT_EQ(bounds.zHigh, kGreatest);

  const float infinity = std::numeric_limits<float>::infinity();
  const ClassicOrbital atInfinity = pairAt({0, -infinity, 0}, {0, infinity, 0});
  EXPECT_FALSE(gridBoundsFit(atInfinity, 1));
  bounds = computeGridBounds(atInfinity, 1);
  EXPECT_EQ(bounds.yLow, kLeast);
  EXPECT_EQ(bounds.yHigh, kGreatest);

  const float nan = std::numeric_limits<float>::quiet_NaN();
  const ClassicOrbital notANumber = pairAt({nan, 0, 0}, {1, 0, 0});
  EXPECT_FALSE(gridBoundsFit(notANumber, 1));
  EXPECT_EQ(computeGridBounds(notANumber, 1).xLow, 0);
}

TEST(GridExtent, AnExtentBeyondThirtyTwoBitsDoesNotFitThoughEachBoundDoes) {
  // Each bound is a 32-bit number, but high minus low is not: no sweep could count the cubes.
  EXPECT_FALSE(gridBoundsFit(pairAt({0, -1.5e9f, 0}, {0, 1.5e9f, 0}), 1));
}

}  // namespace
}  // namespace lobewright
