#pragma once

#include "input/calculation.h"
#include "input/symmetric_matrix.h"
#include "input/vector3.h"

namespace lobewright {

// Principal quantum numbers the overlap integrals take: MOPAC's bases go up to 6 (7 for the
// s shell of radon).
inline constexpr int kMaxOverlapPrincipal = 8;

// The overlap of two normalised real Slater functions (the conventions of the exact model:
// MOPAC's d order X2, XZ, Z2, YZ, XY) centred at a and b, in bohr. Computed exactly: in a frame
// along the line between the centres the product of the two functions is a polynomial in
// prolate spheroidal coordinates times exponentials, whose integrals are Mulliken's A_k and B_k;
// the p and d functions are then rotated into place.
// Functions must have 1 <= n <= kMaxOverlapPrincipal, n > l and zeta > 0.
[[nodiscard]] double slaterOverlap(const BasisFunction& a, const Vec3& centreA,
                                   const BasisFunction& b, const Vec3& centreB);

// S for the calculation's basis, at its atoms' positions (Angstrom). Empty when a function's
// atom does not exist or its n or zeta lie outside what slaterOverlap takes.
[[nodiscard]] SymmetricMatrix overlapMatrix(const Calculation& calculation);

}  // namespace lobewright
