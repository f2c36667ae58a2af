#include "orbital/exact_orbital.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "input/aux_reader.h"
#include "input/orbital_choice.h"
#include "orbital/deorthogonalisation.h"
#include "orbital/slater_basis.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::dataPath;

Calculation readAuxSample(const std::string& name) {
  CalculationRead read = readAuxFile(dataPath("aux/" + name));
  if (!read.calculation) {
    ADD_FAILURE() << read.error.message();
    return {};
  }
  return std::move(*read.calculation);
}

// An MO with a d shell and one without, from full and from default precision, and an open shell.
struct Case {
  const char* file;
  Spin spin;
};
constexpr Case kCases[] = {{"chloroform_PM7.aux", Spin::none},
                           {"thiophene_PM7.aux", Spin::none},
                           {"caffeine_PM7_default.aux", Spin::none},
                           {"methylradical_PM7.aux", Spin::beta}};

struct Loaded {
  Calculation calculation;
  std::vector<ExactOrbital> orbitals;  // HOMO and LUMO
};

Loaded loadCase(const Case& c) {
  Loaded loaded{readAuxSample(c.file), {}};
  for (const OrbitalFound& found :
       {findHomo(loaded.calculation, c.spin), findLumo(loaded.calculation, c.spin)}) {
    if (!found.index) {
      ADD_FAILURE() << found.error;
      continue;
    }
    ExactOrbital::Build build =
        ExactOrbital::build(loaded.calculation, loaded.calculation.orbitals[*found.index]);
    if (!build.orbital) {
      ADD_FAILURE() << build.error;
      continue;
    }
    loaded.orbitals.push_back(std::move(*build.orbital));
  }
  return loaded;
}

// A box around the molecule with room to spare, in Angstrom.
std::pair<Vec3, Vec3> around(const Calculation& calculation, double margin) {
  Vec3 low = calculation.atoms.front().position;
  Vec3 high = low;
  for (const CalculationAtom& atom : calculation.atoms) {
    low = {std::min(low.x, atom.position.x), std::min(low.y, atom.position.y),
           std::min(low.z, atom.position.z)};
    high = {std::max(high.x, atom.position.x), std::max(high.y, atom.position.y),
            std::max(high.z, atom.position.z)};
  }
  return {low - Vec3{margin, margin, margin}, high + Vec3{margin, margin, margin}};
}

Vec3 randomPoint(std::mt19937& random, const Vec3& low, const Vec3& high) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  return {low.x + unit(random) * (high.x - low.x), low.y + unit(random) * (high.y - low.y),
          low.z + unit(random) * (high.z - low.z)};
}

// The literal sum over every basis function, with nothing left out.
double literalValue(const Calculation& calculation, const std::vector<double>& d, const Vec3& p) {
  double sum = 0.0;
  for (std::size_t mu = 0; mu < calculation.basis.size(); ++mu) {
    const BasisFunction& function = calculation.basis[mu];
    const Vec3 offset = kBohrPerAngstrom * (p - calculation.atoms[function.atom].position);
    sum += d[mu] * slaterValue(function, offset);
  }
  return sum;
}

TEST(ExactOrbital, AgreesWithTheSumOverEveryBasisFunction) {
  std::mt19937 random(5);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const Loaded loaded = loadCase(c);
    const auto [low, high] = around(loaded.calculation, 4.0);
    for (const ExactOrbital& orbital : loaded.orbitals) {
      for (int trial = 0; trial < 300; ++trial) {
        // Half the points near nuclei, where the functions are steepest.
        Vec3 p = randomPoint(random, low, high);
        if (trial % 2 == 0) {
          p = loaded.calculation.atoms[trial / 2 % loaded.calculation.atoms.size()].position +
              1e-3 * trial * (p - low);
        }
        const double literal = literalValue(loaded.calculation, orbital.aoCoefficients(), p);
        EXPECT_NEAR(orbital.valueAt(p), literal,
                    ExactOrbital::kNegligibleValue * loaded.calculation.atoms.size() + 1e-13);
        EXPECT_EQ(orbital.sampleAt(p).value, orbital.valueAt(p));
      }
    }
  }
}

