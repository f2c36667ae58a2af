#include "app/conversion.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "app/classic_scene.h"
#include "app/colouring_field.h"
#include "app/cube_output.h"
#include "app/enclosed_surface.h"
#include "app/exact_input.h"
#include "app/field_build.h"
#include "app/grid_budget.h"
#include "app/grid_extent.h"
#include "app/homo_lumo_locator.h"
#include "app/mesh_output.h"
#include "app/orbital_list.h"
#include "app/output_file.h"
#include "app/output_format.h"
#include "app/settings_check.h"
#include "app/surface_conversion.h"
#include "mesh/sweep_control.h"
#include "orbital/classic_field.h"
#include "orbital/classic_orbital.h"

namespace lobewright {
namespace {

ConversionOutcome failure(ConversionStatus status, std::string message) {
  return {status, std::move(message)};
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

// "MO 37 (beta) of caffeine.aux".
std::string classicDescription(const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  std::string text = "MO " + std::to_string(settings.moNumber);
  if (settings.spin == Spin::beta) text += " (beta)";
  return text + " of " + std::filesystem::path(request.inputFile).filename().string();
}

// "MO 37 (beta) of caffeine.aux, classic model": the cube file's first comment.
std::string classicCubeDescription(const ConversionRequest& request) {
  return classicDescription(request) + ", classic model";
}

// The atoms as every new format takes them: symbols and positions in Angstrom.
std::vector<CalculationAtom> atomsOf(const ClassicCalculation& calculation) {
  std::vector<CalculationAtom> atoms;
  for (const ClassicAtom& atom : calculation.atoms) {
    const Point& p = atom.position;
    atoms.push_back({calculation.parameters.symbol[atom.element], {p.x, p.y, p.z}});
  }
  return atoms;
}

// The classic scene or script, written while the grid is swept.
ConversionOutcome writeClassicOutput(const ClassicOrbital& orbital,
                                     const ClassicCalculation& calculation,
                                     const std::vector<CalculationAtom>& atoms,
                                     const ConversionRequest& request, MessageSink& messages,
                                     const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  if (!gridBoundsFit(orbital, settings.scale)) {
    return failure(ConversionStatus::gridTooLarge, kGridTooLargeMessage);
  }
  const GridBounds bounds = computeGridBounds(orbital, settings.scale);
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
                   lobeSign(t.apexValue),
                   std::nullopt});
    };
  }
  const auto cannotWrite = [&] {
    if (stop.stop_requested()) return failure(ConversionStatus::cancelled, kCancelledMessage);
    return failure(ConversionStatus::cannotWriteOutput,
                   withReason(kCannotWriteOutputMessage, settings.outputPath, output->failure()));
  };
  SweepCounters counters;
  try {
    counters = writeClassicScene(output->stream(), settings.outputKind, orbital,
                                 classicSceneAtoms(calculation, settings.scale),
                                 sceneOptions(settings), bounds, reportOrStop, sweep);
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

// Fits the request to the field it draws: the isovalue that encloses the settings' share of the
// field, when they ask for one, and the scale a picture `pixels` across needs, when the settings
// leave it to the picture. The sentence that tells the isovalue found, or why none encloses the
// share.
struct FieldFit {
  std::string enclosing;
  std::optional<ConversionOutcome> refused;
};

FieldFit fitToField(const Field& field, const std::vector<CalculationAtom>& atoms,
                    ConversionRequest& request, int pixels) {
  ConversionSettings& settings = request.settings;
  FieldFit fit;
  if (settings.enclosedFraction) {
    const EnclosingSurface surface =
        findEnclosingSurface(field, atoms, *settings.enclosedFraction,
                             enclosedQuantity(settings.field), std::max(1, request.sweep.threads));
    if (!surface.error.empty()) {
      fit.refused = {ConversionStatus::inputError,
                     inputErrorMessage(request.inputFile, surface.error)};
      return fit;
    }
    settings.threshold = surface.isovalue;
    fit.enclosing = surface.sentence;
  }
  if (settings.picture.fineGrid && usesWatertightSurface(settings)) {
    settings.scale = pictureScale(field, atoms, settings, pixels);
  }
  return fit;
}

int pictureSide(const ConversionSettings& settings) {
  return std::max(settings.picture.width, settings.picture.height);
}

// The classic model's orbital of the settings' MO on the grid of the settings' scale, fitted to
// the field as a picture `pixels` across needs; the request is changed to fit it.
struct ClassicDrawn {
  std::optional<ClassicOrbital> orbital;
  std::string enclosing;
  ConversionOutcome failure;
};

ClassicDrawn classicOrbitalFor(const ClassicCalculation& calculation,
                               const std::vector<CalculationAtom>& atoms,
                               ConversionRequest& request, int pixels) {
  const ConversionSettings& settings = request.settings;
  if (settings.moNumber > kGreatestMoNumber) {
    return {std::nullopt,
            {},
            failure(ConversionStatus::inputError,
                    inputErrorMessage(request.inputFile,
                                      "MO " + std::to_string(settings.moNumber) +
                                          " is beyond the classic model's highest MO number, "
                                          "32767"))};
  }
  const ClassicMoFound found = findClassicMo(calculation, settings.moNumber);
  if (!found.orbital) {
    return {
        std::nullopt,
        {},
        failure(ConversionStatus::inputError, inputErrorMessage(request.inputFile, found.error))};
  }
  // The classic orbital is built for its grid: the one the settings ask for tells the field, and
  // another is built when the picture asks for a finer grid.
  FieldFit fit;
  {
    const ClassicOrbital asked(calculation, found.orbital->coefficients, settings.scale,
                               settings.cutoff);
    fit = fitToField(ClassicField(asked), atoms, request, pixels);
  }
  if (fit.refused) return {std::nullopt, {}, std::move(*fit.refused)};
  return {ClassicOrbital(calculation, found.orbital->coefficients, settings.scale, settings.cutoff),
          fit.enclosing,
          {}};
}

ConversionOutcome drawClassic(const ClassicCalculation& calculation,
                              const ConversionRequest& original, MessageSink& messages,
                              const ProgressCallback& progress) {
  ConversionRequest request = original;
  const ConversionSettings& settings = request.settings;
  const std::vector<CalculationAtom> atoms = atomsOf(calculation);
  const ClassicDrawn drawn = classicOrbitalFor(calculation, atoms, request, pictureSide(settings));
  if (!drawn.orbital) return drawn.failure;
  if (!drawn.enclosing.empty())
    request.caption = classicDescription(request) + ": " + drawn.enclosing;
  const ClassicOrbital& orbital = *drawn.orbital;
  if (settings.outputKind == OutputKind::Cube) {
    return convertToCube(ClassicField(orbital), {}, atoms, classicCubeDescription(request),
                         "psi in bohr^-3/2", request, progress);
  }
  if (usesWatertightSurface(settings)) {
    return convertThroughSurface(ClassicField(orbital), atoms, request, messages, progress);
  }
  return writeClassicOutput(orbital, calculation, atoms, request, messages, progress);
}

ConversionOutcome drawExact(LoadedInput& input, const ConversionRequest& original,
                            MessageSink& messages, const ProgressCallback& progress) {
  const BuiltField built = buildField(input, original);
  if (!built.field) return built.failure;
  const ConversionSettings& settings = original.settings;
  if (settings.field.isMo()) {
    const std::string degeneracy = degeneracyNote(*input.exact, settings.moNumber, settings.spin);
    if (!degeneracy.empty()) messages.show(kNoteCaption, degeneracy);
  }
  const std::vector<CalculationAtom>& atoms = input.exact->atoms;
  ConversionRequest request = original;
  FieldFit fit = fitToField(*built.field, atoms, request, pictureSide(request.settings));
  if (fit.refused) return std::move(*fit.refused);
  if (!fit.enclosing.empty()) request.caption = built.description + ": " + fit.enclosing;
  if (request.settings.outputKind == OutputKind::Cube) {
    return convertToCube(*built.field, {built.extent.get(), built.extentThreshold}, atoms,
                         built.description + ", exact model", built.quantity, request, progress);
  }
  if (!request.settings.colouring.source) {
    return convertThroughSurface(*built.field, atoms, request, messages, progress);
  }
  const ColouringField colouring = buildColouringField(input, request);
  if (!colouring.field) return colouring.failure;
  return convertThroughSurface(*built.field, atoms, request, messages, progress, &colouring);
}

// Whether the output carries a colour per vertex: the classic scene and script, STL and cubes
// do not.
bool carriesVertexColours(const ConversionSettings& settings) {
  return settings.outputKind != OutputKind::Stl && usesWatertightSurface(settings);
}

}  // namespace

