#include "orbital/deorthogonalisation.h"

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "input/aux_reader.h"
#include "support/recording_sink.h"

namespace lobewright {
namespace {

using testing::dataPath;

double quadraticForm(const SymmetricMatrix& s, const std::vector<double>& d) {
  double sum = 0.0;
  for (std::size_t i = 0; i < d.size(); ++i) {
    for (std::size_t j = 0; j < d.size(); ++j) sum += d[i] * s(i, j) * d[j];
  }
  return sum;
}

double largestDifference(const std::vector<double>& a, const std::vector<double>& b) {
  EXPECT_EQ(a.size(), b.size());
  double largest = 0.0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    largest = std::max(largest, std::abs(a[i] - b[i]));
  }
  return largest;
}

// MOPAC's MOs are orthonormal over orthogonalised AOs, so over the real AOs d^T S d = 1 for
// d = S^-1/2 c; the printed c alone are far from it.
TEST(Deorthogonalisation, NormalisesTheMosOverTheRealAos) {
  for (const char* file : {"formaldehyde_PM7.aux", "chloroform_PM7.aux", "water_PM7.aux"}) {
    SCOPED_TRACE(file);
    const CalculationRead read = readAuxFile(dataPath(std::string("aux/") + file));
    ASSERT_TRUE(read.calculation) << read.error.message();
    const Calculation& calculation = *read.calculation;
    const InverseSqrt inverse = inverseSqrtOf(calculation.overlap);
    ASSERT_EQ(inverse.error, "");
    double rawWorst = 0.0;
    for (const MolecularOrbital& orbital : calculation.orbitals) {
      const AoCoefficients d = deorthogonalise(calculation.overlap, orbital.coefficients);
      ASSERT_EQ(d.error, "");
      EXPECT_NEAR(quadraticForm(calculation.overlap, d.values), 1.0, 1e-10) << orbital.number;
      const AoCoefficients literal = applyInverseSqrt(inverse.matrix, orbital.coefficients);
      EXPECT_LT(largestDifference(d.values, literal.values), 1e-12) << orbital.number;
      rawWorst = std::max(rawWorst,
                          std::abs(quadraticForm(calculation.overlap, orbital.coefficients) - 1.0));
    }
    EXPECT_GT(rawWorst, 0.2);
  }
}

// A random symmetric matrix with the given eigenvalues.
SymmetricMatrix withEigenvalues(const Eigen::VectorXd& eigenvalues, unsigned seed) {
  const auto n = eigenvalues.size();
  std::mt19937 random(seed);
  std::normal_distribution<double> normal;
  Eigen::MatrixXd m(n, n);
  for (Eigen::Index i = 0; i < n; ++i) {
    for (Eigen::Index j = 0; j < n; ++j) m(i, j) = normal(random);
  }
  const Eigen::MatrixXd q = Eigen::HouseholderQR<Eigen::MatrixXd>(m).householderQ();
  const Eigen::MatrixXd full = q * eigenvalues.asDiagonal() * q.transpose();
  SymmetricMatrix packed(static_cast<std::size_t>(n));
  for (Eigen::Index i = 0; i < n; ++i) {
    for (Eigen::Index j = 0; j <= i; ++j) {
      packed(static_cast<std::size_t>(i), static_cast<std::size_t>(j)) = full(i, j);
    }
  }
  return packed;
}

// The Lanczos route must give what the full eigendecomposition gives, from one AO to more
// than its step cap, and for a spread of eigenvalues it cannot converge on (it then falls back).
TEST(Deorthogonalisation, LanczosAgreesWithTheEigendecomposition) {
  const struct {
    int size;
    double smallest;
    double largest;
    bool logarithmic;
  } cases[] = {
      {1, 0.7, 0.7, false},   {2, 0.3, 1.7, false},    {3, 0.25, 2.7, false},
      {17, 0.25, 2.7, false}, {120, 0.05, 4.0, false}, {450, 0.25, 2.7, false},
      {450, 1e-7, 3.0, true},
  };
  unsigned seed = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " AOs, eigenvalues from " + std::to_string(c.smallest));
    Eigen::VectorXd eigenvalues(c.size);
    for (int i = 0; i < c.size; ++i) {
      const double t = c.size == 1 ? 0.0 : static_cast<double>(i) / (c.size - 1);
      eigenvalues(i) = c.logarithmic ? c.smallest * std::pow(c.largest / c.smallest, t)
                                     : c.smallest + t * (c.largest - c.smallest);
    }
    const SymmetricMatrix s = withEigenvalues(eigenvalues, ++seed);
    std::mt19937 random(seed);
    std::normal_distribution<double> normal;
    std::vector<double> mo(static_cast<std::size_t>(c.size));
    for (double& value : mo) value = normal(random);

