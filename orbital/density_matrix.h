#pragma once

#include <optional>
#include <string>

#include "input/calculation.h"
#include "input/symmetric_matrix.h"

namespace lobewright {

// Which electrons a density counts: both spins, one of them, or alpha less beta.
enum class DensityKind : uint8_t { total, alpha, beta, spin };

// A density over the real AOs: rho(r) = sum_mu,nu D_mu,nu phi_mu(r) phi_nu(r), with the electrons
// it holds.
struct AoDensity {
  SymmetricMatrix matrix;  // D, empty when it cannot be had
  double electrons = 0.0;  // the integral of rho: tr(P)
  std::string error;       // for the user; meaningful when the matrix is empty
};

// The calculation's density of that kind, de-orthogonalised like an MO: D = S^-1/2 P S^-1/2.
// P is the file's density matrix over the orthogonalised AOs (a restricted run's total P gives
// alpha = beta = P / 2), or, for files without one, the sum of n_i c_i c_i^T over the occupied
// MOs, which the file must then hold every one of. S^-1/2 comes from the file when it gives it,
// else from its overlap matrix, which the caller computes from the basis when the file has none.
// Takes cubic time in the number of AOs; the products share their columns among the threads.
// S^-1/2 worked out from the overlap matrix is left in `keptInverseSqrt` when one is given, and
// taken from it by the next density of the same calculation: the same numbers, without the
// eigendecomposition.
[[nodiscard]] AoDensity densityOf(const Calculation& calculation, DensityKind kind, int threads = 1,
                                  SymmetricMatrix* keptInverseSqrt = nullptr);

}  // namespace lobewright
