#pragma once

#include <cmath>
#include <optional>

#include "fuzz/fuzz_input.h"
#include "input/calculation.h"
#include "orbital/slater_overlap.h"

namespace lobewright::fuzzing {

// What a reader promises of the calculation it returns: functions on atoms that exist with
// exponents the overlap integrals take, one coefficient per function in every MO, finite
// numbers; and S of the basis can be computed.
inline void checkCalculation(const Calculation& calculation) {
  require(!calculation.atoms.empty() && !calculation.basis.empty(), "no atoms or no functions");
  for (const CalculationAtom& atom : calculation.atoms) {
    require(std::isfinite(atom.position.x) && std::isfinite(atom.position.y) &&
                std::isfinite(atom.position.z),
            "a coordinate is not finite");
  }
  for (const MolecularOrbital& mo : calculation.orbitals) {
    require(mo.coefficients.size() == calculation.basis.size(), "an MO of the wrong length");
    require((!mo.energy || std::isfinite(*mo.energy)) && std::isfinite(mo.occupancy),
            "an energy is not finite");
    require(mo.occupancy >= 0.0 && mo.occupancy <= 2.0, "an MO holds more than 2 electrons");
  }
  const auto within = [](const std::optional<int>& count, std::size_t most) {
    return !count || (*count >= 0 && static_cast<std::size_t>(*count) <= most);
  };
  const std::size_t aoCount = calculation.basis.size();
  require(within(calculation.electronCount, 2 * aoCount) &&
              within(calculation.alphaElectronCount, aoCount) &&
              within(calculation.betaElectronCount, aoCount),
          "more electrons than the MOs hold");
  const SymmetricMatrix s = overlapMatrix(calculation);
  require(s.size() == calculation.basis.size(), "the basis takes no overlap integrals");
  for (const double value : s.lowerTriangle()) require(std::isfinite(value), "S is not finite");
  const SymmetricMatrix& x = calculation.inverseSqrtOverlap;
  require(x.empty() || x.size() == calculation.basis.size(), "S^-1/2 of the wrong size");
}

}  // namespace lobewright::fuzzing
