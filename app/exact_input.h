#pragma once

#include <optional>
#include <string>

#include "app/conversion_request.h"
#include "input/calculation.h"
#include "orbital/exact_orbital.h"

namespace lobewright {

// The settings' MO of the calculation, de-orthogonalised unless the settings say otherwise. The
// overlap matrix is computed from the basis when the file gives neither it nor S^-1/2, and kept
// in the calculation for the next MO.
struct ExactOrbitalInput {
  std::optional<ExactOrbital> orbital;
  ConversionOutcome failure;
};
[[nodiscard]] ExactOrbitalInput exactOrbitalOf(Calculation& calculation,
                                               const ConversionSettings& settings,
                                               const std::string& fileName);

// Computes the overlap matrix from the basis when the calculation has neither it nor S^-1/2;
// false, with the reason, when the matrix does not fit in memory.
[[nodiscard]] bool ensureOverlap(Calculation& calculation, std::string& error);

}  // namespace lobewright
