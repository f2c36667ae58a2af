#include "app/orbital_list.h"

#include <algorithm>
#include <charconv>

#include "app/loaded_input.h"
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
  // Every kind of input is listed from the calculation as the exact model reads it, which needs
  // no parameter table and so has nothing to warn about.
  ConversionRequest exact = request;
  exact.settings.model = OrbitalModel::exact;
  class NoWarnings : public MessageSink {
    void show(const std::string& /*caption*/, const std::string& /*text*/) override {}
  } noWarnings;
  const InputLoad load = loadInput(exact, noWarnings);
  if (!load.input) return {{}, load.failure.message};
  return {orbitalRows(*load.input->exact), {}};
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
