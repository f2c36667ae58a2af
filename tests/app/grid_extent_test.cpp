#include "app/grid_extent.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lobewright
