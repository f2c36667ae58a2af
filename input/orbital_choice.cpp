#include "input/orbital_choice.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace lobewright {
namespace {

// An MO with no more electrons than this is empty; files print occupancies to four decimals
// at the least.
constexpr double kEmptyOccupancy = 1e-6;

// How to have every MO in the kind of file the calculation came from.
[[nodiscard]] std::string keepEveryMo(const Calculation& calculation) {
  switch (calculation.file) {
    case CalculationFile::out:
      return "Run MOPAC with the keywords VECTORS ALLVEC to print every MO.";
    case CalculationFile::mgf:
      return "Run MOPAC with the keywords GRAPHF ALLVEC to keep every MO.";
    case CalculationFile::aux:
      break;
  }
  return "Run MOPAC with AUX(MOS=99999) to keep every MO.";
}

constexpr std::string_view kLocalizedHasNoFrontier =
    "This file holds MOZYME's localized MOs (LMOs), which have no HOMO or LUMO: those are "
    "canonical MOs. Run MOPAC with the keywords MOZYME EIGEN to have them.";

[[nodiscard]] bool holds(const Calculation& calculation, Spin spin) {
  return std::any_of(calculation.orbitals.begin(), calculation.orbitals.end(),
                     [spin](const MolecularOrbital& orbital) { return orbital.spin == spin; });
}

// "MO", "alpha MO" or "beta MO", capitalised at the start of a sentence.
[[nodiscard]] std::string moName(Spin spin, bool sentenceStart) {
  std::string name = spin == Spin::alpha ? "alpha MO" : spin == Spin::beta ? "beta MO" : "MO";
  if (sentenceStart && name.front() != 'M') {
    name.front() = static_cast<char>(name.front() - 'a' + 'A');
  }
  return name;
}

[[nodiscard]] std::string_view spinWord(Spin spin) { return spin == Spin::beta ? "beta" : "alpha"; }

struct HeldRange {
  int first = 0;
  int last = 0;
};

[[nodiscard]] HeldRange heldRange(const Calculation& calculation, Spin spin) {
  HeldRange range;
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    if (orbital.spin != spin) continue;
    if (range.first == 0 || orbital.number < range.first) range.first = orbital.number;
    range.last = std::max(range.last, orbital.number);
  }
  return range;
}

[[nodiscard]] std::optional<int> electronsOf(const Calculation& calculation, Spin spin) {
  switch (spin) {
    case Spin::alpha:
      return calculation.alphaElectronCount;
    case Spin::beta:
      return calculation.betaElectronCount;
    case Spin::none:
      return calculation.electronCount;
  }
  return std::nullopt;
}

[[nodiscard]] std::string noSuchSet(const Calculation& calculation, Spin spin) {
  if (spin != Spin::none && holds(calculation, Spin::none)) {
    return "This file holds no " + std::string(spinWord(spin)) +
           " orbitals: it comes from a restricted (RHF) calculation, whose MOs serve both "
           "spins. Run MOPAC with the keyword UHF for separate alpha and beta orbitals.";
  }
  return spin == Spin::none ? "This file holds no orbitals."
                            : "This file holds no " + std::string(spinWord(spin)) + " orbitals.";
}

}  // namespace

Spin servingSpin(const Calculation& calculation, Spin requested) {
  if (holds(calculation, requested)) return requested;
  if (requested == Spin::alpha && holds(calculation, Spin::none)) return Spin::none;
  if (requested == Spin::none && holds(calculation, Spin::alpha)) return Spin::alpha;
  return requested;
}

