#pragma once

#include <istream>
#include <string>

#include "input/calculation.h"

namespace lobewright {

// Reads a MOPAC .aux file (keyword AUX): the method, the atoms at their final geometry, the
// Slater basis (exponent, principal quantum number and type of every AO), the overlap matrix and
// every MO the file holds with its energy, occupancy and symmetry, alpha and beta sets apart
// after a UHF run. Both the default precision and AUX(PRECISION=9) are read. `source` names the
// file in messages.
[[nodiscard]] CalculationRead readAuxFile(std::istream& in, const std::string& source);
[[nodiscard]] CalculationRead readAuxFile(const std::string& path);

}  // namespace lobewright
