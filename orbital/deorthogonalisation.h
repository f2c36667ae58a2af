#pragma once

#include <string>
#include <vector>

#include "input/symmetric_matrix.h"

namespace lobewright {

// MOPAC's eigenvectors c are coefficients over Loewdin-orthogonalised AOs; over the real AOs the
// same MO has the coefficients d = S^-1/2 c, S being the AO overlap matrix.

struct InverseSqrt {
  SymmetricMatrix matrix;
  std::string error;  // for the user; meaningful when matrix is empty
};

// S^-1/2 = V diag(1 / sqrt(lambda)) V^T from the full eigendecomposition S = V diag(lambda) V^T.
// Refuses a matrix that is not positive definite. Takes cubic time: about 15 s for 2,500 AOs on
// two cores (bench/inverse_sqrt_bench), where only the last product shares out its columns.
[[nodiscard]] InverseSqrt inverseSqrtOf(const SymmetricMatrix& overlap, int threads = 1);

struct AoCoefficients {
  std::vector<double> values;
  std::string error;  // for the user; meaningful when it is not empty
};

// d = S^-1/2 c for one MO, without forming S^-1/2: a Lanczos process builds the Krylov space of
// S and c, in which x^-1/2 of the small projected matrix gives d to about 1e-13 relative. A
// matrix that is not positive definite is refused when one of its 2 x 2 principal minors is not
// positive, or when the process meets an eigenvalue that is not (a Ritz value of the projected
// matrix at or below zero). An eigenvalue that c has no part in is never met, but d does not
// depend on it either: it is then x^-1/2 of S on the space that c and S span, which is positive
// definite. About 0.2 s for 2,500 AOs (bench/model_bench).
[[nodiscard]] AoCoefficients deorthogonalise(const SymmetricMatrix& overlap,
                                             const std::vector<double>& coefficients);

// d = M c, for files that give M = S^-1/2 itself.
[[nodiscard]] AoCoefficients applyInverseSqrt(const SymmetricMatrix& inverseSqrt,
                                              const std::vector<double>& coefficients);

}  // namespace lobewright
