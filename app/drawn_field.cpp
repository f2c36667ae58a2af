#include "app/drawn_field.h"

#include <filesystem>

#include "app/field_build.h"
#include "app/homo_lumo_locator.h"
#include "orbital/classic_field.h"

namespace lobewright {
namespace {

// "MO 37 (beta) of caffeine.aux": what the classic model draws.
std::string classicDescription(const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  std::string text = "MO " + std::to_string(settings.moNumber);
  if (settings.spin == Spin::beta) text += " (beta)";
  return text + " of " + std::filesystem::path(request.inputFile).filename().string();
}

}  // namespace

ClassicMoLookup classicOrbitalFor(const ClassicCalculation& calculation,
                                  const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  if (settings.moNumber > kGreatestMoNumber) {
    return {std::nullopt,
            {ConversionStatus::inputError,
             inputErrorMessage(request.inputFile,
                               "MO " + std::to_string(settings.moNumber) +
                                   " is beyond the classic model's highest MO number, 32767")}};
  }
  const ClassicMoFound found = findClassicMo(calculation, settings.moNumber);
  if (!found.orbital) {
    return {std::nullopt,
            {ConversionStatus::inputError, inputErrorMessage(request.inputFile, found.error)}};
  }
  return {ClassicOrbital(calculation, found.orbital->coefficients, settings.scale, settings.cutoff),
          {}};
}

std::vector<CalculationAtom> atomsOf(const ClassicCalculation& calculation) {
  std::vector<CalculationAtom> atoms;
  for (const ClassicAtom& atom : calculation.atoms) {
    const Point& p = atom.position;
    atoms.push_back({calculation.parameters.symbol[atom.element], {p.x, p.y, p.z}});
  }
  return atoms;
}

DrawnField drawnField(LoadedInput& input, const ConversionRequest& request) {
  if (input.classic) {
    ClassicMoLookup lookup = classicOrbitalFor(*input.classic, request);
    DrawnField drawn;
    if (!lookup.orbital) {
      drawn.failure = std::move(lookup.failure);
      return drawn;
    }
    drawn.field = std::make_unique<ClassicField>(*lookup.orbital);
    drawn.atoms = atomsOf(*input.classic);
    drawn.description = classicDescription(request);
    drawn.quantity = "psi in bohr^-3/2";
    return drawn;
  }
  BuiltField built = buildField(input, request);
  DrawnField drawn;
  if (!built.field) {
    drawn.failure = std::move(built.failure);
    return drawn;
  }
  drawn.field = std::move(built.field);
  drawn.atoms = input.exact->atoms;
  drawn.description = std::move(built.description);
  drawn.quantity = std::move(built.quantity);
  drawn.extent = std::move(built.extent);
  drawn.extentThreshold = built.extentThreshold;
  return drawn;
}

}  // namespace lobewright
