#include "app/conversion.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "app/cube_output.h"
#include "app/exact_input.h"
#include "app/grid_budget.h"
#include "app/grid_extent.h"
#include "app/homo_lumo_locator.h"
#include "app/input_kind.h"
#include "app/input_source.h"
#include "app/mesh_output.h"
#include "app/output_file.h"
#include "app/output_format.h"
#include "app/settings_check.h"
#include "app/surface_conversion.h"
#include "input/orbital_choice.h"
#include "orbital/classic_field.h"
#include "mesh/sweep_control.h"
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

// The classic scene or script, swept from the classic model.
SweepCounters writeClassicOutput(std::ostream& out, const Molecule& molecule,
                                 const ConversionSettings& settings, const GridBounds& bounds,
                                 const ProgressCallback& progress, const SweepOptions& sweep) {
  if (settings.outputKind == OutputKind::LScript) {
    return LScriptWriter(out).writeScript(molecule, sceneOptions(settings), bounds, progress,
                                          sweep);
  }
  return PovSceneWriter(out).writeScene(molecule, sceneOptions(settings), bounds, progress, sweep);
}

// A file the run would write over although it must not: one of the files the run reads, or, for
// an OBJ, the output itself named as its own material file. The file and the reason.
std::optional<std::pair<std::string, std::string>> forbiddenOutput(
    const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  std::vector<std::string> outputs{settings.outputPath};
  if (settings.outputKind == OutputKind::Obj) {
    const std::string material = materialPathFor(settings.outputPath);
    if (std::filesystem::path(material).lexically_normal() ==
        std::filesystem::path(settings.outputPath).lexically_normal()) {
      return std::pair{settings.outputPath, std::string("its material file has the same name")};
    }
    outputs.push_back(material);
  }
  for (const std::string& output : outputs) {
    if (sameFile(output, request.inputFile))
      return std::pair{output, std::string("it is the input file")};
    if (sameFile(output, request.parameterFile)) {
      return std::pair{output, std::string("it is the parameter file")};
    }
  }
  return std::nullopt;
}

// "MO 37 (beta) of caffeine.aux, exact model": the cube file's first comment.
std::string cubeDescription(const ConversionRequest& request, const char* model) {
  const ConversionSettings& settings = request.settings;
  std::string text = "MO " + std::to_string(settings.moNumber);
  if (settings.spin == Spin::beta) text += " (beta)";
  return text + " of " + std::filesystem::path(request.inputFile).filename().string() + ", " +
         model + " model";
}

// The atoms as every new format takes them: symbols and positions in Angstrom. The molecule must
// not be scaled yet.
std::vector<CalculationAtom> atomsOf(const Molecule& molecule) {
  std::vector<CalculationAtom> atoms;
  for (int16_t i = 0; i < molecule.atomCount; ++i) {
    const Point p = molecule.atomPosition(i);
    atoms.push_back({molecule.parameters.symbol[molecule.atomElement[i]], {p.x, p.y, p.z}});
  }
  return atoms;
}

}  // namespace

int defaultThreadCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::string inputErrorMessage(const std::string& fileName, const std::string& reason) {
  return withReason(kInputFileErrorMessage, fileName, reason);
}

std::string inputErrorMessage(const Molecule& molecule, const std::string& fileName) {
  TextError error = molecule.inputError;
  error.source = fileName;
  return std::string(kInputFileErrorMessage) + "\n" + error.message();
}

ClassicInput readClassicInput(const ConversionRequest& request, const InputSource& source,
                              MessageSink& messages) {
  std::string error;
  const std::unique_ptr<std::istream> text = source.open(error);
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
  if (request.settings.moNumber > kGreatestMoNumber) {
    return {nullptr, failure(ConversionStatus::inputError,
                             inputErrorMessage(request.inputFile,
                                               "MO " + std::to_string(request.settings.moNumber) +
                                                   " is beyond the classic model's highest MO "
                                                   "number, 32767"))};
  }
  auto molecule = std::make_unique<Molecule>(request.parameterFile, messages);
  if (!molecule->readMopacOutput(*text, static_cast<int16_t>(request.settings.moNumber))) {
    return {nullptr,
            failure(ConversionStatus::inputError, inputErrorMessage(*molecule, request.inputFile))};
  }
  return {std::move(molecule), {}};
}