TEST(ExactOrbital, GradientMatchesFiniteDifferences) {
  std::mt19937 random(6);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const Loaded loaded = loadCase(c);
    const auto [low, high] = around(loaded.calculation, 3.0);
    for (const ExactOrbital& orbital : loaded.orbitals) {
      for (int trial = 0; trial < 200; ++trial) {
        const Vec3 p = randomPoint(random, low, high);
        const FieldSample sample = orbital.sampleAt(p);
        constexpr double h = 1e-5;  // Angstrom
        const Vec3 steps[] = {{h, 0, 0}, {0, h, 0}, {0, 0, h}};
        const double analytic[] = {sample.gradient.x, sample.gradient.y, sample.gradient.z};
        for (int axis = 0; axis < 3; ++axis) {
          const double numeric =
              (orbital.valueAt(p + steps[axis]) - orbital.valueAt(p - steps[axis])) / (2 * h);
          EXPECT_NEAR(analytic[axis], numeric, 1e-6 * (1.0 + std::abs(numeric))) << "axis " << axis;
        }
      }
    }
  }
}

// The mesher skips a box whose bound is below the threshold, so a bound that is too low loses
// part of a lobe. Boxes of every size, near nuclei and far out.
TEST(ExactOrbital, BoundOfMagnitudeHoldsInEveryBox) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> logSize(std::log(0.01), std::log(8.0));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const Loaded loaded = loadCase(c);
    const auto [low, high] = around(loaded.calculation, 6.0);
    for (const ExactOrbital& orbital : loaded.orbitals) {
      double tightest = 0.0;
      for (int box = 0; box < 400; ++box) {
        const Vec3 corner =
            box % 4 == 0
                ? loaded.calculation.atoms[box / 4 % loaded.calculation.atoms.size()].position
                : randomPoint(random, low, high);
        const Vec3 size{std::exp(logSize(random)), std::exp(logSize(random)),
                        std::exp(logSize(random))};
        const Vec3 boxLow = corner - 0.5 * size;
        const Vec3 boxHigh = corner + 0.5 * size;
        const double bound = orbital.boundOfMagnitude(boxLow, boxHigh);
        for (int point = 0; point < 30; ++point) {
          const double magnitude = std::abs(orbital.valueAt(randomPoint(random, boxLow, boxHigh)));
          EXPECT_GE(bound, magnitude);
          tightest = std::max(tightest, magnitude / bound);
        }
        EXPECT_GE(bound, std::abs(orbital.valueAt(boxLow)));
        EXPECT_GE(bound, std::abs(orbital.valueAt(boxHigh)));
      }
      // A bound is only useful if it is not wildly loose somewhere.
      EXPECT_GT(tightest, 0.1);
    }
  }
}

// A chain of hydrogen atoms 2 Angstrom apart, long enough that most atoms are out of reach of a
// box at one end.
Calculation hydrogenChain(int atoms) {
  Calculation chain;
  std::mt19937 random(8);
  std::normal_distribution<double> normal;
  MolecularOrbital& orbital = chain.orbitals.emplace_back();
  for (int i = 0; i < atoms; ++i) {
    chain.atoms.push_back({"H", {2.0 * i, 0.1 * (i % 3), 0.0}});
    chain.basis.push_back({i, 1, AoType::s, 1.26});
    orbital.coefficients.push_back(normal(random));
  }
  return chain;
}

