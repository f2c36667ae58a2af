#include "orbital/classic_orbital.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/classic_samples.h"

namespace lobewright {
namespace {

using testing::ClassicBuilder;

TEST(ClassicOrbital, HydrogenIsANormalisedSlaterFunction) {
  const ClassicOrbital orbital = ClassicBuilder().add("H", {0, 0, 0}, 1.0f).orbital(1);
  EXPECT_EQ(orbital.valueAt(0, 0, 0), testing::sampleParameters().normS[0]);
  EXPECT_NEAR(orbital.valueAt(0, 0, 0), 0.537166, 1e-6);
  for (const float r : {0.25f, 1.0f, 2.5f}) {
    EXPECT_NEAR(orbital.valueAt(0, r, 0), 0.537166 * std::exp(-1.82888 * r), 1e-6) << r;
  }
}

TEST(ClassicOrbital, ValueDoesNotDependOnTheScale) {
  ClassicBuilder builder;
  builder.add("H", {0, 0, 0}, 1.0f).add("C", {1.1f, 0.2f, -0.3f}, 0.4f, -0.3f, 0.2f, 0.7f);
  const ClassicOrbital unscaled = builder.orbital(1);
  const ClassicOrbital scaled = builder.orbital(4);
  for (const Point p : {Point{1, 0, 0}, Point{0.5f, -0.25f, 0.75f}, Point{2, 1, 0.5f}}) {
    EXPECT_EQ(scaled.valueAt(4 * p.x, 4 * p.y, 4 * p.z), unscaled.valueAt(p.x, p.y, p.z));
  }
  EXPECT_EQ(scaled.atomPosition(1), (Point{4.4f, 0.8f, -1.2f}));
}

TEST(ClassicOrbital, TwoShellAtomAddsNothingAtItsCentre) {
  const ClassicOrbital orbital =
      ClassicBuilder().add("O", {1, 2, 3}, 0.9f, 0.5f, -0.5f, 0.25f).orbital(4);
  EXPECT_EQ(orbital.valueAt(4, 8, 12), 0.0f);
  EXPECT_NE(orbital.valueAt(5, 8, 12), 0.0f);
}

TEST(ClassicOrbital, AtomsAtOrBeyondTheCutoffAreLeftOut) {
  const ClassicOrbital orbital = ClassicBuilder().add("H", {0, 0, 0}, 1.0f).orbital(4, 3.5f);
  EXPECT_EQ(orbital.cutoffSquared(), 196.0f);
  EXPECT_EQ(orbital.valueAt(14, 0, 0), 0.0f);
  EXPECT_GT(orbital.valueAt(13.99f, 0, 0), 0.0f);
  EXPECT_EQ(orbital.valueAt(0, 0, -14), 0.0f);
}

TEST(ClassicOrbital, ScaleDividesNormalisationOfTwoShellElementsOnly) {
  const Pm3ParameterSet& table = testing::sampleParameters();
  const ClassicOrbital orbital =
      ClassicBuilder().add("H", {0, 0, 0}, 1.0f).add("Cl", {1, 0, 0}, 1.0f).orbital(2);
  const AtomOrbital& hydrogen = orbital.atoms()[0];
  const AtomOrbital& chlorine = orbital.atoms()[1];
  EXPECT_EQ(hydrogen.normS, table.normS[0]);
  EXPECT_EQ(hydrogen.zetaS, table.zetaS[0] / 2.0f);
  EXPECT_EQ(chlorine.normP, table.normP[7] / 2.0f);
  EXPECT_EQ(chlorine.zetaP, table.zetaP[7] / 2.0f);
}

TEST(ClassicOrbital, ZeroCoefficientsAddZero) {
  const ClassicOrbital orbital =
      ClassicBuilder().add("N", {0, 0, 0}, 0.0f).add("H", {0, 0, 0.5f}, 0.0f).orbital(4);
  EXPECT_EQ(orbital.valueAt(1, 2, 3), 0.0f);
}

// Values of formaldehyde's HOMO in grid units at scale 4, computed independently from the
// documented single- and double-precision steps. Any change in the order or precision of the
// arithmetic changes at least one of them.
TEST(ClassicOrbital, FormaldehydeHomoToTheBit) {
  const testing::ClassicMoRead read = testing::readClassicMoSample("formaldehyde.mno", 6);
  ASSERT_TRUE(read.read);
  const ClassicOrbital orbital(read.calculation, read.coefficients, 4, 3.5f);
  struct Case {
    Point p;
    float expected;
  };
  const Case cases[] = {
      {{1.0f, 1.0f, 0.0f}, 0x1.74df3000p-4f},      // 0.0910331607
      {{2.5f, 1.5f, -0.5f}, -0x1.1b4f1800p-4f},    // -0.0691672266
      {{-1.25f, 3.0f, 0.75f}, 0x1.34f82e00p-3f},   // 0.15086399
      {{5.0f, -2.0f, 1.0f}, 0x1.23953000p-2f},     // 0.284748793
      {{0.0625f, 0.5f, 0.1f}, 0x1.d2cc1800p-4f},   // 0.11396417
      {{10.0f, 4.0f, -3.0f}, -0x1.7ab25000p-10f},  // -0.00144461263
  };
  for (const Case& c : cases) {
    EXPECT_EQ(orbital.valueAt(c.p.x, c.p.y, c.p.z), c.expected)
        << c.p.x << ' ' << c.p.y << ' ' << c.p.z;
  }
}

}  // namespace
}  // namespace lobewright
