#include "cli/molecule_info.h"

#include "writers/real_format.h"

namespace lobewright {

bool printMoleculeInfo(const LoadedInput& input, const std::string& fileName, int mo,
                       MessageSink& messages, std::ostream& out) {
  const ClassicCalculation& calculation = *input.classic;
  const ClassicMoFound found = findClassicMo(calculation, mo);
  if (!found.orbital) {
    messages.show(kErrorCaption, inputErrorMessage(fileName, found.error));
    return false;
  }
  out << "atoms " << calculation.atoms.size() << " mo " << mo << '\n';
  for (std::size_t i = 0; i < calculation.atoms.size(); ++i) {
    const ClassicAtom& atom = calculation.atoms[i];
    const AtomCoefficients& c = found.orbital->coefficients[i];
    out << i + 1 << ' ' << calculation.parameters.symbol[atom.element];
    for (const float value :
         {atom.position.x, atom.position.y, atom.position.z, c.s, c.px, c.py, c.pz}) {
      out << ' ' << formatReal(value);
    }
    out << '\n';
  }
  return true;
}

}  // namespace lobewright
