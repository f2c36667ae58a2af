#pragma once

#include <istream>
#include <string>

#include "input/calculation.h"

namespace lobewright {

// Reads a MOPAC graphics file (.mgf, keyword GRAPHF; the layout of MOPAC 2009 and later):
// - the atoms (atomic numbers and coordinates in Angstrom, in the file's own frame);
// - per atom the exponents of its s, p and d shells (a zero exponent: no such shell); the
//   principal quantum numbers, which the file does not give, from the exponent table's rows for
//   the method named in the closing "Keywords:" line, PM7 (MOPAC's default) when it names none;
// - every MO with its occupancy as written (whole numbers: MOPAC writes 0 for the open levels of
//   OPEN(M,N)), symmetry label and energy; in a UHF file the MOs before INVERSE_MATRIX are the
//   alpha set and those after the "Keywords:" line the beta set;
// - INVERSE_MATRIX, which is S^-1/2 itself, into Calculation::inverseSqrtOverlap; but not when
//   the basis has d functions: MOPAC's matrix then belongs to other overlaps than those of the
//   functions (see the reader), and inverseSqrtOverlap stays empty.
[[nodiscard]] CalculationRead readMgfFile(std::istream& in, const std::string& source);
[[nodiscard]] CalculationRead readMgfFile(const std::string& path);

}  // namespace lobewright
