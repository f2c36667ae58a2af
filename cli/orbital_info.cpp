#include "cli/orbital_info.h"

#include <filesystem>

#include "app/orbital_list.h"
#include "input/number_text.h"
#include "input/orbital_choice.h"

namespace lobewright {
namespace {

const char* fileKindName(CalculationFile file) {
  switch (file) {
    case CalculationFile::out:
      return "MOPAC output";
    case CalculationFile::mgf:
      return "MOPAC graphics file (.mgf)";
    case CalculationFile::aux:
      break;
  }
  return "MOPAC .aux file";
}

void printInput(const Calculation& calculation, const std::string& path, std::ostream& out) {
  out << "input " << std::filesystem::path(path).filename().string() << ": "
      << fileKindName(calculation.file);
  if (!calculation.method.empty()) out << ", " << calculation.method;
  out << ", " << calculation.atoms.size() << " atoms, " << calculation.basis.size() << " AOs";
  if (calculation.electronCount) out << ", " << *calculation.electronCount << " electrons";
  out << '\n';
  for (const Spin spin : {Spin::none, Spin::alpha, Spin::beta}) {
    int first = 0;
    int last = 0;
    for (const MolecularOrbital& orbital : calculation.orbitals) {
      if (orbital.spin != spin) continue;
      if (first == 0) first = orbital.number;
      last = orbital.number;
    }
    if (first == 0) continue;
    out << "orbitals: "
        << (spin == Spin::alpha  ? "alpha "
            : spin == Spin::beta ? "beta "
                                 : "")
        << (calculation.localized ? "localized MOs (LMOs, MOZYME) " : "MOs ") << first << " to "
        << last << '\n';
  }
  if (!calculation.energyNote.empty()) out << "note: " << calculation.energyNote << ".\n";
}

}  // namespace

bool printOrbitalInfo(const LoadedInput& input, const ConversionRequest& request,
                      MessageSink& messages, std::ostream& out) {
  const Calculation& calculation = *input.exact;
  const ConversionSettings& settings = request.settings;
  const OrbitalFound found = findOrbital(calculation, settings.moNumber, settings.spin);
  if (!found.index) {
    messages.show(kErrorCaption, inputErrorMessage(request.inputFile, found.error));
    return false;
  }
  const MolecularOrbital& orbital = calculation.orbitals[*found.index];
  printInput(calculation, request.inputFile, out);

  OrbitalRow row;
  for (const OrbitalRow& candidate : orbitalRows(calculation)) {
    if (candidate.number == orbital.number && candidate.spin == orbital.spin) row = candidate;
  }
  out << (calculation.localized ? "lmo " : "mo ") << orbital.number;
  if (orbital.spin != Spin::none) out << (orbital.spin == Spin::beta ? " beta" : " alpha");
  out << ": energy " << (orbital.energy ? fixedNumber(*orbital.energy, 4) + " eV" : "unknown")
      << ", occupancy " << fixedNumber(orbital.occupancy, 4);
  if (!orbital.symmetry.empty()) out << ", symmetry " << orbital.symmetry;
  const std::string marks = orbitalMarks(row);
  if (!marks.empty()) out << ", " << marks;
  out << '\n';
  const std::string degeneracy = degeneracyNote(calculation, orbital.number, settings.spin);
  if (!degeneracy.empty()) out << "degenerate: " << degeneracy << '\n';

  std::vector<double> weights(calculation.atoms.size(), 0.0);
  for (std::size_t i = 0; i < calculation.basis.size() && i < orbital.coefficients.size(); ++i) {
    const double c = orbital.coefficients[i];
    weights[static_cast<std::size_t>(calculation.basis[i].atom)] += c * c;
  }
  out << "# atom symbol x y z weight\n";
  for (std::size_t i = 0; i < calculation.atoms.size(); ++i) {
    const CalculationAtom& atom = calculation.atoms[i];
    out << i + 1 << ' ' << atom.symbol << ' ' << fixedNumber(atom.position.x, 4) << ' '
        << fixedNumber(atom.position.y, 4) << ' ' << fixedNumber(atom.position.z, 4) << ' '
        << fixedNumber(weights[i], 4) << '\n';
  }
  return true;
}

}  // namespace lobewright