namespace {

ConversionOutcome convertClassic(const ConversionRequest& request, const InputSource& source,
                                 MessageSink& messages, const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  ClassicInput input = readClassicInput(request, source, messages);
  if (!input.molecule) return input.failure;
  Molecule& molecule = *input.molecule;
  const std::vector<CalculationAtom> atoms = atomsOf(molecule);
  molecule.setScale(static_cast<float>(settings.scale));
  molecule.setCutoff(settings.cutoff);
  if (settings.outputKind == OutputKind::Cube) {
    return convertToCube(ClassicField(molecule), atoms, cubeDescription(request, "classic"),
                         request, progress);
  }
  if (usesWatertightSurface(settings)) {
    return convertThroughSurface(ClassicField(molecule), atoms, request, messages, progress);
  }
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
  SceneSampler sampler;
  if (request.keepScene) {
    // The sweep's corners are in grid units.
    const double perPoint = 1.0 / settings.scale;
    const auto inAngstrom = [perPoint](const Point& p) {
      return Vec3{p.x * perPoint, p.y * perPoint, p.z * perPoint};
    };
    sweep.observer = [&sampler, inAngstrom](const SurfaceTriangle& t) {
      sampler.add({{inAngstrom(t.apex), inAngstrom(t.second), inAngstrom(t.third)},
                   lobeSign(t.apexValue)});
    };
  }
  const auto cannotWrite = [&] {
    if (stop.stop_requested()) return failure(ConversionStatus::cancelled, kCancelledMessage);
    return failure(ConversionStatus::cannotWriteOutput,
                   withReason(kCannotWriteOutputMessage, settings.outputPath, output->failure()));
  };
  SweepCounters counters;
  try {
    counters =
        writeClassicOutput(output->stream(), molecule, settings, bounds, reportOrStop, sweep);
  } catch (const SweepCancelled&) {
    return failure(ConversionStatus::cancelled, kCancelledMessage);
  } catch (const std::ios_base::failure&) {
    return cannotWrite();
  }
  if (!output->commit()) return cannotWrite();
  if (counters.triangles == 0) messages.show(kWarningCaption, kNoSurfaceMessage);
  ConversionOutcome outcome{ConversionStatus::succeeded, {}, counters.triangles};
  if (request.keepScene) outcome.scene = std::make_shared<WrittenScene>(sampler.take(atoms));
  return outcome;
}

ConversionOutcome convertExact(const ConversionRequest& request, const InputSource& source,
                               MessageSink& messages, const ProgressCallback& progress) {
  CalculationInput input = readCalculation(request, source);
  if (!input.calculation) return input.failure;
  const ExactOrbitalInput orbital = exactOrbitalOf(*input.calculation, request);
  if (!orbital.orbital) return orbital.failure;
  const std::vector<CalculationAtom>& atoms = input.calculation->atoms;
  if (request.settings.outputKind == OutputKind::Cube) {
    return convertToCube(*orbital.orbital, atoms, cubeDescription(request, "exact"), request,
                         progress);
  }
  return convertThroughSurface(*orbital.orbital, atoms, request, messages, progress);
}

}  // namespace

FrontierNumbers findFrontierNumbers(const ConversionRequest& request) {
  std::string error;
  const std::optional<InputSource> source = InputSource::load(request.inputFile, error);
  const std::unique_ptr<std::istream> text = source ? source->open(error) : nullptr;
  if (!text) return {0, 0, inputErrorMessage(request.inputFile, error)};
  const InputKind kind = detectInputKind(*text);
  if (modelFor(kind, request.settings.model) == OrbitalModel::classic) {
    const std::unique_ptr<std::istream> again = source->open(error);
    const auto homo = again ? locateFrontierOrbital(*again, FrontierOrbital::homo) : std::nullopt;
    if (!homo || *homo + 1 > kGreatestMoNumber) {
      return {0, 0, cannotFindFrontierMessage(request.inputFile, homo)};
    }
    return {*homo, *homo + 1, {}};
  }
  CalculationInput input = readCalculation(request, *source);
  if (!input.calculation) return {0, 0, input.failure.message};
  const FrontierOrbitals frontier = frontierOrbitals(*input.calculation, request.settings.spin);
  if (!frontier.error.empty()) {
    return {
        0, 0,
        std::string(kCannotFindHomoLumoMessage) + "\n" + request.inputFile + ": " + frontier.error};
  }
  return {frontier.homo, frontier.lumo, {}};
}

ConversionOutcome runConversion(const ConversionRequest& request, MessageSink& messages,
                                const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  if (auto problem = unusableSettingsMessage(settings)) {
    return failure(ConversionStatus::unusableSettings, std::move(*problem));
  }
  if (const auto problem = forbiddenOutput(request)) {
    return failure(ConversionStatus::cannotOpenOutput,
                   withReason(kCannotOpenOutputMessage, problem->first, problem->second));
  }
  std::string error;
  const std::optional<InputSource> source = InputSource::load(request.inputFile, error);
  const std::unique_ptr<std::istream> text = source ? source->open(error) : nullptr;
  if (!text) {
    return failure(ConversionStatus::inputError, inputErrorMessage(request.inputFile, error));
  }
  const InputKind kind = detectInputKind(*text);
  if (modelFor(kind, settings.model) == OrbitalModel::exact) {
    return convertExact(request, *source, messages, progress);
  }
  if (kind == InputKind::aux || kind == InputKind::mgf) {
    return failure(ConversionStatus::inputError,
                   inputErrorMessage(request.inputFile, kClassicNeedsOutputMessage));
  }
  return convertClassic(request, *source, messages, progress);
}

}  // namespace lobewright
