#include "app/conversion.h"

#include <fstream>
#include <locale>

#include "app/grid_extent.h"
#include "app/settings_check.h"

namespace lobewright {
namespace {

ConversionOutcome failure(ConversionStatus status, std::string message) {
  return {status, std::move(message)};
}

// The number of triangles the chosen writer wrote.
int64_t writeOutput(std::ostream& out, const Molecule& molecule,
                    const ConversionSettings& settings, const GridBounds& bounds,
                    const ProgressCallback& progress) {
  switch (settings.outputKind) {
    case OutputKind::PovRay:
      return PovSceneWriter(out).writeScene(molecule, settings, bounds, progress);
    case OutputKind::LScript:
      break;
  }
  return 0;
}

}  // namespace

std::string inputErrorMessage(const Molecule& molecule) {
  std::string message = kInputFileErrorMessage;
  if (!molecule.inputErrorDetail.empty()) message += "\n" + molecule.inputErrorDetail;
  return message;
}

ConversionOutcome runConversion(const ConversionRequest& request, MessageSink& messages,
                                const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  if (auto problem = unusableSettingsMessage(settings)) {
    return failure(ConversionStatus::unusableSettings, std::move(*problem));
  }
  Molecule molecule(request.parameterFile, messages);
  if (!molecule.readMopacOutput(request.inputFile, static_cast<int16_t>(settings.moNumber))) {
    return failure(ConversionStatus::inputError, inputErrorMessage(molecule));
  }
  molecule.setScale(static_cast<float>(settings.scale));
  molecule.setCutoff(settings.cutoff);
  if (!gridBoundsFit(molecule, settings.scale)) {
    return failure(ConversionStatus::gridTooLarge, kGridTooLargeMessage);
  }

  std::ofstream out(settings.outputPath, std::ios::binary | std::ios::trunc);
  if (!out) return failure(ConversionStatus::cannotOpenOutput, kCannotOpenOutputMessage);
  out.imbue(std::locale::classic());

  const GridBounds bounds = computeGridBounds(molecule, settings.scale);
  if (writeOutput(out, molecule, settings, bounds, progress) == 0) {
    messages.show(kWarningCaption, kNoSurfaceMessage);
  }
  out.close();
  if (out.fail()) return failure(ConversionStatus::cannotWriteOutput, kCannotWriteOutputMessage);
  return {};
}

}  // namespace lobewright
