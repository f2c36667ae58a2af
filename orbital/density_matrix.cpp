#include "orbital/density_matrix.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <vector>

#include "orbital/deorthogonalisation.h"
#include "orbital/large_products.h"

namespace lobewright {
namespace {

using Eigen::Index;
using Eigen::MatrixXd;

constexpr const char* kIncompleteMos =
    "a density needs the file's density matrix or every occupied MO. MOPAC writes the density "
    "matrix to its .aux file (keyword AUX); for a .out file, ALLVEC prints every MO.";

[[nodiscard]] SymmetricMatrix packed(const MatrixXd& full) {
  SymmetricMatrix matrix(static_cast<std::size_t>(full.rows()));
  std::vector<double>& lower = matrix.lowerTriangle();
  std::size_t k = 0;
  for (Index i = 0; i < full.rows(); ++i) {
    for (Index j = 0; j <= i; ++j) lower[k++] = 0.5 * (full(i, j) + full(j, i));
  }
  return matrix;
}

// The file's P of one spin set, or both; a restricted run's total P holds each spin's half.
[[nodiscard]] std::optional<MatrixXd> fileSpinDensity(const Calculation& calculation, Spin spin) {
  const SymmetricMatrix& own =
      spin == Spin::alpha ? calculation.alphaDensity : calculation.betaDensity;
  if (spin == Spin::none) {
    if (!calculation.totalDensity.empty()) return fullMatrix(calculation.totalDensity);
    if (!calculation.alphaDensity.empty() && !calculation.betaDensity.empty()) {
      return MatrixXd(fullMatrix(calculation.alphaDensity) + fullMatrix(calculation.betaDensity));
    }
    return std::nullopt;
  }
  if (!own.empty()) return fullMatrix(own);
  if (!calculation.totalDensity.empty())
    return MatrixXd(0.5 * fullMatrix(calculation.totalDensity));
  return std::nullopt;
}

// Why the file's MOs of the set do not hold all of its electrons, or nothing when they do. They
// do when they are numbered from 1 without a gap and either hold the electron count the file
// states or end with an empty MO, past which no MO can be occupied.
[[nodiscard]] std::optional<std::string> incompleteMos(const Calculation& calculation, Spin spin,
                                                       std::optional<int> electrons) {
  std::vector<const MolecularOrbital*> set;
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    if (orbital.spin == spin) set.push_back(&orbital);
  }
  if (set.empty()) return std::string("This file holds no MOs: ") + kIncompleteMos;
  std::sort(set.begin(), set.end(), [](const MolecularOrbital* a, const MolecularOrbital* b) {
    return a->number < b->number;
  });
  const auto holds = [&] {
    return "This file holds MOs " + std::to_string(set.front()->number) + " to " +
           std::to_string(set.back()->number) + " only: ";
  };
  for (std::size_t i = 0; i < set.size(); ++i) {
    if (set[i]->number != static_cast<int>(i) + 1) return holds() + kIncompleteMos;
  }
  double held = 0.0;
  for (const MolecularOrbital* orbital : set) held += orbital->occupancy;
  const bool whole = electrons ? std::fabs(held - *electrons) < 1e-6 : set.back()->occupancy == 0.0;
  if (!whole) return holds() + kIncompleteMos;
  return std::nullopt;
}

// The sum of n_i c_i c_i^T over the MOs of the set; the MOs of a restricted run serve both spins
// with half their occupancy each.
[[nodiscard]] MatrixXd moSpinDensity(const Calculation& calculation, Spin set, double share) {
  const auto n = static_cast<Index>(calculation.basis.size());
  MatrixXd p = MatrixXd::Zero(n, n);
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    if (orbital.spin != set || orbital.occupancy == 0.0) continue;
    const Eigen::Map<const Eigen::VectorXd> c(orbital.coefficients.data(), n);
    p.selfadjointView<Eigen::Lower>().rankUpdate(c, share * orbital.occupancy);
  }
  return p.selfadjointView<Eigen::Lower>();
}

