#include "app/orbital_list.h"

#include <algorithm>
#include <charconv>

#include "app/exact_input.h"
#include "input/orbital_choice.h"

namespace lobewright {
namespace {

const char* spinName(Spin spin) {
  switch (spin) {
    case Spin::alpha:
      return "alpha";
    case Spin::beta:
      return "beta";
    case Spin::none:
      break;
  }
  return "-";
}

// Four decimals with a point whatever the user's locale: the window sets one, the converter not.
std::string fixed(double value) {
  char digits[64];
  const auto end =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
  return std::string(digits, end.ptr);
}

}  // namespace

std::vector<OrbitalRow> orbitalRows(const Calculation& calculation) {
  std::vector<OrbitalRow> rows;
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    rows.push_back(
        {orbital.number, orbital.spin, orbital.occupancy, orbital.energy, orbital.symmetry, {}});
  }
  for (const Spin spin : {Spin::none, Spin::alpha, Spin::beta}) {
    const bool present = std::any_of(calculation.orbitals.begin(), calculation.orbitals.end(),
                                     [spin](const MolecularOrbital& o) { return o.spin == spin; });
    if (!present) continue;
    const FrontierOrbitals frontier = frontierOrbitals(calculation, spin);
    if (!frontier.error.empty()) continue;
    for (OrbitalRow& row : rows) {
      if (row.spin != spin) continue;
      if (row.number == frontier.homo) row.frontier = "HOMO";
      if (row.number == frontier.lumo) row.frontier = "LUMO";
    }
  }
  return rows;
}

OrbitalListing listOrbitals(const ConversionRequest& request) {
  std::string error;
  const std::optional<InputSource> source = InputSource::load(request.inputFile, error);
  if (!source) return {{}, inputErrorMessage(request.inputFile, error)};
  const CalculationInput input = readCalculation(request, *source);
  if (!input.calculation) return {{}, input.failure.message};
  return {orbitalRows(*input.calculation), {}};
}

std::string orbitalListText(const std::vector<OrbitalRow>& rows) {
  std::string text = "# mo spin occupancy energy_eV symmetry frontier\n";
  for (const OrbitalRow& row : rows) {
    text += std::to_string(row.number) + ' ' + spinName(row.spin) + ' ' + fixed(row.occupancy) +
            ' ' + fixed(row.energy) + ' ';
    text += row.symmetry.empty() ? "-" : row.symmetry;
    text += ' ';
    text += row.frontier.empty() ? "-" : row.frontier;
    text += '\n';
  }
  return text;
}

}  // namespace lobewright
