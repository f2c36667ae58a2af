#include "orbital/deorthogonalisation.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <optional>

#include "orbital/large_products.h"

namespace lobewright {
namespace {

constexpr const char* kNotPositiveDefinite =
    "The overlap matrix is not positive definite, so the MO cannot be de-orthogonalised; the "
    "file may be damaged. Turn de-orthogonalisation off to draw the printed coefficients.";

// The Lanczos process stops when the coefficients change by less than this, relative, between
// two checks. The checks come at least kCheckInterval steps apart, and further apart as the
// process runs long, since each costs a decomposition of the projected matrix.
constexpr double kConvergence = 1e-13;
constexpr Eigen::Index kCheckInterval = 4;
// Overlap matrices of minimal Slater bases are well conditioned (eigenvalues from about 0.25 to
// 2.7 in the samples), so the process converges in a few dozen steps; this cap only guards
// against a pathological matrix, which then takes the full decomposition.
constexpr int kMaxLanczosSteps = 400;

[[nodiscard]] std::string sizeMismatch(std::size_t matrixSize, std::size_t coefficientCount) {
  return "The MO has " + std::to_string(coefficientCount) +
         (coefficientCount == 1 ? " coefficient" : " coefficients") + ", but the matrix is over " +
         std::to_string(matrixSize) + " AOs.";
}

[[nodiscard]] Eigen::Map<const Eigen::VectorXd> asVector(const std::vector<double>& values) {
  return {values.data(), static_cast<Eigen::Index>(values.size())};
}

[[nodiscard]] std::vector<double> asStdVector(const Eigen::VectorXd& vector) {
  return {vector.data(), vector.data() + vector.size()};
}

[[nodiscard]] Eigen::VectorXd diagonalOf(const SymmetricMatrix& packed) {
  const std::vector<double>& lower = packed.lowerTriangle();
  Eigen::VectorXd diagonal(static_cast<Eigen::Index>(packed.size()));
  std::size_t k = 0;
  for (Eigen::Index i = 0; i < diagonal.size(); ++i) {
    k += static_cast<std::size_t>(i);
    diagonal(i) = lower[k++];
  }
  return diagonal;
}

// Whether every 2 x 2 principal minor is positive, as in any positive definite matrix: a positive
// diagonal and S_ij^2 < S_ii S_jj. Cheap, and it catches a damaged entry that the Lanczos process
// might never meet.
[[nodiscard]] bool passesPairTest(const SymmetricMatrix& packed, const Eigen::VectorXd& diagonal) {
  if (!diagonal.allFinite() || !(diagonal.array() > 0.0).all()) return false;
  const std::vector<double>& lower = packed.lowerTriangle();
  std::size_t k = 0;
  for (Eigen::Index i = 0; i < diagonal.size(); ++i) {
    for (Eigen::Index j = 0; j < i; ++j) {
      const double entry = lower[k++];
      if (!(entry * entry < diagonal(i) * diagonal(j))) return false;
    }
    ++k;
  }
  return true;
}

// y = S x from the packed lower triangle, read once in storage order.
void multiplyPacked(const SymmetricMatrix& packed, const Eigen::VectorXd& x, Eigen::VectorXd& y) {
  const double* row = packed.lowerTriangle().data();
  y.setZero();
  for (Eigen::Index i = 0; i < x.size(); ++i) {
    const Eigen::Map<const Eigen::VectorXd> offDiagonal(row, i);
    y.head(i) += x(i) * offDiagonal;
    y(i) += offDiagonal.dot(x.head(i)) + row[i] * x(i);
    row += i + 1;
  }
}

// f(T) e1 for f(x) = x^-1/2 and the symmetric tridiagonal T with the given diagonal and
// off-diagonal; empty when T is not positive definite.
[[nodiscard]] std::optional<Eigen::VectorXd> inverseSqrtFirstColumn(
    const std::vector<double>& diagonal, const std::vector<double>& offDiagonal) {
  const auto m = static_cast<Eigen::Index>(diagonal.size());
  Eigen::VectorXd d = Eigen::Map<const Eigen::VectorXd>(diagonal.data(), m);
  Eigen::VectorXd e = Eigen::Map<const Eigen::VectorXd>(offDiagonal.data(), m - 1);
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver;
  solver.computeFromTridiagonal(d, e);
  if (solver.info() != Eigen::Success || solver.eigenvalues().minCoeff() <= 0.0) {
    return std::nullopt;
  }
  const Eigen::MatrixXd& q = solver.eigenvectors();
  return q * solver.eigenvalues().cwiseSqrt().cwiseInverse().cwiseProduct(q.row(0).transpose());
}

}  // namespace

InverseSqrt inverseSqrtOf(const SymmetricMatrix& overlap, int threads) {
  if (overlap.empty()) return {{}, "The overlap matrix is empty."};
  fixProductBlocking();
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(fullMatrix(overlap));
  if (solver.info() != Eigen::Success || solver.eigenvalues().minCoeff() <= 0.0) {
    return {{}, kNotPositiveDefinite};
  }
  const Eigen::MatrixXd& v = solver.eigenvectors();
  const Eigen::MatrixXd scaled = v * solver.eigenvalues().cwiseSqrt().cwiseInverse().asDiagonal();
  const Eigen::MatrixXd result = productOf(scaled, v.transpose(), threads);
  InverseSqrt inverse{SymmetricMatrix(overlap.size()), {}};
  for (std::size_t i = 0; i < overlap.size(); ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      inverse.matrix(i, j) = result(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j));
    }
  }
  return inverse;
}

