#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "input/calculation.h"
#include "orbital/classic_orbital.h"
#include "orbital/field.h"

namespace lobewright {

// The settings' MO of a calculation in the classic model, ready for the grid of the settings'
// scale, or why the calculation cannot give it (a message for the user).
struct ClassicMoLookup {
  std::optional<ClassicOrbital> orbital;
  ConversionOutcome failure;
};
[[nodiscard]] ClassicMoLookup classicOrbitalFor(const ClassicCalculation& calculation,
                                                const ConversionRequest& request);

// The atoms of a classic calculation as every newer output takes them: symbols and Angstrom.
[[nodiscard]] std::vector<CalculationAtom> atomsOf(const ClassicCalculation& calculation);

// The field a request draws from its loaded input, in the input's model: the classic MO, or the
// exact model's MO, density, difference or Fukui function. With the atoms it is drawn among and
// what it is: "MO 37 (beta) of caffeine.aux", "total density of caffeine.aux", and its quantity
// with the unit ("psi in bohr^-3/2").
struct DrawnField {
  std::unique_ptr<Field> field;
  std::vector<CalculationAtom> atoms;
  std::string description;
  std::string quantity;
  // For a cube, the field whose surface its box must hold, when not the field itself (see
  // BuiltField).
  std::unique_ptr<Field> extent;
  double extentThreshold = 0.0;
  ConversionOutcome failure;  // why there is no field
};
[[nodiscard]] DrawnField drawnField(LoadedInput& input, const ConversionRequest& request);

}  // namespace lobewright
