#include "app/exact_input.h"

#include "app/loaded_input.h"
#include "input/orbital_choice.h"
#include "orbital/slater_overlap.h"

namespace lobewright {

ExactOrbitalInput exactOrbitalOf(Calculation& calculation, const ConversionSettings& settings,
                                 const std::string& fileName) {
  const auto refuse = [&](const std::string& reason) {
    return ExactOrbitalInput{std::nullopt,
                             {ConversionStatus::inputError, inputErrorMessage(fileName, reason)}};
  };
  const OrbitalFound found = findOrbital(calculation, settings.moNumber, settings.spin);
  if (!found.index) return refuse(found.error);
  if (settings.deorthogonalise && calculation.overlap.empty() &&
      calculation.inverseSqrtOverlap.empty()) {
    calculation.overlap = overlapMatrix(calculation);
  }
  ExactOrbital::Build build = ExactOrbital::build(calculation, calculation.orbitals[*found.index],
                                                  settings.deorthogonalise);
  if (!build.orbital) return refuse(build.error);
  return {std::move(build.orbital), {}};
}

}  // namespace lobewright
