#include "app/exact_input.h"

#include "app/input_source.h"
#include "input/aux_reader.h"
#include "input/mgf_reader.h"
#include "input/orbital_choice.h"
#include "input/out_reader.h"
#include "orbital/slater_overlap.h"

namespace lobewright {
namespace {

ConversionOutcome inputFailure(const std::string& fileName, const std::string& reason) {
  return {ConversionStatus::inputError, inputErrorMessage(fileName, reason)};
}

}  // namespace

CalculationInput readCalculation(const ConversionRequest& request, const InputSource& source) {
  CalculationInput result;
  std::string error;
  std::unique_ptr<std::istream> text = source.open(error);
  if (!text) {
    result.failure = inputFailure(request.inputFile, error);
    return result;
  }
  result.kind = detectInputKind(*text);
  if (result.kind == InputKind::notMopac) {
    result.failure = inputFailure(request.inputFile, kNotMopacMessage);
    return result;
  }
  text = source.open(error);
  if (!text) {
    result.failure = inputFailure(request.inputFile, error);
    return result;
  }
  CalculationRead read;
  switch (result.kind) {
    case InputKind::aux:
      read = readAuxFile(*text, request.inputFile);
      break;
    case InputKind::mgf:
      read = readMgfFile(*text, request.inputFile);
      break;
    case InputKind::olderLayout:
    case InputKind::newerLayout:
    case InputKind::otherText:
    case InputKind::notMopac:
      read = readOutFile(*text, request.inputFile);
      break;
  }
  if (!read.calculation) {
    result.failure = {ConversionStatus::inputError,
                      std::string(kInputFileErrorMessage) + "\n" + read.error.message()};
    return result;
  }
  result.calculation = std::move(read.calculation);
  return result;
}

ExactOrbitalInput exactOrbitalOf(Calculation& calculation, const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  const OrbitalFound found = findOrbital(calculation, settings.moNumber, settings.spin);
  if (!found.index) return {std::nullopt, inputFailure(request.inputFile, found.error)};
  if (settings.deorthogonalise && calculation.overlap.empty() &&
      calculation.inverseSqrtOverlap.empty()) {
    calculation.overlap = overlapMatrix(calculation);
  }
  ExactOrbital::Build build = ExactOrbital::build(calculation, calculation.orbitals[*found.index],
                                                  settings.deorthogonalise);
  if (!build.orbital) return {std::nullopt, inputFailure(request.inputFile, build.error)};
  return {std::move(build.orbital), {}};
}

}  // namespace lobewright
