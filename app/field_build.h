#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "orbital/field.h"

namespace lobewright {

// The field a conversion of the exact model draws, as the settings choose it: an MO, a density,
// a difference of two calculations' fields or a Fukui function.
struct BuiltField {
  std::unique_ptr<Field> field;
  // "total density of caffeine.aux", "MO 37 (beta) of caffeine.aux": what a cube's first comment
  // names.
  std::string description;
  // The quantity and its unit, for a cube's second comment: "psi in bohr^-3/2".
  std::string quantity;
  // For fields made of densities, the electrons they hold (the trace of their density matrices
  // over the orthogonalised AOs, weighted as the field weighs them), and the count they should
  // hold with where that comes from: "the file states" 12, "a Fukui function integrates to" 1.
  std::optional<double> electrons;
  std::optional<double> expectedElectrons;
  std::string expectation;
  // When asked for: the field's integral over all space, sum_mu,nu D_mu,nu S_mu,nu with S from
  // the overlap integrals of the functions the field is evaluated with, weighted as the field
  // weighs its densities. It shows that the density is whole: without de-orthogonalisation it
  // would be 30 to 45 % off.
  std::optional<double> integral;
  // For a cube, the field whose surface at extentThreshold its box must hold, when not the field
  // itself: the potential's cube spans the density's surface at its usual isovalue, the box of the
  // density's own cube, so the two can be mapped onto each other.
  std::unique_ptr<Field> extent;
  double extentThreshold = 0.0;
  ConversionOutcome failure;  // why there is no field
};

// Builds the settings' field from the loaded input (exact model) and its other calculations. The
// overlap matrix of a file that gives neither it nor S^-1/2 is computed once and kept. Refused,
// with the reason: an MO or density the files cannot give, a difference of calculations whose
// atoms differ (naming the first that does), a Fukui function without the ion it needs or with an
// ion whose electron count is not one more or one less, de-orthogonalisation turned off for a
// density.
[[nodiscard]] BuiltField buildField(LoadedInput& input, const ConversionRequest& request,
                                    bool withIntegral = false);

// Why two calculations of the same atoms at the same geometry are not that: another number of
// atoms, or the first atom of another element or more than 1e-4 Angstrom away. Nothing when they
// are. The names say which file is which.
[[nodiscard]] std::optional<std::string> differentAtoms(const Calculation& first,
                                                        const std::string& firstName,
                                                        const Calculation& second,
                                                        const std::string& secondName);

}  // namespace lobewright
