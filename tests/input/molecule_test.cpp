#include <gtest/gtest.h>

#include <cmath>

#include "input/molecule.h"
#include "support/molecule_builder.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::RecordingSink;

// A molecule on the built-in table with the given atoms placed by hand.
class OrbitalEvaluator : public ::testing::Test {
 protected:
  OrbitalEvaluator() : m_molecule(dataPath("pm3r.txt"), m_sink) {}

  void addAtom(const char* symbol, Point at, float s, float px = 0, float py = 0, float pz = 0) {
    testing::addAtom(m_molecule, symbol, at, s, px, py, pz);
  }

  RecordingSink m_sink;
  Molecule m_molecule;
};

TEST_F(OrbitalEvaluator, HydrogenIsANormalisedSlaterFunction) {
  addAtom("H", {0, 0, 0}, 1.0f);
  m_molecule.setScale(1.0f);
  m_molecule.setCutoff(3.5f);
  EXPECT_EQ(m_molecule.valueAt(0, 0, 0), m_molecule.parameters.normS[0]);
  EXPECT_NEAR(m_molecule.valueAt(0, 0, 0), 0.537166, 1e-6);
  for (const float r : {0.25f, 1.0f, 2.5f}) {
    EXPECT_NEAR(m_molecule.valueAt(0, r, 0), 0.537166 * std::exp(-1.82888 * r), 1e-6) << r;
  }
}

TEST_F(OrbitalEvaluator, ValueDoesNotDependOnTheScale) {
  addAtom("H", {0, 0, 0}, 1.0f);
  addAtom("C", {1.1f, 0.2f, -0.3f}, 0.4f, -0.3f, 0.2f, 0.7f);
  Molecule scaled = m_molecule;
  m_molecule.setScale(1.0f);
  m_molecule.setCutoff(3.5f);
  scaled.setScale(4.0f);
  scaled.setCutoff(3.5f);
  for (const Point p : {Point{1, 0, 0}, Point{0.5f, -0.25f, 0.75f}, Point{2, 1, 0.5f}}) {
    EXPECT_EQ(scaled.valueAt(4 * p.x, 4 * p.y, 4 * p.z), m_molecule.valueAt(p.x, p.y, p.z));
  }
  EXPECT_EQ(scaled.atomPosition(1), (Point{4.4f, 0.8f, -1.2f}));
}

TEST_F(OrbitalEvaluator, TwoShellAtomAddsNothingAtItsCentre) {
  addAtom("O", {1, 2, 3}, 0.9f, 0.5f, -0.5f, 0.25f);
  m_molecule.setScale(4.0f);
  m_molecule.setCutoff(3.5f);
  EXPECT_EQ(m_molecule.valueAt(4, 8, 12), 0.0f);
  EXPECT_NE(m_molecule.valueAt(5, 8, 12), 0.0f);
}

TEST_F(OrbitalEvaluator, AtomsAtOrBeyondTheCutoffAreLeftOut) {
  addAtom("H", {0, 0, 0}, 1.0f);
  m_molecule.setScale(4.0f);
  m_molecule.setCutoff(3.5f);
  EXPECT_EQ(m_molecule.cutoffSquared, 196.0f);
  EXPECT_EQ(m_molecule.valueAt(14, 0, 0), 0.0f);
  EXPECT_GT(m_molecule.valueAt(13.99f, 0, 0), 0.0f);
  EXPECT_EQ(m_molecule.valueAt(0, 0, -14), 0.0f);
}

TEST_F(OrbitalEvaluator, CutoffBeforeOrAfterScaleEndsTheSame) {
  Molecule cutFirst = m_molecule;
  cutFirst.setCutoff(3.5f);
  cutFirst.setScale(4.0f);
  m_molecule.setScale(4.0f);
  m_molecule.setCutoff(3.5f);
  EXPECT_EQ(cutFirst.cutoffSquared, m_molecule.cutoffSquared);
}

TEST_F(OrbitalEvaluator, ScaleDividesNormalisationOfTwoShellElementsOnly) {
  const Pm3ParameterSet before = m_molecule.parameters;
  m_molecule.setScale(2.0f);
  EXPECT_EQ(m_molecule.parameters.normS[0], before.normS[0]);
  EXPECT_EQ(m_molecule.parameters.zetaS[0], before.zetaS[0] / 2.0f);
  EXPECT_EQ(m_molecule.parameters.normP[7], before.normP[7] / 2.0f);
  EXPECT_EQ(m_molecule.parameters.zetaP[7], before.zetaP[7] / 2.0f);
}

TEST_F(OrbitalEvaluator, ZeroCoefficientsAddZero) {
  addAtom("N", {0, 0, 0}, 0.0f);
  addAtom("H", {0, 0, 0.5f}, 0.0f);
  m_molecule.setScale(4.0f);
  m_molecule.setCutoff(3.5f);
  EXPECT_EQ(m_molecule.valueAt(1, 2, 3), 0.0f);
}

// Values of formaldehyde's HOMO in grid units at scale 4, computed independently from the
// documented single- and double-precision steps. Any change in the order or precision of the
// arithmetic changes at least one of them.
TEST_F(OrbitalEvaluator, FormaldehydeHomoToTheBit) {
  ASSERT_TRUE(m_molecule.readMopacOutput(dataPath("formaldehyde.mno"), 6));
  m_molecule.setScale(4.0f);
  m_molecule.setCutoff(3.5f);
  struct Case {
    Point p;
    float expected;
  };
  const Case cases[] = {
      {{1.0f, 1.0f, 0.0f}, 0x1.74df3000p-4f},  // 0.0910331607
      {{2.5f, 1.5f, -0.5f}, -0x1.1b4f1800p-4f},  // -0.0691672266
      {{-1.25f, 3.0f, 0.75f}, 0x1.34f82e00p-3f},  // 0.15086399
      {{5.0f, -2.0f, 1.0f}, 0x1.23953000p-2f},  // 0.284748793
      {{0.0625f, 0.5f, 0.1f}, 0x1.d2cc1800p-4f},  // 0.11396417
      {{10.0f, 4.0f, -3.0f}, -0x1.7ab25000p-10f},  // -0.00144461263
  };
  for (const Case& c : cases) {
    EXPECT_EQ(m_molecule.valueAt(c.p.x, c.p.y, c.p.z), c.expected)
        << c.p.x << ' ' << c.p.y << ' ' << c.p.z;
  }
}

}  // namespace
}  // namespace lobewright
