#include "orbital/slater_overlap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <random>

#include "support/aux_sections.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

constexpr double kPi = std::numbers::pi;

// The functions as the exact model defines them, evaluated literally at d = point - centre
// (bohr).
double angularValue(AoType type, const Vec3& d) {
  const double x = d.x;
  const double y = d.y;
  const double z = d.z;
  switch (type) {
    case AoType::s:
      return std::sqrt(1 / (4 * kPi));
    case AoType::px:
      return std::sqrt(3 / (4 * kPi)) * x;
    case AoType::py:
      return std::sqrt(3 / (4 * kPi)) * y;
    case AoType::pz:
      return std::sqrt(3 / (4 * kPi)) * z;
    case AoType::x2:
      return std::sqrt(15 / (16 * kPi)) * (x * x - y * y);
    case AoType::xz:
      return std::sqrt(15 / (4 * kPi)) * x * z;
    case AoType::z2:
      return std::sqrt(5 / (16 * kPi)) * (3 * z * z - dot(d, d));
    case AoType::yz:
      return std::sqrt(15 / (4 * kPi)) * y * z;
    case AoType::xy:
      return std::sqrt(15 / (4 * kPi)) * x * y;
  }
  return 0.0;
}

double radialValue(int n, int l, double zeta, double r) {
  const double normalisation = std::pow(2 * zeta, n + 0.5) / std::sqrt(std::tgamma(2.0 * n + 1.0));
  return normalisation * std::pow(r, n - 1 - l) * std::exp(-zeta * r);
}

// Gauss-Legendre nodes and weights on [-1, 1], by Newton's method on P_n.
std::vector<std::pair<double, double>> gaussLegendre(int n) {
  std::vector<std::pair<double, double>> rule;
  for (int i = 1; i <= n; ++i) {
    double x = std::cos(kPi * (i - 0.25) / (n + 0.5));
    double derivative = 0.0;
    for (int iteration = 0; iteration < 100; ++iteration) {
      double p0 = 1.0;
      double p1 = x;
      for (int k = 2; k <= n; ++k) {
        const double p2 = ((2.0 * k - 1.0) * x * p1 - (k - 1.0) * p0) / k;
        p0 = p1;
        p1 = p2;
      }
      derivative = n * (x * p1 - p0) / (x * x - 1.0);
      const double step = p1 / derivative;
      x -= step;
      if (std::abs(step) < 1e-16) break;
    }
    rule.emplace_back(x, 2.0 / ((1.0 - x * x) * derivative * derivative));
  }
  return rule;
}

struct ShellPair {
  int nA;
  int lA;
  double zetaA;
  int nB;
  int lB;
  double zetaB;
  double distance;  // bohr
};

std::vector<AoType> typesOf(int l) {
  if (l == 0) return {AoType::s};
  if (l == 1) return {AoType::px, AoType::py, AoType::pz};
  return {AoType::x2, AoType::xz, AoType::z2, AoType::yz, AoType::xy};
}

using Block = std::vector<std::vector<double>>;

