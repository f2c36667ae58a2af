#include "writers/bond_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "writers/real_format.h"

namespace lobewright {
namespace {

// The two angles as the POV-Ray scene writes them (negated).
struct WrittenAngles {
  std::string z;
  std::string y;
};

WrittenAngles writtenAngles(Point b) {
  const BondGeometry bond = computeBond({1, 2, 3}, {1 + b.x, 2 + b.y, 3 + b.z});
  return {formatReal(-bond.zAngle), formatReal(-bond.yAngle)};
}

TEST(BondGeometry, AxisBondsUseTheSinglePrecisionPi) {
  EXPECT_EQ(writtenAngles({4, 0, 0}).z, "-90.0001");
  EXPECT_EQ(writtenAngles({4, 0, 0}).y, "0");
  EXPECT_EQ(writtenAngles({-4, 0, 0}).z, "-90.0001");
  EXPECT_EQ(writtenAngles({-4, 0, 0}).y, "-180");
  EXPECT_EQ(writtenAngles({0, 4, 0}).z, "0");
  EXPECT_EQ(writtenAngles({0, -4, 0}).z, "-180");
  EXPECT_EQ(writtenAngles({4, 0, 4}).y, "-45");
  EXPECT_EQ(computeBond({0, 0, 0}, {3, 4, 0}).length, 5.0f);
}

TEST(BondGeometry, EqualXTurnsTowardsTheOtherAtomWhateverTheSignOfZero) {
  for (const float zeroX : {0.0f, -0.0f}) {
    const BondGeometry up = computeBond({0, 0, 0}, {zeroX, 0, 2});
    const BondGeometry down = computeBond({0, 0, 0}, {zeroX, 0, -2});
    EXPECT_EQ(formatReal(up.yAngle), "90.0001");
    EXPECT_EQ(formatReal(down.yAngle), "-90.0001");
    EXPECT_EQ(formatReal(up.zAngle), "90.0001");
    const BondGeometry alongY = computeBond({0, 0, 0}, {zeroX, 3, 0});
    EXPECT_EQ(alongY.yAngle, 0.0f);
    EXPECT_EQ(alongY.zAngle, 0.0f);
  }
}

TEST(BondGeometry, CoincidentAtomsAreNoBondAndGiveNoNan) {
  const BondGeometry same = computeBond({1, 1, 1}, {1, 1, 1});
  EXPECT_FALSE(std::isnan(same.yAngle));
  EXPECT_FALSE(std::isnan(same.zAngle));
  EXPECT_FALSE(isBond(same, 4, 1.6f));
}

TEST(BondGeometry, BondTestIsStrict) {
  EXPECT_FALSE(isBond(computeBond({0, 0, 0}, {6.4f, 0, 0}), 4, 1.6f));
  EXPECT_TRUE(isBond(computeBond({0, 0, 0}, {6.3999f, 0, 0}), 4, 1.6f));
}

TEST(BondGeometry, RadiusFollowsTheScale) {
  EXPECT_EQ(formatReal(atomRadius(4)), "0.2");
  EXPECT_EQ(formatReal(atomRadius(1)), "0.05");
}

}  // namespace
}  // namespace lobewright
