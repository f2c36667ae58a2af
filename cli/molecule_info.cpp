#include "cli/molecule_info.h"

#include "app/enclosed_surface.h"
#include "orbital/classic_field.h"
#include "orbital/classic_orbital.h"
#include "writers/real_format.h"

namespace lobewright {

bool printMoleculeInfo(const LoadedInput& input, const ConversionRequest& request, int mo,
                       MessageSink& messages, std::ostream& out) {
  const std::string& fileName = request.inputFile;
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
  if (const auto fraction = request.settings.enclosedFraction) {
    std::vector<CalculationAtom> atoms;
    for (const ClassicAtom& atom : calculation.atoms) {
      const Point& p = atom.position;
      atoms.push_back({calculation.parameters.symbol[atom.element], {p.x, p.y, p.z}});
    }
    const ClassicOrbital orbital(calculation, found.orbital->coefficients, request.settings.scale,
                                 request.settings.cutoff);
    const EnclosingSurface surface =
        findEnclosingSurface(ClassicField(orbital), atoms, *fraction, EnclosedQuantity::psiSquared,
                             request.sweep.threads);
    if (!surface.error.empty()) {
      messages.show(kErrorCaption, inputErrorMessage(fileName, surface.error));
      return false;
    }
    out << "isovalue " << surface.sentence << '\n';
  }
  return true;
}

}  // namespace lobewright
