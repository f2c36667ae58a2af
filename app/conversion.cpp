#include "app/conversion.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <thread>

#include "app/grid_budget.h"
#include "app/grid_extent.h"
#include "app/input_source.h"
#include "app/output_file.h"
#include "app/settings_check.h"
#include "surface/sweep_control.h"
#include "writers/lscript_writer.h"
#include "writers/pov_scene_writer.h"

namespace lobewright {
namespace {

ConversionOutcome failure(ConversionStatus status, std::string message) {
  return {status, std::move(message)};
}

std::string withReason(const char* message, const std::string& fileName,
                       const std::string& reason) {
  return std::string(message) + "\n" + (fileName.empty() ? reason : fileName + ": " + reason);
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

// Why the output may not be written over: it is one of the files the run reads.
std::optional<std::string> readFileAsOutput(const ConversionRequest& request) {
  const std::string& output = request.settings.outputPath;
  if (sameFile(output, request.inputFile)) return "it is the input file";
  if (sameFile(output, request.parameterFile)) return "it is the parameter file";
  return std::nullopt;
}

}  // namespace

int defaultThreadCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::string inputErrorMessage(const std::string& fileName, const std::string& reason) {
  return withReason(kInputFileErrorMessage, fileName, reason);
}

std::string inputErrorMessage(const Molecule& molecule, const std::string& fileName) {
  if (molecule.inputErrorDetail.empty()) {
    return inputErrorMessage(fileName, "not a MOPAC output this program can read");
  }
  return std::string(kInputFileErrorMessage) + "\n" + molecule.inputErrorDetail;
}

ClassicInput readClassicInput(const ConversionRequest& request, MessageSink& messages) {
  std::string error;
  const std::optional<InputSource> input = InputSource::load(request.inputFile, error);
  const std::unique_ptr<std::istream> text = input ? input->open(error) : nullptr;
  if (!text) {
    return {nullptr,
            failure(ConversionStatus::inputError, inputErrorMessage(request.inputFile, error))};
  }
  if (request.parameterFileRequired) {
    std::ifstream parameters(request.parameterFile);
    const bool opened = parameters.is_open();
    if (!opened || !readParameters(parameters)) {
      return {nullptr, failure(ConversionStatus::parameterError,
                               withReason(kParameterFileErrorMessage, request.parameterFile,
                                          opened ? "not a parameter table" : "cannot be read"))};
    }
  }
  auto molecule = std::make_unique<Molecule>(request.parameterFile, messages);
  if (!molecule->readMopacOutput(*text, static_cast<int16_t>(request.settings.moNumber))) {
    return {nullptr,
            failure(ConversionStatus::inputError, inputErrorMessage(*molecule, request.inputFile))};
  }
  return {std::move(molecule), {}};
}

ConversionOutcome runConversion(const ConversionRequest& request, MessageSink& messages,
                                const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  if (auto problem = unusableSettingsMessage(settings)) {
    return failure(ConversionStatus::unusableSettings, std::move(*problem));
  }
  if (const auto problem = readFileAsOutput(request)) {
    return failure(ConversionStatus::cannotOpenOutput,
                   withReason(kCannotOpenOutputMessage, settings.outputPath, *problem));
  }

  ClassicInput input = readClassicInput(request, messages);
  if (!input.molecule) return input.failure;
  Molecule& molecule = *input.molecule;
  molecule.setScale(static_cast<float>(settings.scale));
  molecule.setCutoff(settings.cutoff);
  if (!gridBoundsFit(molecule, settings.scale)) {
    return failure(ConversionStatus::gridTooLarge, kGridTooLargeMessage);
  }
  const GridBounds bounds = computeGridBounds(molecule, settings.scale);
  const int threads = request.sweep.engine == SweepEngine::fast ? request.sweep.threads : 1;
  if (auto problem = gridSizeProblem(bounds, threads)) {
    return failure(ConversionStatus::gridTooLarge, std::move(*problem));
  }

  const std::stop_token& stop = request.stop;
  std::string error;
  const std::unique_ptr<OutputFile> output = OutputFile::open(settings.outputPath, error, stop);
  if (!output) {
    return failure(ConversionStatus::cannotOpenOutput,
                   withReason(kCannotOpenOutputMessage, settings.outputPath, error));
  }
  output->stream().imbue(std::locale::classic());
  if (request.beforeSweep) request.beforeSweep(bounds);
  const auto reportOrStop = [&](int percent) {
    if (stop.stop_requested()) throw SweepCancelled{};
    progress(percent);
  };
  SweepOptions sweep = request.sweep;
  sweep.stop = stop;
  const auto cannotWrite = [&] {
    if (stop.stop_requested()) return failure(ConversionStatus::cancelled, kCancelledMessage);
    return failure(ConversionStatus::cannotWriteOutput,
                   withReason(kCannotWriteOutputMessage, settings.outputPath, output->failure()));
  };
  SweepCounters counters;
  try {
    counters = writeOutput(output->stream(), molecule, settings, bounds, reportOrStop, sweep);
  } catch (const SweepCancelled&) {
    return failure(ConversionStatus::cancelled, kCancelledMessage);
  } catch (const std::ios_base::failure&) {
    return cannotWrite();
  }
  if (!output->commit()) return cannotWrite();
  if (counters.triangles == 0) messages.show(kWarningCaption, kNoSurfaceMessage);
  return {ConversionStatus::succeeded, {}, counters.triangles};
}

}  // namespace lobewright
