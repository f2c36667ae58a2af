#include "app/orbital_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "app/loaded_input.h"
#include "app/terminal_text.h"
#include "input/orbital_choice.h"

namespace lobewright {
namespace {

// Energies closer than this are one level, as MOPAC's printed energies tell them apart.
constexpr double kDegenerateEnergy = 1e-3;  // eV
// An occupancy this close to 1 is a single electron.
constexpr double kOneElectron = 1e-3;

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
// Values too large for a column of fixed digits are written with an exponent.
std::string fixed(double value) {
  constexpr double kLargestFixed = 1e12;
  char digits[64];
  const std::chars_format format =
      std::fabs(value) < kLargestFixed ? std::chars_format::fixed : std::chars_format::scientific;
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, format, 4);
  if (error != std::errc()) return "?";
  return std::string(digits, end);
}

bool holds(const Calculation& calculation, Spin spin) {
  return std::any_of(calculation.orbitals.begin(), calculation.orbitals.end(),
                     [spin](const MolecularOrbital& o) { return o.spin == spin; });
}

// Whether the MO holds the one electron of an open shell.
bool singlyOccupied(const Calculation& calculation, const MolecularOrbital& orbital) {
  if (std::fabs(orbital.occupancy - 1.0) > kOneElectron) return false;
  if (orbital.spin == Spin::none) return true;
  // Every occupied MO of a spin set holds one electron; the alpha MOs beyond the beta electrons'
  // count have no partner.
  if (orbital.spin != Spin::alpha) return false;
  const std::optional<int> beta = calculation.betaElectronCount;
  if (beta) return orbital.number > *beta;
  const FrontierOrbitals betaFrontier = frontierOrbitals(calculation, Spin::beta);
  return betaFrontier.error.empty() && orbital.number > betaFrontier.homo;
}

}  // namespace

std::string orbitalMarks(const OrbitalRow& row) {
  std::string marks;
  for (const auto& [present, mark] :
       {std::pair{row.localized, "LMO"}, std::pair{row.singlyOccupied, "SOMO"},
        std::pair{!row.frontier.empty(), row.frontier.c_str()}}) {
    if (!present) continue;
    if (!marks.empty()) marks += ',';
    marks += mark;
  }
  return marks;
}

std::vector<OrbitalRow> orbitalRows(const Calculation& calculation) {
  std::vector<OrbitalRow> rows;
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    OrbitalRow& row = rows.emplace_back();
    row.number = orbital.number;
    row.spin = orbital.spin;
    row.occupancy = orbital.occupancy;
    row.energy = orbital.energy;
    row.symmetry = orbital.symmetry;
    row.singlyOccupied = !calculation.localized && singlyOccupied(calculation, orbital);
    row.localized = calculation.localized;
  }
  for (const Spin spin : {Spin::none, Spin::alpha, Spin::beta}) {
    if (!holds(calculation, spin)) continue;
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
  exact.settings.field = {};
  class NoWarnings : public MessageSink {
    void show(const std::string& /*caption*/, const std::string& /*text*/) override {}
  } noWarnings;
  const InputLoad load = loadInput(exact, noWarnings);
  if (!load.input) return {{}, {}, load.failure.message};
  const Calculation& calculation = *load.input->exact;
  return {orbitalRows(calculation), calculation.energyNote, {}};
}

std::string orbitalListText(const OrbitalListing& listing) {
  std::string text = "# mo spin occupancy energy_eV symmetry marks\n";
  if (!listing.note.empty()) text += "# " + terminalSafe(listing.note) + ".\n";
  for (const OrbitalRow& row : listing.rows) {
    const std::string marks = orbitalMarks(row);
    text += std::to_string(row.number) + ' ' + spinName(row.spin) + ' ' + fixed(row.occupancy) +
            ' ' + (row.energy ? fixed(*row.energy) : "-") + ' ';
    // The labels come from the file: nothing in them may act on the terminal.
    text += row.symmetry.empty() ? "-" : terminalSafe(row.symmetry);
    text += ' ';
    text += marks.empty() ? "-" : marks;
    text += '\n';
  }
  return text;
}

std::vector<int> degeneratePartners(const Calculation& calculation, int number, Spin spin) {
  const OrbitalFound found = findOrbital(calculation, number, spin);
  if (!found.index || calculation.localized) return {};
  const MolecularOrbital& chosen = calculation.orbitals[*found.index];
  if (!chosen.energy) return {};
  std::vector<int> partners;
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    if (orbital.spin != chosen.spin || orbital.number == chosen.number || !orbital.energy) continue;
    if (std::fabs(*orbital.energy - *chosen.energy) <= kDegenerateEnergy) {
      partners.push_back(orbital.number);
    }
  }
  return partners;
}

std::string degeneracyNote(const Calculation& calculation, int number, Spin spin) {
  const std::vector<int> partners = degeneratePartners(calculation, number, spin);
  if (partners.empty()) return {};
  const std::string mo = spin == Spin::beta ? "beta MO" : "MO";
  std::string names;
  for (std::size_t i = 0; i < partners.size(); ++i) {
    if (i > 0) names += i + 1 == partners.size() ? " and " : ", ";
    names += std::to_string(partners[i]);
  }
  return mo + " " + std::to_string(number) + " is degenerate with " + mo +
         (partners.size() > 1 ? "s " : " ") + names +
         " (energies within 0.001 eV): any mix of them is as good an MO, so its picture is one "
         "choice among many.";
}

}  // namespace lobewright