AoCoefficients deorthogonalise(const SymmetricMatrix& overlap,
                               const std::vector<double>& coefficients) {
  if (overlap.size() != coefficients.size() || overlap.empty()) {
    return {{}, sizeMismatch(overlap.size(), coefficients.size())};
  }
  const Eigen::VectorXd diagonalOfS = diagonalOf(overlap);
  if (!passesPairTest(overlap, diagonalOfS)) return {{}, kNotPositiveDefinite};

  const Eigen::Map<const Eigen::VectorXd> c = asVector(coefficients);
  const double length = c.norm();
  if (length == 0.0) return {std::vector<double>(coefficients.size(), 0.0), {}};

  // Lanczos with full reorthogonalisation: S V_m = V_m T_m + beta_m v_(m+1) e_m^T, and
  // S^-1/2 c ~ |c| V_m T_m^-1/2 e_1.
  const auto n = static_cast<Eigen::Index>(overlap.size());
  const Eigen::Index stepCap = std::min<Eigen::Index>(n, kMaxLanczosSteps);
  Eigen::MatrixXd basis(n, stepCap);
  basis.col(0) = c / length;
  std::vector<double> diagonal;
  std::vector<double> offDiagonal;
  Eigen::VectorXd w(n);
  Eigen::VectorXd previous;
  const double scale = diagonalOfS.maxCoeff();
  Eigen::Index nextCheck = kCheckInterval;
  for (Eigen::Index j = 0; j < stepCap; ++j) {
    multiplyPacked(overlap, basis.col(j), w);
    diagonal.push_back(basis.col(j).dot(w));
    // Twice is enough to keep the basis orthogonal to working precision.
    for (int pass = 0; pass < 2; ++pass) {
      const Eigen::VectorXd projection = basis.leftCols(j + 1).transpose() * w;
      w.noalias() -= basis.leftCols(j + 1) * projection;
    }
    const double beta = w.norm();
    const Eigen::Index steps = j + 1;
    // A Krylov space that S maps into itself holds the exact answer.
    const bool invariant = beta <= 1e-14 * scale * std::sqrt(static_cast<double>(n));
    if (invariant || steps >= nextCheck || steps == stepCap) {
      nextCheck = steps + std::max(kCheckInterval, steps / 8);
      const std::optional<Eigen::VectorXd> y = inverseSqrtFirstColumn(diagonal, offDiagonal);
      if (!y) return {{}, kNotPositiveDefinite};
      const bool converged =
          previous.size() > 0 &&
          (y->head(previous.size()) - previous).norm() + y->tail(steps - previous.size()).norm() <=
              kConvergence * y->norm();
      if (invariant || converged) {
        return {asStdVector(length * (basis.leftCols(steps) * *y)), {}};
      }
      previous = *y;
    }
    if (steps == stepCap) break;
    offDiagonal.push_back(beta);
    basis.col(j + 1) = w / beta;
  }
  const InverseSqrt inverse = inverseSqrtOf(overlap);
  if (!inverse.error.empty()) return {{}, inverse.error};
  return applyInverseSqrt(inverse.matrix, coefficients);
}

AoCoefficients applyInverseSqrt(const SymmetricMatrix& inverseSqrt,
                                const std::vector<double>& coefficients) {
  if (inverseSqrt.size() != coefficients.size() || inverseSqrt.empty()) {
    return {{}, sizeMismatch(inverseSqrt.size(), coefficients.size())};
  }
  const std::size_t n = coefficients.size();
  std::vector<double> result(n, 0.0);
  const std::vector<double>& lower = inverseSqrt.lowerTriangle();
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      result[i] += lower[k] * coefficients[j];
      result[j] += lower[k] * coefficients[i];
      ++k;
    }
    result[i] += lower[k++] * coefficients[i];
  }
  return {result, {}};
}

}  // namespace lobewright