// The overlaps of two shells by brute quadrature in prolate spheroidal coordinates around the two
// centres: composite Gauss-Legendre in xi (out to where exp(-alpha xi) has died), Gauss-Legendre
// in eta, and the trapezoid rule in phi, which is exact for the few harmonics that a product of
// s, p and d functions holds.
Block quadratureOverlaps(const ShellPair& pair, const Vec3& centreA, const Vec3& centreB) {
  static const auto rule = gaussLegendre(24);
  const std::vector<AoType> typesA = typesOf(pair.lA);
  const std::vector<AoType> typesB = typesOf(pair.lB);
  const Vec3 bond = centreB - centreA;
  const double u = norm(bond) / 2;
  const Vec3 ez = (1 / (2 * u)) * bond;
  const Vec3 helper = std::abs(ez.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  const Vec3 along = helper - dot(helper, ez) * ez;
  const Vec3 ex = (1 / norm(along)) * along;
  const Vec3 ey = cross(ez, ex);
  const Vec3 middle = 0.5 * (centreA + centreB);
  const double alpha = u * (pair.zetaA + pair.zetaB);
  constexpr int kPanels = 20;
  constexpr int kPhiPoints = 12;
  const double panel = 80.0 / alpha / kPanels;
  Block block(typesA.size(), std::vector<double>(typesB.size(), 0.0));
  for (int p = 0; p < kPanels; ++p) {
    for (const auto& [xNode, xWeight] : rule) {
      const double xi = 1.0 + panel * (p + 0.5 * (xNode + 1.0));
      for (const auto& [eta, etaWeight] : rule) {
        const double rho = u * std::sqrt((xi * xi - 1.0) * (1.0 - eta * eta));
        const double radialA = radialValue(pair.nA, pair.lA, pair.zetaA, u * (xi + eta));
        const double radialB = radialValue(pair.nB, pair.lB, pair.zetaB, u * (xi - eta));
        const double weight = 0.5 * panel * xWeight * etaWeight * u * u * u *
                              (xi * xi - eta * eta) * (2 * kPi / kPhiPoints) * radialA * radialB;
        for (int k = 0; k < kPhiPoints; ++k) {
          const double phi = 2 * kPi * k / kPhiPoints;
          const Vec3 point = middle + (u * xi * eta) * ez + (rho * std::cos(phi)) * ex +
                             (rho * std::sin(phi)) * ey;
          for (std::size_t i = 0; i < typesA.size(); ++i) {
            const double valueA = weight * angularValue(typesA[i], point - centreA);
            for (std::size_t j = 0; j < typesB.size(); ++j) {
              block[i][j] += valueA * angularValue(typesB[j], point - centreB);
            }
          }
        }
      }
    }
  }
  return block;
}

// Every function of both shells, along bonds in general directions, against the literal
// quadrature: s, p and d, n from 1 to 7, equal exponents (beta = 0), exponents far apart (beta
// beyond the series' range), short and long bonds.
TEST(SlaterOverlap, AgreesWithQuadratureOfTheFunctionsThemselves) {
  const ShellPair pairs[] = {
      {1, 0, 1.26, 2, 1, 1.71, 2.08}, {2, 1, 1.71, 2, 1, 1.71, 2.6}, {2, 0, 5.97, 1, 0, 1.26, 1.8},
      {3, 2, 0.95, 2, 1, 1.71, 3.3},  {3, 2, 1.32, 3, 2, 2.12, 4.5}, {4, 0, 1.16, 3, 2, 1.86, 4.0},
      {5, 1, 2.45, 5, 2, 1.89, 5.0},  {6, 0, 3.21, 5, 1, 2.73, 5.5}, {7, 0, 1.50, 6, 1, 1.80, 6.0},
      {2, 1, 6.90, 3, 2, 0.70, 3.0},  {3, 1, 2.26, 1, 0, 1.26, 9.0}, {4, 2, 2.00, 4, 2, 2.00, 1.2},
  };
  std::mt19937 random(7);
  std::normal_distribution<double> gaussian;
  for (const ShellPair& pair : pairs) {
    const Vec3 direction{gaussian(random), gaussian(random), gaussian(random)};
    const Vec3 centreA{0.3, -0.2, 0.1};
    const Vec3 centreB = centreA + (pair.distance / norm(direction)) * direction;
    const Block expected = quadratureOverlaps(pair, centreA, centreB);
    const std::vector<AoType> typesA = typesOf(pair.lA);
    const std::vector<AoType> typesB = typesOf(pair.lB);
    for (std::size_t i = 0; i < typesA.size(); ++i) {
      for (std::size_t j = 0; j < typesB.size(); ++j) {
        const BasisFunction a{0, pair.nA, typesA[i], pair.zetaA};
        const BasisFunction b{1, pair.nB, typesB[j], pair.zetaB};
        EXPECT_NEAR(slaterOverlap(a, centreA, b, centreB), expected[i][j], 1e-11)
            << pair.nA << "/" << i << " " << pair.nB << "/" << j << " at " << pair.distance;
      }
    }
  }
}

// MOPAC 22 writes the overlap matrix of its basis to the .aux file with 13 digits; ours is
// computed from the same run's exponents and quantum numbers. MOPAC's own values of some s-p
// sigma integrals (exponents whose difference times half the distance is near 0.5) are off by
// up to 1.5e-7: the quadrature above agrees with ours there to 1e-13. Everywhere else the two
// agree to 2e-11.
TEST(SlaterOverlap, MatchesMopacsOverlapMatrices) {
  const std::pair<const char*, double> samples[] = {
      {"water_AM1", 1e-10},         {"water_PM3", 1e-10},        {"water_PM6", 1e-10},
      {"water_PM7", 1e-10},         {"formaldehyde_PM3", 1e-10}, {"formaldehyde_PM7", 1e-7},
      {"methylradical_PM3", 1e-10}, {"methylradical_PM7", 1e-7}, {"chloroform_AM1", 2e-8},
      {"chloroform_PM3", 1e-10},    {"chloroform_PM6", 2e-7},    {"chloroform_PM7", 2e-7},
      {"thiophene_PM3", 1e-8},      {"thiophene_PM6", 1e-7},     {"thiophene_PM7", 1e-7},
      {"phenolate_PM7", 1e-7},
  };
  for (const auto& [name, tolerance] : samples) {
    const testing::AuxSections aux(testing::dataPath(std::string("aux/") + name + ".aux"));
    const SymmetricMatrix s = overlapMatrix(aux.basis());
    const std::vector<double> expected = aux.numbers("OVERLAP_MATRIX");
    ASSERT_EQ(s.lowerTriangle().size(), expected.size()) << name;
    double worst = 0.0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      worst = std::max(worst, std::abs(s.lowerTriangle()[i] - expected[i]));
    }
    EXPECT_LT(worst, tolerance) << name;
  }
}

