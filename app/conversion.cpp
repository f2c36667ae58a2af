#include "app/conversion.h"

#include <algorithm>
#include <fstream>
#include <locale>
#include <thread>
#include <vector>

#include "app/grid_extent.h"
#include "app/settings_check.h"
#include "writers/lscript_writer.h"
#include "writers/pov_scene_writer.h"

namespace lobewright {
namespace {

constexpr std::size_t kOutputBufferBytes = std::size_t{1} << 20;

ConversionOutcome failure(ConversionStatus status, std::string message) {
  return {status, std::move(message)};
}

SweepCounters writeOutput(std::ostream& out, const Molecule& molecule,
                          const ConversionSettings& settings, const GridBounds& bounds,
                          const ProgressCallback& progress, const SweepOptions& sweep) {
  switch (settings.outputKind) {
    case OutputKind::PovRay:
      return PovSceneWriter(out).writeScene(molecule, sceneOptions(settings), bounds, progress,
                                            sweep);
    case OutputKind::LScript:
      return LScriptWriter(out).writeScript(molecule, sceneOptions(settings), bounds, progress,
                                            sweep);
  }
  return {};
}

}  // namespace

int defaultThreadCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

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

  // Scenes run to many megabytes: write them in large pieces.
  std::vector<char> buffer(kOutputBufferBytes);
  std::ofstream out;
  out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  out.open(settings.outputPath, std::ios::binary | std::ios::trunc);
  if (!out) return failure(ConversionStatus::cannotOpenOutput, kCannotOpenOutputMessage);
  out.imbue(std::locale::classic());

  const GridBounds bounds = computeGridBounds(molecule, settings.scale);
  if (request.beforeSweep) request.beforeSweep(bounds);
  if (writeOutput(out, molecule, settings, bounds, progress, request.sweep).triangles == 0) {
    messages.show(kWarningCaption, kNoSurfaceMessage);
  }
  out.close();
  if (out.fail()) return failure(ConversionStatus::cannotWriteOutput, kCannotWriteOutputMessage);
  return {};
}

}  // namespace lobewright
