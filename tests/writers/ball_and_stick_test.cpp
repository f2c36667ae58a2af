#include "writers/ball_and_stick.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "input/elements.h"
#include "support/closed_meshes.h"
#include "writers/colours.h"

namespace lobewright {
namespace {

std::vector<CalculationAtom> pair(const char* a, const char* b, double distance) {
  return {{a, {0.3, -0.2, 0.1}}, {b, Vec3{0.3, -0.2, 0.1} + distance * Vec3{0.6, 0.0, 0.8}}};
}

TEST(BallAndStick, BondsFollowCovalentRadiiWithTolerance) {
  struct Case {
    const char* a;
    const char* b;
    double distance;
    bool bonded;
  };
  for (const Case& c :
       {Case{"C", "Cl", 1.77, true}, Case{"C", "Br", 1.94, true}, Case{"C", "S", 1.82, true},
        Case{"C", "I", 2.14, true}, Case{"C", "C", 1.54, true}, Case{"O", "H", 0.96, true},
        Case{"H", "H", 1.8, false}, Case{"C", "C", 2.5, false}, Case{"C", "C", 0.0, false},
        Case{"Xx", "C", 1.5, true}}) {
    SCOPED_TRACE(std::string(c.a) + "-" + c.b + " at " + std::to_string(c.distance));
    const BallAndStickModel model = buildBallAndStick(pair(c.a, c.b, c.distance));
    EXPECT_EQ(model.spheres.size(), 2u);
    EXPECT_EQ(model.sticks.size(), c.bonded ? 2u : 0u);
  }
}

TEST(BallAndStick, HalfSticksRunFromEachAtomToOnePointBetweenTheSpheres) {
  const auto atoms = pair("C", "Cl", 1.77);
  const BallAndStickModel model = buildBallAndStick(atoms);
  ASSERT_EQ(model.sticks.size(), 2u);
  const StructureStick& fromC = model.sticks[0];
  const StructureStick& fromCl = model.sticks[1];
  EXPECT_EQ(fromC.start, atoms[0].position);
  EXPECT_EQ(fromCl.start, atoms[1].position);
  EXPECT_EQ(fromC.end, fromCl.end);
  EXPECT_EQ(fromC.colour, elementColour(6));
  EXPECT_EQ(fromCl.colour, elementColour(17));
  EXPECT_EQ(fromCl.atomicNumber, 17);
  // Equal visible halves: each stick reaches as far beyond its own sphere as the other.
  const double visibleC = norm(fromC.end - fromC.start) - model.spheres[0].radius;
  const double visibleCl = norm(fromCl.end - fromCl.start) - model.spheres[1].radius;
  EXPECT_NEAR(visibleC, visibleCl, 1e-12);
  EXPECT_GT(visibleC, 0.0);
  // Spheres are wider than the sticks, larger atoms larger.
  EXPECT_GT(model.spheres[0].radius, fromC.radius);
  EXPECT_GT(model.spheres[1].radius, model.spheres[0].radius);
}

TEST(BallAndStick, SpheresKeepAtomOrderAndUnknownSymbolsGetTheFallback) {
  std::vector<CalculationAtom> atoms = testing::formaldehyde();
  atoms.push_back({"Q", {5, 5, 5}});
  atoms.push_back({"C", {std::numeric_limits<double>::quiet_NaN(), 0, 0}});
  const BallAndStickModel model = buildBallAndStick(atoms);
  ASSERT_EQ(model.spheres.size(), 5u);  // the atom without a position is left out
  EXPECT_EQ(model.spheres[1].centre, atoms[1].position);
  EXPECT_EQ(model.spheres[1].atomicNumber, 8);
  EXPECT_EQ(model.spheres[4].atomicNumber, 0);
  EXPECT_EQ(model.spheres[4].colour, kUnknownElementColour);
  EXPECT_EQ(model.sticks.size(), 2u * 3u);  // C=O and two C-H
}

TEST(BallAndStick, AtomsPiledOnOneSpotGetAFewSticksEach) {
  std::vector<CalculationAtom> atoms;
  for (int i = 0; i < 200; ++i) atoms.push_back({"C", {0.01 * i, 0.0, 0.0}});
  const BallAndStickModel model = buildBallAndStick(atoms);
  EXPECT_EQ(model.spheres.size(), 200u);
  EXPECT_LE(model.sticks.size(), 200u * 16u);
}

TEST(ElementColours, EveryElementStandsApartFromBothLobes) {
  for (int z = 0; z <= kLastElement + 1; ++z) {
    const Rgb colour = elementColour(z);
    SCOPED_TRACE(z);
    EXPECT_GE(colourDistance(colour, kPositiveLobeColour), kMinimumLobeColourDistance);
    EXPECT_GE(colourDistance(colour, kNegativeLobeColour), kMinimumLobeColourDistance);
    for (const float c : {colour.r, colour.g, colour.b}) {
      EXPECT_GE(c, 0.0f);
      EXPECT_LE(c, 1.0f);
    }
  }
  EXPECT_EQ(elementColour(0), kUnknownElementColour);
  EXPECT_EQ(elementColour(kLastElement + 1), kUnknownElementColour);
  EXPECT_NE(elementColour(8), elementColour(7));
}

}  // namespace
}  // namespace lobewright
