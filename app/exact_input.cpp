#include "app/exact_input.h"

#include <new>

#include "app/loaded_input.h"
#include "input/number_text.h"
#include "input/orbital_choice.h"
#include "orbital/slater_overlap.h"

namespace lobewright {

bool ensureOverlap(Calculation& calculation, std::string& error) {
  if (!calculation.overlap.empty() || !calculation.inverseSqrtOverlap.empty()) return true;
  try {
    calculation.overlap = overlapMatrix(calculation);
    return true;
  } catch (const std::bad_alloc&) {
    const double aos = static_cast<double>(calculation.basis.size());
    const double gigabytes = aos * (aos + 1.0) / 2.0 * sizeof(double) / (1 << 30);
    error = "its " + std::to_string(calculation.basis.size()) + " AOs need an overlap matrix of " +
            fixedNumber(gigabytes, 1) + " GB, more than the memory allows";
    return false;
  }
}

ExactOrbitalInput exactOrbitalOf(Calculation& calculation, const ConversionSettings& settings,
                                 const std::string& fileName) {
  const auto refuse = [&](const std::string& reason) {
    return ExactOrbitalInput{std::nullopt,
                             {ConversionStatus::inputError, inputErrorMessage(fileName, reason)}};
  };
  const OrbitalFound found = findOrbital(calculation, settings.moNumber, settings.spin);
  if (!found.index) return refuse(found.error);
  if (std::string error; settings.deorthogonalise && !ensureOverlap(calculation, error)) {
    return refuse(error);
  }
  ExactOrbital::Build build = ExactOrbital::build(calculation, calculation.orbitals[*found.index],
                                                  settings.deorthogonalise);
  if (!build.orbital) return refuse(build.error);
  return {std::move(build.orbital), {}};
}

}  // namespace lobewright
