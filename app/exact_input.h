#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/conversion.h"
#include "app/input_kind.h"
#include "input/calculation.h"
#include "orbital/exact_orbital.h"

namespace lobewright {

// A calculation read for the exact model, with the kind of file it came from.
struct CalculationInput {
  std::optional<Calculation> calculation;
  InputKind kind = InputKind::otherText;
  ConversionOutcome failure;  // why it could not be read, when calculation is empty
};

// Reads the request's input as a calculation, whatever its kind (the older layout with PM3's
// basis), checking it as a conversion checks its input.
[[nodiscard]] CalculationInput readCalculation(const ConversionRequest& request,
                                               const InputSource& source);

// The requested MO of the calculation, de-orthogonalised unless the settings say otherwise; the
// overlap matrix is computed from the basis when the file gives neither it nor S^-1/2.
struct ExactOrbitalInput {
  std::optional<ExactOrbital> orbital;
  ConversionOutcome failure;
};
[[nodiscard]] ExactOrbitalInput exactOrbitalOf(Calculation& calculation,
                                               const ConversionRequest& request);

}  // namespace lobewright