OrbitalFound findOrbital(const Calculation& calculation, int number, Spin spin) {
  spin = servingSpin(calculation, spin);
  if (!holds(calculation, spin)) return {std::nullopt, noSuchSet(calculation, spin)};
  for (std::size_t i = 0; i < calculation.orbitals.size(); ++i) {
    const MolecularOrbital& orbital = calculation.orbitals[i];
    if (orbital.spin == spin && orbital.number == number) return {i, {}};
  }
  const int moCount = static_cast<int>(calculation.basis.size());
  const std::string mo = moName(spin, true) + " " + std::to_string(number);
  if (number < 1)
    return {std::nullopt, "There is no " + moName(spin, false) + " " + std::to_string(number) +
                              ": MOs are counted from 1."};
  if (number > moCount) {
    return {std::nullopt,
            mo + " does not exist: the molecule has only " + std::to_string(moCount) + " MOs."};
  }
  const HeldRange held = heldRange(calculation, spin);
  return {std::nullopt, mo + " is not in this file, which holds " + moName(spin, false) + "s " +
                            std::to_string(held.first) + " to " + std::to_string(held.last) + ". " +
                            keepEveryMo(calculation)};
}

FrontierOrbitals frontierOrbitals(const Calculation& calculation, Spin spin) {
  spin = servingSpin(calculation, spin);
  if (!holds(calculation, spin)) return {0, 0, noSuchSet(calculation, spin)};
  if (calculation.localized) return {0, 0, std::string(kLocalizedHasNoFrontier)};
  const int moCount = static_cast<int>(calculation.basis.size());
  const double full = spin == Spin::none ? 2.0 : 1.0;
  const HeldRange held = heldRange(calculation, spin);
  int highestOccupied = 0;
  double heldElectrons = 0.0;
  for (const MolecularOrbital& orbital : calculation.orbitals) {
    if (orbital.spin != spin) continue;
    heldElectrons += orbital.occupancy;
    if (orbital.occupancy > kEmptyOccupancy)
      highestOccupied = std::max(highestOccupied, orbital.number);
  }

  const auto placed = [moCount](int homo) {
    return FrontierOrbitals{homo, homo < moCount ? homo + 1 : 0, {}};
  };
  // An empty MO after the highest occupied one closes the occupied range within the file.
  if (highestOccupied > 0 && (highestOccupied < held.last || held.last == moCount)) {
    return placed(highestOccupied);
  }
  if (highestOccupied == 0 && held.first == 1) return placed(0);

  const std::optional<int> electrons = electronsOf(calculation, spin);
  if (!electrons) {
    return {0, 0,
            "This file does not say how many electrons the molecule has, and its " +
                moName(spin, false) + "s " + std::to_string(held.first) + " to " +
                std::to_string(held.last) + " do not show where the occupied ones end. " +
                keepEveryMo(calculation)};
  }
  if (highestOccupied == 0) {
    // Every MO the file holds is empty: the occupied ones, all below them, are filled in order.
    const int homo = static_cast<int>(std::ceil(*electrons / full - 1e-9));
    return placed(std::clamp(homo, 0, held.first - 1));
  }
  // Every MO the file holds up to its last is occupied; those below are full, and the electrons
  // left over fill the MOs after it in order.
  const double below = full * (held.first - 1);
  const double left = *electrons - below - heldElectrons;
  const int more = left > kEmptyOccupancy ? static_cast<int>(std::ceil(left / full - 1e-9)) : 0;
  return placed(std::min(held.last + more, moCount));
}

OrbitalFound findHomo(const Calculation& calculation, Spin spin) {
  const FrontierOrbitals frontier = frontierOrbitals(calculation, spin);
  if (!frontier.error.empty()) return {std::nullopt, frontier.error};
  if (frontier.homo == 0)
    return {std::nullopt, "The molecule has no occupied " +
                              moName(servingSpin(calculation, spin), false) +
                              "s, so there is no HOMO."};
  return findOrbital(calculation, frontier.homo, spin);
}

OrbitalFound findLumo(const Calculation& calculation, Spin spin) {
  const FrontierOrbitals frontier = frontierOrbitals(calculation, spin);
  if (!frontier.error.empty()) return {std::nullopt, frontier.error};
  if (frontier.lumo == 0) {
    return {std::nullopt, "All " + std::to_string(calculation.basis.size()) + " " +
                              moName(servingSpin(calculation, spin), false) +
                              "s are occupied, so there is no LUMO."};
  }
  return findOrbital(calculation, frontier.lumo, spin);
}

}  // namespace lobewright