TEST(ExactOrbital, ListsTheAtomsThatReachABoxAndEvaluatesWithThemAlone) {
  const Calculation chain = hydrogenChain(60);
  const ExactOrbital::Build build = ExactOrbital::build(chain, chain.orbitals[0], false);
  ASSERT_TRUE(build.orbital) << build.error;
  const ExactOrbital& orbital = *build.orbital;
  // A lone 1s function c N Y exp(-zeta r) falls to kNegligibleValue at one distance.
  for (uint32_t atom = 0; atom < chain.atoms.size(); ++atom) {
    const double peak = std::abs(chain.orbitals[0].coefficients[atom]) *
                        slaterNormalisation(1, 1.26) * angularConstant(AoType::s);
    const double reach = std::log(peak / ExactOrbital::kNegligibleValue) / 1.26 * kBohrInAngstrom;
    EXPECT_NEAR(orbital.reachOf(atom), reach, 1e-9 * reach);
  }
  std::vector<uint32_t> atoms;
  std::mt19937 random(9);
  for (const double start : {-3.0, 0.0, 30.0, 57.0, 118.0, 130.0}) {
    const Vec3 low{start, -1.0, -1.0};
    const Vec3 high{start + 2.0, 1.0, 1.5};
    orbital.atomsReaching(low, high, atoms);
    EXPECT_TRUE(std::is_sorted(atoms.begin(), atoms.end()));
    EXPECT_LT(atoms.size(), 16u);
    for (int point = 0; point < 50; ++point) {
      const Vec3 p = randomPoint(random, low, high);
      EXPECT_EQ(orbital.valueAt(p, atoms), orbital.valueAt(p));
      const FieldSample restricted = orbital.sampleAt(p, atoms);
      const FieldSample full = orbital.sampleAt(p);
      EXPECT_EQ(restricted.value, full.value);
      EXPECT_EQ(restricted.gradient, full.gradient);
    }
  }
  orbital.atomsReaching({500, 0, 0}, {501, 1, 1}, atoms);
  EXPECT_TRUE(atoms.empty());
  EXPECT_EQ(orbital.valueAt({500.5, 0.5, 0.5}), 0.0);
  EXPECT_LE(orbital.boundOfMagnitude({500, 0, 0}, {501, 1, 1}), 60 * 1.001e-10);
}

TEST(ExactOrbital, BuildsOnlyWhatItCanEvaluate) {
  const Calculation formaldehyde = readAuxSample("formaldehyde_PM7.aux");
  const MolecularOrbital& homo = formaldehyde.orbitals[5];
  const Vec3 nearOxygen = formaldehyde.atoms[1].position + Vec3{0.1, 0.4, 0.2};

  const ExactOrbital::Build raw = ExactOrbital::build(formaldehyde, homo, false);
  ASSERT_TRUE(raw.orbital);
  EXPECT_EQ(raw.orbital->aoCoefficients(), homo.coefficients);
  const ExactOrbital::Build exact = ExactOrbital::build(formaldehyde, homo);
  ASSERT_TRUE(exact.orbital);
  EXPECT_GT(std::abs(exact.orbital->valueAt(nearOxygen) - raw.orbital->valueAt(nearOxygen)), 1e-3);

  // The file's S^-1/2, when it has one, serves as well as its S.
  Calculation withInverse = formaldehyde;
  withInverse.inverseSqrtOverlap = inverseSqrtOf(formaldehyde.overlap).matrix;
  withInverse.overlap = SymmetricMatrix();
  const ExactOrbital::Build fromInverse = ExactOrbital::build(withInverse, homo);
  ASSERT_TRUE(fromInverse.orbital);
  EXPECT_NEAR(fromInverse.orbital->valueAt(nearOxygen), exact.orbital->valueAt(nearOxygen), 1e-12);

  Calculation noOverlap = formaldehyde;
  noOverlap.overlap = SymmetricMatrix();
  EXPECT_NE(ExactOrbital::build(noOverlap, homo).error.find("holds no overlap matrix"),
            std::string::npos);
  EXPECT_TRUE(ExactOrbital::build(noOverlap, homo, false).orbital);

  MolecularOrbital huge = homo;
  huge.coefficients[0] = 1e308;
  EXPECT_NE(ExactOrbital::build(formaldehyde, huge, false).error.find("too large"),
            std::string::npos);

  MolecularOrbital shortMo = homo;
  shortMo.coefficients.pop_back();
  EXPECT_EQ(ExactOrbital::build(formaldehyde, shortMo).error,
            "MO 6 has 9 coefficients, but the basis has 10 AOs.");

  const struct {
    const char* name;
    BasisFunction function;
    const char* error;
  } broken[] = {
      {"atom out of range", {4, 2, AoType::s, 1.0}, "AO 1 sits on no atom."},
      {"n too small for l",
       {0, 2, AoType::xy, 1.0},
       "AO 1 has the principal quantum number 2, which its type does not allow."},
      {"zero exponent",
       {0, 2, AoType::s, 0.0},
       "AO 1 has an exponent that is not a positive number."},
      {"infinite exponent",
       {0, 2, AoType::s, INFINITY},
       "AO 1 has an exponent that is not a positive number."},
  };
  for (const auto& b : broken) {
    SCOPED_TRACE(b.name);
    Calculation damaged = formaldehyde;
    damaged.basis[0] = b.function;
    EXPECT_EQ(ExactOrbital::build(damaged, homo, false).error, b.error);
    EXPECT_THROW(ExactOrbital(damaged, homo.coefficients), std::invalid_argument);
  }
}

