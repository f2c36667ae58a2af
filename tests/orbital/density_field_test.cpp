// The density field against the Slater functions a pair of AOs at a time, its bound, and its
// integral: the density of every .aux sample holds the file's electrons, a radical's spin density
// its unpaired one.
#include "orbital/density_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "input/aux_reader.h"
#include "input/mgf_reader.h"
#include "input/out_reader.h"
#include "orbital/density_matrix.h"
#include "orbital/slater_basis.h"
#include "orbital/slater_overlap.h"
#include "support/becke_quadrature.h"
#include "support/bound_check.h"
#include "support/test_files.h"

namespace lobewright {
namespace {

constexpr double kBohr3 = kBohrInAngstrom * kBohrInAngstrom * kBohrInAngstrom;

Calculation readSample(const std::string& name) {
  CalculationRead read = readAuxFile(testing::dataPath("aux/" + name));
  if (!read.calculation) ADD_FAILURE() << read.error.message();
  return read.calculation ? std::move(*read.calculation) : Calculation{};
}

// A density of one pair of AOs, D_mu,nu = D_nu,mu = 1, is 2 phi_mu phi_nu (phi_mu^2 for one AO).
TEST(DensityField, PairsOfAosAgreeWithTheSlaterFunctions) {
  const Calculation chloroform = readSample("chloroform_PM7.aux");
  const auto aoOf = [&](int atom, AoType type) {
    for (std::size_t mu = 0; mu < chloroform.basis.size(); ++mu) {
      if (chloroform.basis[mu].atom == atom && chloroform.basis[mu].type == type) return mu;
    }
    ADD_FAILURE() << "no AO of type " << static_cast<int>(type) << " on atom " << atom;
    return std::size_t{0};
  };
  // Atoms: Cl, C, Cl, Cl, H; chlorine has d shells.
  const std::pair<std::size_t, std::size_t> pairs[] = {
      {aoOf(1, AoType::s), aoOf(1, AoType::s)},   {aoOf(4, AoType::s), aoOf(1, AoType::px)},
      {aoOf(2, AoType::xy), aoOf(2, AoType::pz)}, {aoOf(3, AoType::z2), aoOf(3, AoType::z2)},
      {aoOf(0, AoType::x2), aoOf(2, AoType::xz)}, {aoOf(3, AoType::yz), aoOf(1, AoType::py)}};
  std::mt19937 random(23);
  std::uniform_real_distribution<double> offset(-1.5, 1.5);
  for (const auto& [mu, nu] : pairs) {
    SymmetricMatrix density(chloroform.basis.size());
    density(mu, nu) = 1.0;
    const DensityField field(chloroform, density);
    const BasisFunction& a = chloroform.basis[mu];
    const BasisFunction& b = chloroform.basis[nu];
    for (int n = 0; n < 50; ++n) {
      const Vec3 p = chloroform.atoms[static_cast<std::size_t>(n % 5)].position +
                     (n % 7 == 0 ? Vec3{} : Vec3{offset(random), offset(random), offset(random)});
      const auto toBohr = [&](const BasisFunction& f) {
        return kBohrPerAngstrom * (p - chloroform.atoms[static_cast<std::size_t>(f.atom)].position);
      };
      const SlaterSample sa = slaterSample(a, toBohr(a));
      const SlaterSample sb = slaterSample(b, toBohr(b));
      const double factor = mu == nu ? 1.0 : 2.0;
      const double expected = factor * sa.value * sb.value;
      const Vec3 gradient =
          kBohrPerAngstrom * (factor * (sa.value * sb.gradient + sb.value * sa.gradient));
      const FieldSample sample = field.sampleAt(p);
      const double scale = 1e-12 + std::fabs(expected);
      EXPECT_NEAR(sample.value, expected, 1e-11 * scale + 1e-12) << mu << ' ' << nu << ' ' << n;
      EXPECT_EQ(field.valueAt(p), sample.value);
      EXPECT_LT(norm(sample.gradient - gradient), 1e-9 * (1e-3 + norm(gradient)))
          << mu << ' ' << nu << ' ' << n;
    }
  }
}

TEST(DensityField, BoundHoldsOverBoxesAndHalfSpaces) {
  Calculation methyl = readSample("methylradical_PM7.aux");
  std::mt19937 random(5);
  for (const DensityKind kind : {DensityKind::total, DensityKind::spin}) {
    const AoDensity density = densityOf(methyl, kind);
    ASSERT_FALSE(density.matrix.empty()) << density.error;
    const DensityField field(methyl, density.matrix);
    testing::expectBoundHoldsInRandomBoxes(field, random, 3.0, 10);
  }
}

TEST(DensityField, EverySampleHoldsItsElectrons) {
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testing::dataPath("aux"))) {
    if (entry.path().extension() != ".aux") continue;
    const std::string name = entry.path().filename().string();
    Calculation calculation = readSample(name);
    ASSERT_TRUE(calculation.electronCount) << name;
    const bool open = calculation.alphaElectronCount.has_value();
    struct Expectation {
      DensityKind kind;
      double electrons;
    };
    std::vector<Expectation> expectations{
        {DensityKind::total, static_cast<double>(*calculation.electronCount)}};
    if (open) {
      expectations.push_back(
          {DensityKind::spin,
           static_cast<double>(*calculation.alphaElectronCount - *calculation.betaElectronCount)});
    }
    for (const Expectation& expected : expectations) {
      const AoDensity density = densityOf(calculation, expected.kind);
      ASSERT_FALSE(density.matrix.empty()) << name << ": " << density.error;
      const DensityField field(calculation, density.matrix);
      const double integral = testing::beckeIntegral(field, calculation.atoms) / kBohr3;
      EXPECT_NEAR(integral, expected.electrons, 1e-3)
          << name << " density " << static_cast<int>(expected.kind);
      ++checked;
    }
  }
  EXPECT_GE(checked, 28);
}

}  // namespace
}  // namespace lobewright

