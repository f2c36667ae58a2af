#include "cli/molecule_info.h"

#include "app/conversion.h"
#include "input/molecule.h"
#include "writers/real_format.h"

namespace lobewright {

bool printMoleculeInfo(const CommandLine& command, MessageSink& messages, std::ostream& out) {
  ConversionRequest request;
  request.parameterFile = command.parameterFile;
  request.parameterFileRequired = command.parameterFileNamed;
  request.inputFile = command.inputFile;
  request.settings = command.settings;
  std::string error;
  const std::optional<InputSource> source = InputSource::load(request.inputFile, error);
  if (!source) {
    messages.show(kErrorCaption, inputErrorMessage(request.inputFile, error));
    return false;
  }
  const ClassicInput input = readClassicInput(request, *source, messages);
  if (!input.molecule) {
    messages.show(kErrorCaption, input.failure.message);
    return false;
  }
  const Molecule& molecule = *input.molecule;
  const int32_t mo = command.settings.moNumber;
  out << "atoms " << molecule.atomCount << " mo " << mo << '\n';
  for (int16_t i = 0; i < molecule.atomCount; ++i) {
    out << i + 1 << ' ' << molecule.parameters.symbol[molecule.atomElement[i]];
    for (const float value :
         {molecule.atomX[i], molecule.atomY[i], molecule.atomZ[i], molecule.coefS[i],
          molecule.coefPx[i], molecule.coefPy[i], molecule.coefPz[i]}) {
      out << ' ' << formatReal(value);
    }
    out << '\n';
  }
  return true;
}

}  // namespace lobewright
