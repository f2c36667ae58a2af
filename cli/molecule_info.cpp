#include "cli/molecule_info.h"

#include "app/conversion.h"
#include "input/molecule.h"
#include "writers/real_format.h"

namespace lobewright {

bool printMoleculeInfo(const CommandLine& command, MessageSink& messages, std::ostream& out) {
  Molecule molecule(command.parameterFile, messages);
  const auto mo = static_cast<int16_t>(command.settings.moNumber);
  if (!molecule.readMopacOutput(command.inputFile, mo)) {
    messages.show(kErrorCaption, inputErrorMessage(molecule));
    return false;
  }
  out << "atoms " << molecule.atomCount << " mo " << mo << '\n';
  for (int16_t i = 0; i < molecule.atomCount; ++i) {
    out << i + 1 << ' ' << molecule.parameters.symbol[molecule.atomElement[i]];
    for (const float value : {molecule.atomX[i], molecule.atomY[i], molecule.atomZ[i],
                              molecule.coefS[i], molecule.coefPx[i], molecule.coefPy[i],
                              molecule.coefPz[i]}) {
      out << ' ' << formatReal(value);
    }
    out << '\n';
  }
  return true;
}

}  // namespace lobewright