PictureSurface drawPictureSurface(LoadedInput& input, const ConversionRequest& original, int pixels,
                                  const ProgressCallback& progress) {
  PictureSurface drawn;
  if (auto problem = requestProblem(original)) {
    drawn.failure = std::move(*problem);
    return drawn;
  }
  ConversionRequest request = original;
  std::unique_ptr<Field> field;
  if (input.classic) {
    drawn.atoms = atomsOf(*input.classic);
    ClassicDrawn orbital = classicOrbitalFor(*input.classic, drawn.atoms, request, pixels);
    if (!orbital.orbital) {
      drawn.failure = std::move(orbital.failure);
      return drawn;
    }
    field = std::make_unique<ClassicField>(*orbital.orbital);
    drawn.enclosing = orbital.enclosing;
    if (!drawn.enclosing.empty()) drawn.caption = classicDescription(request) + ": " + drawn.enclosing;
  } else {
    BuiltField built = buildField(input, request);
    if (!built.field) {
      drawn.failure = std::move(built.failure);
      return drawn;
    }
    drawn.atoms = input.exact->atoms;
    FieldFit fit = fitToField(*built.field, drawn.atoms, request, pixels);
    if (fit.refused) {
      drawn.failure = std::move(*fit.refused);
      return drawn;
    }
    field = std::move(built.field);
    drawn.enclosing = fit.enclosing;
    if (!drawn.enclosing.empty()) drawn.caption = built.description + ": " + drawn.enclosing;
  }
  drawn.isovalue = request.settings.threshold;
  SurfaceMesh surface = meshSurface(*field, drawn.atoms, request, progress);
  drawn.mesh = std::move(surface.mesh);
  drawn.failure = std::move(surface.failure);
  return drawn;
}

int defaultThreadCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::optional<ConversionOutcome> requestProblem(const ConversionRequest& request) {
  if (auto problem = unusableSettingsMessage(request.settings)) {
    return failure(ConversionStatus::unusableSettings, std::move(*problem));
  }
  if (request.settings.colouring.source && !carriesVertexColours(request.settings)) {
    return failure(ConversionStatus::unusableSettings, kNoVertexColoursMessage);
  }
  if (const auto problem = forbiddenOutput(request)) {
    return failure(ConversionStatus::cannotOpenOutput,
                   withReason(kCannotOpenOutputMessage, problem->first, problem->second));
  }
  return std::nullopt;
}

ConversionOutcome drawOrbital(LoadedInput& input, const ConversionRequest& request,
                              MessageSink& messages, const ProgressCallback& progress) {
  if (auto problem = requestProblem(request)) return std::move(*problem);
  if (input.classic) return drawClassic(*input.classic, request, messages, progress);
  return drawExact(input, request, messages, progress);
}

ConversionOutcome runConversion(const ConversionRequest& request, MessageSink& messages,
                                const ProgressCallback& progress) {
  if (auto problem = requestProblem(request)) return std::move(*problem);
  InputLoad load = loadInput(request, messages);
  if (!load.input) return load.failure;
  return drawOrbital(*load.input, request, messages, progress);
}

}  // namespace lobewright
