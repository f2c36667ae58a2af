#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "orbital/field.h"
#include "writers/surface_colouring.h"

namespace lobewright {

// What --color-by takes: esp, density, alpha, beta, spin, fukui-plus, fukui-minus, fukui-zero,
// fukui-dual, or mo:N with N as --mo names one MO (mo:37, mo:HOMO, mo:LUMO+1), in any case.
// Nothing for anything else, with what it takes in `error`.
[[nodiscard]] std::optional<ColouringSettings::Source> parseColourSource(std::string_view text,
                                                                         std::string& error);

// The words of parseColourSource, as a sentence lists them (for --help).
[[nodiscard]] std::string colourSourceWords();

// Whether the colouring takes a Fukui function, which needs the ions' calculations.
[[nodiscard]] inline bool isFukui(const ColouringSettings::Source& source) {
  return source.fukui != FukuiKind::none;
}

// The field a surface is coloured by, and how its colour bar names it and its units.
struct ColouringField {
  std::unique_ptr<Field> field;
  std::string title;  // "electrostatic potential", "MO 37 (beta)"
  std::vector<ScaleUnit> units;
  ConversionOutcome failure;  // why there is no field
};

// The units of a field's values, its own first: a.u. (and kcal/mol) for the potential,
// bohr^-3/2 for an MO, e/bohr^3 for densities, their differences and Fukui functions.
[[nodiscard]] std::vector<ScaleUnit> fieldUnits(FieldKind kind, FukuiKind fukui);

// Builds the settings' colouring field from the loaded input (exact model) as buildField builds
// a drawn one, from a copy of the settings whose field says what to colour by: an MO named by
// HOMO or LUMO is looked up in the input, of the settings' spin.
[[nodiscard]] ColouringField buildColouringField(LoadedInput& input,
                                                 const ConversionRequest& request);

}  // namespace lobewright
