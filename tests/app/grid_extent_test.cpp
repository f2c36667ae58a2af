#include "app/grid_extent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/molecule_builder.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::addAtom;

TEST(GridExtent, MarginIsTruncatedTowardZero) {
  testing::RecordingSink sink;
  Molecule molecule("", sink);
  addAtom(molecule, "H", {-1.2f, 0, 0}, 1);
  addAtom(molecule, "H", {1.2f, 0, 0}, 1);
  molecule.setScale(4);
  const GridBounds bounds = computeGridBounds(molecule, 4);
  EXPECT_EQ(bounds.xLow, -10);
  EXPECT_EQ(bounds.xHigh, 10);
  EXPECT_EQ(bounds.yLow, -6);
  EXPECT_EQ(bounds.zHigh, 6);
}

TEST(GridExtent, PositiveLowerBoundsAndScaleOne) {
  testing::RecordingSink sink;
  Molecule molecule("", sink);
  addAtom(molecule, "H", {0, 0, 0}, 1);
  EXPECT_EQ(computeGridBounds(molecule, 1).xLow, -1);
  EXPECT_EQ(computeGridBounds(molecule, 1).zHigh, 1);
  molecule.atomX[0] = 7.3f;
  molecule.atomY[0] = -7.3f;
  const GridBounds bounds = computeGridBounds(molecule, 4);
  EXPECT_EQ(bounds.xLow, 1);    // trunc(1.3)
  EXPECT_EQ(bounds.xHigh, 13);  // trunc(13.3)
  EXPECT_EQ(bounds.yLow, -13);
  EXPECT_EQ(bounds.yHigh, -1);
}

constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();

// Two hydrogen atoms already in grid units (scale 1, margin 1.5).
Molecule pairAt(testing::RecordingSink& sink, Point a, Point b) {
  Molecule molecule("", sink);
  addAtom(molecule, "H", a, 1);
  addAtom(molecule, "H", b, 1);
  return molecule;
}

TEST(GridExtent, BoundsWithinThirtyTwoBitsFit) {
  testing::RecordingSink sink;
  const Molecule molecule = pairAt(sink, {-1e9f, 0, 0}, {1e9f, 0, 0});
  EXPECT_TRUE(gridBoundsFit(molecule, 1));
  const GridBounds bounds = computeGridBounds(molecule, 1);
  EXPECT_EQ(bounds.xLow, -1000000001);
  EXPECT_EQ(bounds.xHigh, 1000000001);
}

TEST(GridExtent, BoundsBeyondThirtyTwoBitsDoNotFitAndAreClamped) {
  testing::RecordingSink sink;
  Molecule far = pairAt(sink, {-3e9f, 0, 0}, {0, 0, 5e9f});
  EXPECT_FALSE(gridBoundsFit(far, 1));
  GridBounds bounds = computeGridBounds(far, 1);
  EXPECT_EQ(bounds.xLow, kLeast);
  EXPECT_EQ(bounds.xHigh, 1);
  EXPECT_EQ(bounds.zHigh, kGreatest);

  const float infinity = std::numeric_limits<float>::infinity();
  Molecule atInfinity = pairAt(sink, {0, -infinity, 0}, {0, infinity, 0});
  EXPECT_FALSE(gridBoundsFit(atInfinity, 1));
  bounds = computeGridBounds(atInfinity, 1);
  EXPECT_EQ(bounds.yLow, kLeast);
  EXPECT_EQ(bounds.yHigh, kGreatest);

  const float nan = std::numeric_limits<float>::quiet_NaN();
  Molecule notANumber = pairAt(sink, {nan, 0, 0}, {1, 0, 0});
  EXPECT_FALSE(gridBoundsFit(notANumber, 1));
  EXPECT_EQ(computeGridBounds(notANumber, 1).xLow, 0);
}

TEST(GridExtent, AnExtentBeyondThirtyTwoBitsDoesNotFitThoughEachBoundDoes) {
  // Each bound is a 32-bit number, but high minus low is not: no sweep could count the cubes.
  testing::RecordingSink sink;
  EXPECT_FALSE(gridBoundsFit(pairAt(sink, {0, -1.5e9f, 0}, {0, 1.5e9f, 0}), 1));
}

}  // namespace
}  // namespace lobewright
