#pragma once

#include <Eigen/Dense>
#include <cmath>
#include <vector>

namespace lobewright::testing {

// Nodes and weights of a Gauss rule, from the eigenvectors of its Jacobi matrix (Golub and
// Welsch, Math. Comp. 23 (1969) 221).
struct GaussRule {
  std::vector<double> nodes;
  std::vector<double> weights;
};

inline GaussRule gaussFromJacobi(const Eigen::VectorXd& diagonal,
                                 const Eigen::VectorXd& offDiagonal, double totalWeight) {
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver;
  solver.computeFromTridiagonal(diagonal, offDiagonal);
  GaussRule rule;
  for (Eigen::Index i = 0; i < diagonal.size(); ++i) {
    rule.nodes.push_back(solver.eigenvalues()(i));
    const double first = solver.eigenvectors()(0, i);
    rule.weights.push_back(totalWeight * first * first);
  }
  return rule;
}

// Integrates f over [-1, 1]; exact for polynomials of degree below 2n.
inline GaussRule gaussLegendre(int n) {
  Eigen::VectorXd offDiagonal(n - 1);
  for (int k = 1; k < n; ++k) offDiagonal(k - 1) = k / std::sqrt(4.0 * k * k - 1.0);
  return gaussFromJacobi(Eigen::VectorXd::Zero(n), offDiagonal, 2.0);
}

// Integrates exp(-t) f(t) over [0, infinity); exact for polynomials f of degree below 2n.
inline GaussRule gaussLaguerre(int n) {
  Eigen::VectorXd diagonal(n);
  Eigen::VectorXd offDiagonal(n - 1);
  for (int k = 0; k < n; ++k) diagonal(k) = 2.0 * k + 1.0;
  for (int k = 1; k < n; ++k) offDiagonal(k - 1) = k;
  return gaussFromJacobi(diagonal, offDiagonal, 1.0);
}

}  // namespace lobewright::testing