    const AoCoefficients fast = deorthogonalise(s, mo);
    const InverseSqrt inverse = inverseSqrtOf(s);
    ASSERT_EQ(fast.error, "");
    ASSERT_EQ(inverse.error, "");
    const AoCoefficients literal = applyInverseSqrt(inverse.matrix, mo);
    double largest = 0.0;
    for (const double value : literal.values) largest = std::max(largest, std::abs(value));
    EXPECT_LT(largestDifference(fast.values, literal.values), 1e-11 * largest);
  }
}

TEST(Deorthogonalisation, HandlesEdgeCasesAndRefusesWhatItCannotDo) {
  // An eigenvector of S spans a Krylov space of its own; the zero vector maps to zero.
  SymmetricMatrix diagonal(3);
  diagonal(0, 0) = 4.0;
  diagonal(1, 1) = 0.25;
  diagonal(2, 2) = 1.0;
  EXPECT_EQ(deorthogonalise(diagonal, {0.0, 2.0, 0.0}).values, (std::vector<double>{0, 4, 0}));
  EXPECT_EQ(deorthogonalise(diagonal, {0.0, 0.0, 0.0}).values, (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(applyInverseSqrt(diagonal, {1.0, 2.0, 3.0}).values,
            (std::vector<double>{4.0, 0.5, 3.0}));

  SymmetricMatrix m(2);
  m(0, 0) = 1.0;
  m(1, 0) = 2.0;
  m(1, 1) = 3.0;
  EXPECT_EQ(applyInverseSqrt(m, {1.0, 1.0}).values, (std::vector<double>{3.0, 5.0}));

  // Eigenvalues 1 + 0.5 and 1 - 1.2: not positive definite.
  SymmetricMatrix indefinite(2);
  indefinite(0, 0) = 0.65;
  indefinite(1, 0) = 0.85;
  indefinite(1, 1) = 0.65;
  // A damaged entry that the MO never meets: c = e1 spans a Krylov space of its own, in which S
  // looks positive definite, but S_21^2 > S_11 S_22. Likewise a diagonal that is not positive.
  SymmetricMatrix damaged = diagonal;
  damaged(1, 1) = 1.0;
  damaged(2, 1) = 1.5;
  SymmetricMatrix negativeDiagonal = diagonal;
  negativeDiagonal(2, 2) = -1.0;
  for (const std::string& error :
       {deorthogonalise(indefinite, {1.0, 0.0}).error, inverseSqrtOf(indefinite).error,
        deorthogonalise(damaged, {1.0, 0.0, 0.0}).error,
        deorthogonalise(negativeDiagonal, {1.0, 0.0, 0.0}).error}) {
    EXPECT_NE(error.find("not positive definite"), std::string::npos) << error;
  }
  EXPECT_EQ(deorthogonalise(diagonal, {1.0, 2.0}).error,
            "The MO has 2 coefficients, but the matrix is over 3 AOs.");
  EXPECT_EQ(applyInverseSqrt(diagonal, {1.0}).error,
            "The MO has 1 coefficient, but the matrix is over 3 AOs.");
  EXPECT_NE(inverseSqrtOf(SymmetricMatrix()).error, "");
}

}  // namespace
}  // namespace lobewright