// Points evaluated together give the numbers they give one at a time, to the bit: batches of
// every length around the chunk size, of points close together (a few atoms reach the chunk's
// box) and spread over the molecule (most atoms reach the box, few reach each point), with
// points at nuclei and far out where no atom reaches.
TEST(ExactOrbital, BatchesGiveTheNumbersOfSinglePoints) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> jitter(-0.2, 0.2);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const Loaded loaded = loadCase(c);
    const auto [low, high] = around(loaded.calculation, 6.0);
    const std::vector<CalculationAtom>& atoms = loaded.calculation.atoms;
    for (const ExactOrbital& orbital : loaded.orbitals) {
      for (const std::size_t count :
           {std::size_t{1}, std::size_t{7}, std::size_t{16}, std::size_t{17}, std::size_t{40}}) {
        for (const bool close : {true, false}) {
          std::vector<Vec3> points;
          const Vec3 centre = randomPoint(random, low, high);
          for (std::size_t i = 0; i < count; ++i) {
            points.push_back(close ? centre + Vec3{jitter(random), jitter(random), jitter(random)}
                                   : randomPoint(random, low, high));
          }
          points[count / 2] = atoms[count % atoms.size()].position;
          points[count - 1] = high + Vec3{30.0, 0.0, 0.0};
          std::vector<double> values(count);
          std::vector<FieldSample> samples(count);
          orbital.valuesAt(points, values);
          orbital.samplesAt(points, samples);
          for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(values[i], orbital.valueAt(points[i])) << i;
            EXPECT_EQ(samples[i].value, values[i]) << i;
            EXPECT_EQ(samples[i].gradient, orbital.sampleAt(points[i]).gradient) << i;
          }
          EXPECT_EQ(values[count - 1], 0.0);
        }
      }
    }
    std::vector<double> tooFew(2);
    EXPECT_THROW(loaded.orbitals.front().valuesAt(std::vector<Vec3>(3), tooFew),
                 std::invalid_argument);
  }
}

TEST(ExactOrbital, NegatedCoefficientsNegateTheField) {
  const Calculation thiophene = readAuxSample("thiophene_PM7.aux");
  std::vector<double> d = thiophene.orbitals[12].coefficients;
  const ExactOrbital orbital(thiophene, d);
  for (double& value : d) value = -value;
  const ExactOrbital negated(thiophene, d);
  std::mt19937 random(10);
  const auto [low, high] = around(thiophene, 2.0);
  for (int trial = 0; trial < 100; ++trial) {
    const Vec3 p = randomPoint(random, low, high);
    EXPECT_EQ(negated.valueAt(p), -orbital.valueAt(p));
    EXPECT_EQ(negated.boundOfMagnitude(p, p + Vec3{1, 1, 1}),
              orbital.boundOfMagnitude(p, p + Vec3{1, 1, 1}));
  }
}

}  // namespace
}  // namespace lobewright
