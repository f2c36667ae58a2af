#include "orbital/slater_basis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <utility>

#include "input/aux_reader.h"
#include "support/gauss_rules.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::dataPath;
using testing::GaussRule;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Points around the azimuth: the products of two functions are trigonometric polynomials of
// degree 4 at most in it, which this many equal steps integrate exactly.
constexpr int kAzimuthSteps = 8;

// The overlap of two basis functions at centres a and b (bohr), by quadrature. On one centre,
// in spherical coordinates; on two, in prolate spheroidal ones (mu = (ra + rb) / R, nu =
// (ra - rb) / R), in which the product is exp(-(R/2)((za + zb) mu + (za - zb) nu)) times a
// polynomial once the azimuth is integrated: Gauss-Laguerre in mu takes the first factor as its
// weight, Gauss-Legendre in nu handles the smooth rest.
double overlapByQuadrature(const BasisFunction& f, const Vec3& a, const BasisFunction& g,
                           const Vec3& b) {
  static const GaussRule laguerre = testing::gaussLaguerre(16);
  static const GaussRule legendre = testing::gaussLegendre(48);
  static const GaussRule polar = testing::gaussLegendre(10);
  const double distance = norm(b - a);
  double sum = 0.0;
  if (distance < 1e-9) {
    const double alpha = f.zeta + g.zeta;
    for (std::size_t i = 0; i < laguerre.nodes.size(); ++i) {
      const double r = laguerre.nodes[i] / alpha;
      const double radialWeight = laguerre.weights[i] * std::exp(laguerre.nodes[i]) / alpha * r * r;
      for (std::size_t j = 0; j < polar.nodes.size(); ++j) {
        const double cosTheta = polar.nodes[j];
        const double sinTheta = std::sqrt(1.0 - cosTheta * cosTheta);
        for (int k = 0; k < kAzimuthSteps; ++k) {
          const double phi = kTwoPi * k / kAzimuthSteps;
          const Vec3 d{r * sinTheta * std::cos(phi), r * sinTheta * std::sin(phi), r * cosTheta};
          sum += radialWeight * polar.weights[j] * (kTwoPi / kAzimuthSteps) * slaterValue(f, d) *
                 slaterValue(g, d);
        }
      }
    }
    return sum;
  }
  const double half = distance / 2.0;
  const Vec3 axis = (1.0 / distance) * (b - a);
  const Vec3 helper = std::abs(axis.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  Vec3 e1 = cross(axis, helper);
  e1 = (1.0 / norm(e1)) * e1;
  const Vec3 e2 = cross(axis, e1);
  const Vec3 middle = 0.5 * (a + b);
  const double alpha = half * (f.zeta + g.zeta);
  for (std::size_t i = 0; i < laguerre.nodes.size(); ++i) {
    const double mu = 1.0 + laguerre.nodes[i] / alpha;
    const double muWeight = laguerre.weights[i] * std::exp(laguerre.nodes[i]) / alpha;
    for (std::size_t j = 0; j < legendre.nodes.size(); ++j) {
      const double nu = legendre.nodes[j];
      const double rho = half * std::sqrt((mu * mu - 1.0) * (1.0 - nu * nu));
      const double jacobian = half * half * half * (mu * mu - nu * nu);
      const double weight = muWeight * legendre.weights[j] * jacobian * (kTwoPi / kAzimuthSteps);
      for (int k = 0; k < kAzimuthSteps; ++k) {
        const double phi = kTwoPi * k / kAzimuthSteps;
        const Vec3 p = middle + (rho * std::cos(phi)) * e1 + (rho * std::sin(phi)) * e2 +
                       (half * mu * nu) * axis;
        sum += weight * slaterValue(f, p - a) * slaterValue(g, p - b);
      }
    }
  }
  return sum;
}

// The functions, integrated, must give MOPAC's own overlap matrix: this pins the normalisation,
// the angular constants, MOPAC's d order and signs, and the units all at once.
TEST(SlaterBasis, ReproducesMopacsOverlapMatrix) {
  std::map<std::pair<int, int>, int> crossAtomPairs;  // by (l, l'), how many were compared
  for (const char* file : {"chloroform_PM7.aux", "thiophene_PM7.aux"}) {
    SCOPED_TRACE(file);
    const CalculationRead read = readAuxFile(dataPath(std::string("aux/") + file));
    ASSERT_TRUE(read.calculation) << read.error.message();
    const Calculation& calculation = *read.calculation;
    double worst = 0.0;
    for (std::size_t i = 0; i < calculation.basis.size(); ++i) {
      for (std::size_t j = 0; j <= i; ++j) {
        const BasisFunction& f = calculation.basis[i];
        const BasisFunction& g = calculation.basis[j];
        const Vec3 a = kBohrPerAngstrom * calculation.atoms[f.atom].position;
        const Vec3 b = kBohrPerAngstrom * calculation.atoms[g.atom].position;
        const double integral = overlapByQuadrature(f, a, g, b);
        const double expected = calculation.overlap(i, j);
        worst = std::max(worst, std::abs(integral - expected));
        EXPECT_NEAR(integral, expected, 1e-6) << "AOs " << i + 1 << " and " << j + 1;
        if (f.atom != g.atom) {
          ++crossAtomPairs[std::minmax(angularMomentum(f.type), angularMomentum(g.type))];
        }
      }
    }
    std::ostringstream worstText;
    worstText << std::scientific << worst;
    RecordProperty(std::string("largest_difference_") + file, worstText.str());
  }
  for (const auto& kinds :
       {std::pair{0, 1}, std::pair{1, 1}, std::pair{0, 2}, std::pair{1, 2}, std::pair{2, 2}}) {
    EXPECT_GT(crossAtomPairs[kinds], 0) << kinds.first << "-" << kinds.second;
  }
}

TEST(SlaterBasis, NormalisationAndConstantsHaveTheirClosedForms) {
  // N(1, 1) = 2^(3/2) / sqrt(2) = 2; N(2, 1) = 2^(5/2) / sqrt(24).
  EXPECT_DOUBLE_EQ(slaterNormalisation(1, 1.0), 2.0);
  EXPECT_DOUBLE_EQ(slaterNormalisation(2, 1.0), std::pow(2.0, 2.5) / std::sqrt(24.0));
  EXPECT_DOUBLE_EQ(angularConstant(AoType::s), 0.5 / std::sqrt(std::numbers::pi));
  // A hydrogen 1s function with zeta = 1 is exp(-r) / sqrt(pi).
  const BasisFunction hydrogen{0, 1, AoType::s, 1.0};
  EXPECT_DOUBLE_EQ(slaterValue(hydrogen, {0.3, 0.4, 0.0}),
                   std::exp(-0.5) / std::sqrt(std::numbers::pi));
  EXPECT_DOUBLE_EQ(kBohrPerAngstrom * kBohrInAngstrom, 1.0);
}

TEST(SlaterBasis, GradientMatchesFiniteDifferences) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
  const AoType types[] = {AoType::s,  AoType::px, AoType::py, AoType::pz, AoType::x2,
                          AoType::xz, AoType::z2, AoType::yz, AoType::xy};
  for (const AoType type : types) {
    for (int n = angularMomentum(type) + 1; n <= 5; ++n) {
      const BasisFunction function{0, n, type, 1.3};
      for (int trial = 0; trial < 20; ++trial) {
        const Vec3 d{coordinate(random), coordinate(random), coordinate(random)};
        const SlaterSample sample = slaterSample(function, d);
        EXPECT_DOUBLE_EQ(sample.value, slaterValue(function, d));
        constexpr double h = 1e-5;
        const Vec3 steps[] = {{h, 0, 0}, {0, h, 0}, {0, 0, h}};
        const double analytic[] = {sample.gradient.x, sample.gradient.y, sample.gradient.z};
        for (int axis = 0; axis < 3; ++axis) {
          const double numeric =
              (slaterValue(function, d + steps[axis]) - slaterValue(function, d - steps[axis])) /
              (2 * h);
          EXPECT_NEAR(analytic[axis], numeric, 1e-7) << "n " << n << " axis " << axis;
        }
      }
    }
  }
}

}  // namespace
}  // namespace lobewright