namespace lobewright {
namespace {

// The file's density matrix and the sum over its occupied MOs give the same density, to the
// precision the file prints them with; so do the .out and .mgf files of the same run.
TEST(DensityField, MatrixAndMoRoutesAndEveryFileOfARunAgree) {
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testing::dataPath("aux"))) {
    if (entry.path().extension() != ".aux") continue;
    const std::string stem = entry.path().stem().string();
    Calculation aux = readSample(stem + ".aux");
    Calculation fromMos = aux;
    fromMos.totalDensity = fromMos.alphaDensity = fromMos.betaDensity = SymmetricMatrix();
    const AoDensity byMatrix = densityOf(aux, DensityKind::total);
    const AoDensity byMos = densityOf(fromMos, DensityKind::total);
    ASSERT_FALSE(byMatrix.matrix.empty()) << stem << ": " << byMatrix.error;
    if (byMos.matrix.empty()) continue;  // a file of some MOs only
    const DensityField reference(aux, byMatrix.matrix);
    std::vector<Vec3> probes;
    for (const CalculationAtom& atom : aux.atoms) {
      for (const Vec3& step : {Vec3{0.4, 0.2, -0.3}, Vec3{-0.7, 0.5, 0.6}, Vec3{0.1, -0.9, 0.8}}) {
        probes.push_back(atom.position + step);
      }
    }
    const auto expectSame = [&](const Field& field, double tolerance, const std::string& what) {
      for (const Vec3& p : probes) {
        EXPECT_NEAR(field.valueAt(p), reference.valueAt(p), tolerance) << stem << ' ' << what;
      }
      ++compared;
    };
    expectSame(DensityField(fromMos, byMos.matrix), 1e-4, "MOs");
    // The .mgf prints 8 significant digits, the .out 4 decimals.
    for (const auto& [extension, tolerance] : {std::pair{".mgf", 2e-4}, std::pair{".out", 5e-3}}) {
      const auto path = entry.path().parent_path() / (stem + extension);
      if (!std::filesystem::exists(path)) continue;
      CalculationRead read = extension == std::string(".mgf") ? readMgfFile(path.string())
                                                              : readOutFile(path.string());
      ASSERT_TRUE(read.calculation) << read.error.message();
      Calculation& other = *read.calculation;
      if (other.overlap.empty() && other.inverseSqrtOverlap.empty()) {
        other.overlap = overlapMatrix(other);
      }
      const AoDensity density = densityOf(other, DensityKind::total);
      ASSERT_FALSE(density.matrix.empty()) << stem << extension << ": " << density.error;
      expectSame(DensityField(other, density.matrix), tolerance, extension);
    }
  }
  EXPECT_GE(compared, 40);
}

}  // namespace
}  // namespace lobewright