TEST(SlaterOverlap, OneCentreFunctionsAreOrthonormalAndBadBasesGiveNothing) {
  Calculation calculation;
  calculation.atoms = {{"Cl", {0, 0, 0}}, {"Cl", {0, 0, 0}}};
  for (const AoType type : {AoType::s, AoType::px, AoType::py, AoType::pz, AoType::x2, AoType::xz,
                            AoType::z2, AoType::yz, AoType::xy}) {
    calculation.basis.push_back({0, 3, type, 2.1});
  }
  calculation.basis.push_back({1, 3, AoType::pz, 1.4});  // another atom at the same place
  const SymmetricMatrix s = overlapMatrix(calculation);
  ASSERT_EQ(s.size(), 10u);
  for (std::size_t i = 0; i < 9; ++i) {
    for (std::size_t j = 0; j <= i; ++j) EXPECT_NEAR(s(i, j), i == j ? 1.0 : 0.0, 1e-14);
  }
  // <3pz(2.1)|3pz(1.4)> = (2 sqrt(2.1 * 1.4) / 3.5)^7 on one centre.
  EXPECT_NEAR(s(9, 3), std::pow(2 * std::sqrt(2.1 * 1.4) / 3.5, 7), 1e-14);
  EXPECT_EQ(s(9, 2), 0.0);

  for (const BasisFunction bad :
       {BasisFunction{2, 1, AoType::s, 1.0}, BasisFunction{0, 1, AoType::px, 1.0},
        BasisFunction{0, 9, AoType::s, 1.0}, BasisFunction{0, 2, AoType::s, 0.0},
        BasisFunction{0, 2, AoType::s, std::nan("")}}) {
    Calculation broken = calculation;
    broken.basis.push_back(bad);
    EXPECT_TRUE(overlapMatrix(broken).empty());
  }
}

// A 140-atom molecule (70 carbon and 70 hydrogen atoms on a helix) well under a second: about
// 35 ms in a release build; the bound leaves room for sanitizer builds on a busy machine.
TEST(SlaterOverlap, HundredsOfAtomsQuickly) {
  Calculation calculation;
  for (int i = 0; i < 140; ++i) {
    const bool carbon = i % 2 == 0;
    const double angle = 0.5 * i;
    calculation.atoms.push_back(
        {carbon ? "C" : "H", {3.0 * std::cos(angle), 3.0 * std::sin(angle), 0.6 * i}});
    calculation.basis.push_back({i, carbon ? 2 : 1, AoType::s, carbon ? 1.94 : 1.26});
    if (!carbon) continue;
    for (const AoType p : {AoType::px, AoType::py, AoType::pz}) {
      calculation.basis.push_back({i, 2, p, 1.71});
    }
  }
  const auto start = std::chrono::steady_clock::now();
  const SymmetricMatrix s = overlapMatrix(calculation);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(s.size(), 350u);
  EXPECT_LT(seconds, 2.0);
  RecordProperty("seconds", std::to_string(seconds));
}

}  // namespace
}  // namespace lobewright
