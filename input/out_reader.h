#pragma once

#include <istream>
#include <string>

#include "input/calculation.h"

namespace lobewright {

// Reads a MOPAC text output with its eigenvectors printed (keyword VECTORS): the .out of MOPAC 7,
// 2016 and 22 and the older layout of MOPAC 6, RHF and UHF, with s, p and d rows, and canonical
// MOs of a MOZYME run with EIGEN. Taken from the file:
// - the method, from its "<METHOD> CALCULATION RESULTS" heading or else the keyword echo; PM3,
//   the classic model's method, when the file names none (Calculation::method stays empty);
// - the atoms, from the last table of Cartesian coordinates, which is the final geometry;
// - the MOs printed (without ALLVEC only some: each MO keeps its number), their eigenvalues,
//   symmetry labels where printed, and coefficients with the file's 4 or 5 decimals;
// - occupancies from the count of doubly occupied levels (with the open levels of OPEN(M,N) at
//   M/N electrons each), from the numbers of alpha and beta electrons in a UHF run, and from the
//   section (occupied or virtual) in a MOZYME run;
// - the basis: n and zeta of each shell from the method's rows of the Slater exponent table.
// The file holds neither S nor S^-1/2: both stay empty.
[[nodiscard]] CalculationRead readOutFile(std::istream& in, const std::string& source);
[[nodiscard]] CalculationRead readOutFile(const std::string& path);

}  // namespace lobewright
