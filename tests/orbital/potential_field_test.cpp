// The electrostatic potential against a direct integration of the same density, and far away
// against the net charge.
#include "orbital/potential_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "input/aux_reader.h"
#include "orbital/density_field.h"
#include "orbital/density_matrix.h"
#include "orbital/slater_basis.h"
#include "support/becke_quadrature.h"
#include "support/test_files.h"

namespace lobewright {
namespace {

struct Molecule {
  Calculation calculation;
  std::unique_ptr<DensityField> density;
};

Molecule loadMolecule(const std::string& name) {
  CalculationRead read = readAuxFile(testing::dataPath("aux/" + name));
  if (!read.calculation) ADD_FAILURE() << read.error.message();
  Molecule molecule{std::move(*read.calculation), nullptr};
  const AoDensity density = densityOf(molecule.calculation, DensityKind::total);
  if (density.matrix.empty()) ADD_FAILURE() << density.error;
  molecule.density = std::make_unique<DensityField>(molecule.calculation, density.matrix);
  return molecule;
}

// V at p by quadrature: the cores' 1/r less the density's integral over 1/|r - p|, in a.u.
double directPotential(const Molecule& molecule, const Vec3& p) {
  double v = 0.0;
  const Calculation& c = molecule.calculation;
  for (std::size_t a = 0; a < c.atoms.size(); ++a) {
    v += c.coreCharges[a] / (kBohrPerAngstrom * norm(p - c.atoms[a].position));
  }
  const double electrons = testing::beckeIntegral(*molecule.density, c.atoms, 50, 16, p);
  return v - electrons * kBohrPerAngstrom * kBohrPerAngstrom;
}

// Thiophene's sulfur has d functions; caffeine has atoms far from each other.
TEST(PotentialField, AgreesWithADirectIntegrationWhereTheDensityIsSmall) {
  for (const char* name : {"formaldehyde_PM7.aux", "thiophene_PM6.aux", "caffeine_PM7.aux"}) {
    const Molecule molecule = loadMolecule(name);
    const PotentialField potential(molecule.calculation.atoms, molecule.calculation.coreCharges,
                                   *molecule.density);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> offset(-3.5, 3.5);
    int compared = 0;
    for (int n = 0; compared < 5 && n < 400; ++n) {
      const Vec3 p = molecule.calculation
                         .atoms[static_cast<std::size_t>(n) % molecule.calculation.atoms.size()]
                         .position +
                     Vec3{offset(random), offset(random), offset(random)};
      const double rho = molecule.density->valueAt(p);
      if (rho > 0.01 || rho < 1e-4) continue;
      const double v = potential.valueAt(p);
      const double expected = directPotential(molecule, p);
      EXPECT_NEAR(v, expected, 1e-3)
          << name << " at " << p.x << ' ' << p.y << ' ' << p.z << ", rho " << rho;
      ++compared;
    }
    EXPECT_EQ(compared, 5) << name;
  }
}

TEST(PotentialField, FarAwayItIsTheNetChargeOverTheDistance) {
  for (const auto& [name, charge] :
       {std::pair{"formaldehyde_PM7_cation.aux", 1.0},
        std::pair{"formaldehyde_PM7_anion.aux", -1.0}, std::pair{"formaldehyde_PM7.aux", 0.0}}) {
    const Molecule molecule = loadMolecule(name);
    const PotentialField potential(molecule.calculation.atoms, molecule.calculation.coreCharges,
                                   *molecule.density);
    EXPECT_NEAR(potential.charge(), charge, 1e-3) << name;
    Vec3 centre;
    for (const CalculationAtom& atom : molecule.calculation.atoms) centre = centre + atom.position;
    centre = (1.0 / static_cast<double>(molecule.calculation.atoms.size())) * centre;
    for (const Vec3& direction : {Vec3{1, 0, 0}, Vec3{0.6, -0.8, 0}, Vec3{0, 0.6, 0.8}}) {
      const double r = 200.0 * kBohrPerAngstrom;
      const double v = potential.valueAt(centre + 200.0 * direction);
      EXPECT_NEAR(v * r, charge, 0.01) << name;
    }
  }
}

// A sample's value is the value to the bit, and its gradient, integrated along short segments
// (Simpson's rule), gives the potential's change along them, inside the pieces' tables and
// beyond them, near the nuclei (central differences there) and far from them. Thiophene's
// sulfur has d functions.
TEST(PotentialField, SamplesHoldTheValueAndAGradientThatIntegratesToTheChange) {
  for (const char* name : {"formaldehyde_PM7.aux", "thiophene_PM6.aux"}) {
    const Molecule molecule = loadMolecule(name);
    const PotentialField potential(molecule.calculation.atoms, molecule.calculation.coreCharges,
                                   *molecule.density);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> offset(-1.0, 1.0);
    std::uniform_real_distribution<double> distance(0.1, 6.0);
    for (int n = 0; n < 60; ++n) {
      const std::vector<CalculationAtom>& atoms = molecule.calculation.atoms;
      Vec3 direction{offset(random), offset(random), offset(random)};
      direction = (1.0 / norm(direction)) * direction;
      const Vec3 from =
          atoms[static_cast<std::size_t>(n) % atoms.size()].position + distance(random) * direction;
      const Vec3 step = 0.003 * Vec3{offset(random), offset(random), offset(random)};
      constexpr int kSteps = 64;  // of the segment from `from` to from + kSteps * step
      std::vector<Vec3> points;
      for (int k = 0; k <= kSteps; ++k) points.push_back(from + k * step);
      std::vector<FieldSample> samples(points.size());
      std::vector<double> values(points.size());
      potential.samplesAt(points, samples);
      potential.valuesAt(points, values);
      double integral = 0.0;
      for (int k = 0; k <= kSteps; ++k) {
        const double weight = k == 0 || k == kSteps ? 1.0 : k % 2 ? 4.0 : 2.0;
        integral += weight / 3.0 * dot(samples[static_cast<std::size_t>(k)].gradient, step);
        EXPECT_EQ(samples[static_cast<std::size_t>(k)].value, values[static_cast<std::size_t>(k)]);
      }
      const double change = values.back() - values.front();
      EXPECT_NEAR(integral, change, 1e-5 + 1e-3 * std::fabs(change))
          << name << " from " << from.x << ' ' << from.y << ' ' << from.z;
    }
  }
}

// The bound over a box holds at its corners, its centre and points between, for boxes from a
// tile of the mesher's grid to one of its blocks, most of them close to the molecule, where the
// bound works from the value at the box's centre.
TEST(PotentialField, BoundHoldsBeyondThePieces) {
  const Molecule molecule = loadMolecule("formaldehyde_PM7.aux");
  const PotentialField potential(molecule.calculation.atoms, molecule.calculation.coreCharges,
                                 *molecule.density);
  std::mt19937 random(3);
  std::uniform_real_distribution<double> place(-7.0, 9.0);
  std::uniform_real_distribution<double> within(0.0, 1.0);
  for (const double side : {0.5, 2.0}) {
    int bounded = 0;
    for (int n = 0; n < 300; ++n) {
      const Vec3 low{place(random), place(random), place(random)};
      const Vec3 high = low + Vec3{side, side, side};
      const double bound = potential.boundOfMagnitude(low, high);
      if (!std::isfinite(bound)) continue;
      ++bounded;
      std::vector<Vec3> points{0.5 * (low + high)};
      for (int corner = 0; corner < 8; ++corner) {
        points.push_back({corner & 1 ? high.x : low.x, corner & 2 ? high.y : low.y,
                          corner & 4 ? high.z : low.z});
      }
      for (int k = 0; k < 8; ++k) {
        points.push_back(low + side * Vec3{within(random), within(random), within(random)});
      }
      for (const Vec3& p : points) EXPECT_LE(std::fabs(potential.valueAt(p)), bound) << side;
    }
    EXPECT_GT(bounded, 100) << side;
  }
}

// Over the half-spaces that size the grid, 14 Angstrom beyond caffeine on each side, the bound
// stays below the default threshold of 0.05 a.u.: summed atom by atom it was above it there,
// and for molecules of a hundred atoms and more it found no box within 40 Angstrom at all. It
// holds on the planes that border them and beyond.
TEST(PotentialField, BoundsTheHalfSpacesBeyondAMoleculeCloseToIt) {
  const Molecule molecule = loadMolecule("caffeine_PM7.aux");
  const std::vector<CalculationAtom>& atoms = molecule.calculation.atoms;
  const PotentialField potential(atoms, molecule.calculation.coreCharges, *molecule.density, 2);
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  Vec3 low = atoms.front().position;
  Vec3 high = low;
  for (const CalculationAtom& atom : atoms) {
    low = {std::min(low.x, atom.position.x), std::min(low.y, atom.position.y),
           std::min(low.z, atom.position.z)};
    high = {std::max(high.x, atom.position.x), std::max(high.y, atom.position.y),
            std::max(high.z, atom.position.z)};
  }
  const auto component = [](Vec3& v, int axis) -> double& {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
  };
  for (int face = 0; face < 6; ++face) {
    const int axis = face / 2;
    const bool upper = face % 2 == 1;
    Vec3 from{-kInfinity, -kInfinity, -kInfinity};
    Vec3 to{kInfinity, kInfinity, kInfinity};
    const double plane = upper ? component(high, axis) + 14.0 : component(low, axis) - 14.0;
    component(upper ? from : to, axis) = plane;
    const double bound = potential.boundOfMagnitude(from, to);
    EXPECT_LT(bound, 0.05) << face;
    for (const double beyond : {0.0, 5.0, 30.0}) {
      for (double u = -20.0; u <= 20.0; u += 4.0) {
        for (double w = -20.0; w <= 20.0; w += 5.0) {
          Vec3 p{u, w, u - w};
          component(p, axis) = plane + (upper ? beyond : -beyond);
          EXPECT_LE(std::fabs(potential.valueAt(p)), bound) << face;
        }
      }
    }
  }
}

}  // namespace
}  // namespace lobewright