struct SpinDensity {
  std::optional<MatrixXd> p;
  std::string error;
};

// P of one spin set (alpha or beta) or of both (none), from the matrix or from the MOs.
[[nodiscard]] SpinDensity spinDensity(const Calculation& calculation, Spin spin) {
  if (std::optional<MatrixXd> p = fileSpinDensity(calculation, spin)) return {std::move(p), {}};
  const bool resolved = std::any_of(calculation.orbitals.begin(), calculation.orbitals.end(),
                                    [](const MolecularOrbital& o) { return o.spin != Spin::none; });
  if (!resolved) {
    if (auto problem = incompleteMos(calculation, Spin::none, calculation.electronCount)) {
      return {std::nullopt, *problem};
    }
    return {moSpinDensity(calculation, Spin::none, spin == Spin::none ? 1.0 : 0.5), {}};
  }
  SpinDensity sum{MatrixXd::Zero(static_cast<Index>(calculation.basis.size()),
                                 static_cast<Index>(calculation.basis.size())),
                  {}};
  for (const Spin set : {Spin::alpha, Spin::beta}) {
    if (spin != Spin::none && spin != set) continue;
    const std::optional<int> electrons =
        set == Spin::alpha ? calculation.alphaElectronCount : calculation.betaElectronCount;
    if (auto problem = incompleteMos(calculation, set, electrons)) return {std::nullopt, *problem};
    *sum.p += moSpinDensity(calculation, set, 1.0);
  }
  return sum;
}

[[nodiscard]] std::optional<MatrixXd> inverseSqrtOverlap(const Calculation& calculation,
                                                         std::string& error, int threads,
                                                         SymmetricMatrix* kept) {
  if (!calculation.inverseSqrtOverlap.empty()) return fullMatrix(calculation.inverseSqrtOverlap);
  if (kept && !kept->empty() && kept->size() == calculation.basis.size()) {
    return fullMatrix(*kept);
  }
  if (calculation.overlap.empty()) {
    error = "This file holds no overlap matrix, so the density cannot be de-orthogonalised.";
    return std::nullopt;
  }
  InverseSqrt inverse = inverseSqrtOf(calculation.overlap, threads);
  if (!inverse.error.empty()) {
    error = inverse.error;
    return std::nullopt;
  }
  MatrixXd full = fullMatrix(inverse.matrix);
  if (kept) *kept = std::move(inverse.matrix);
  return full;
}

}  // namespace

AoDensity densityOf(const Calculation& calculation, DensityKind kind, int threads,
                    SymmetricMatrix* keptInverseSqrt) {
  AoDensity density;
  SpinDensity p;
  if (kind == DensityKind::spin) {
    SpinDensity alpha = spinDensity(calculation, Spin::alpha);
    SpinDensity beta = alpha.p ? spinDensity(calculation, Spin::beta) : SpinDensity{};
    if (!alpha.p || !beta.p) {
      density.error = alpha.p ? beta.error : alpha.error;
      return density;
    }
    p.p = *alpha.p - *beta.p;
  } else {
    const Spin spin = kind == DensityKind::alpha  ? Spin::alpha
                      : kind == DensityKind::beta ? Spin::beta
                                                  : Spin::none;
    p = spinDensity(calculation, spin);
    if (!p.p) {
      density.error = p.error;
      return density;
    }
  }
  if (p.p->rows() != static_cast<Index>(calculation.basis.size())) {
    density.error = "The density matrix is over " + std::to_string(p.p->rows()) +
                    " AOs, but the basis has " + std::to_string(calculation.basis.size()) + ".";
    return density;
  }
  std::optional<MatrixXd> x =
      inverseSqrtOverlap(calculation, density.error, threads, keptInverseSqrt);
  if (!x) return density;
  density.electrons = p.p->trace();
  MatrixXd xp = productOf(*x, *p.p, threads);
  p.p.reset();
  density.matrix = packed(productOf(xp, *x, threads));
  return density;
}

}  // namespace lobewright
