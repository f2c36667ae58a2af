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
#include "app/drawn_field.h"
#include "app/enclosed_surface.h"
#include "app/grid_budget.h"
#include "app/grid_extent.h"
#include "app/mesh_output.h"
#include "app/orbital_list.h"
#include "app/output_file.h"
#include "app/output_format.h"
#include "app/page_caption.h"
#include "app/settings_check.h"
#include "app/surface_conversion.h"
#include "mesh/sweep_control.h"
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

// The request's field, with the request fitted to it (fitToField): a classic field is made for
// its grid, so a new scale makes it anew. The isovalue found goes to `enclosing`.
DrawnField fittedField(LoadedInput& input, ConversionRequest& request, int pixels,
                       std::string& enclosing) {
  DrawnField drawn = drawnField(input, request);
  if (!drawn.field) return drawn;
  const int scale = request.settings.scale;
  FieldFit fit = fitToField(*drawn.field, drawn.atoms, request, pixels);
  if (fit.refused) {
    drawn.field.reset();
    drawn.failure = std::move(*fit.refused);
    return drawn;
  }
  enclosing = fit.enclosing;
  if (input.classic && request.settings.scale != scale) drawn = drawnField(input, request);
  return drawn;
}

// The classic scene or script of the settings' MO.
ConversionOutcome drawClassicScene(const ClassicCalculation& calculation,
                                   const ConversionRequest& request, MessageSink& messages,
                                   const ProgressCallback& progress) {
  const ClassicMoLookup lookup = classicOrbitalFor(calculation, request);
  if (!lookup.orbital) return lookup.failure;
  return writeClassicOutput(*lookup.orbital, calculation, atomsOf(calculation), request, messages,
                            progress);
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
  DrawnField field = fittedField(input, request, pixels, drawn.enclosing);
  if (!field.field) {
    drawn.failure = std::move(field.failure);
    return drawn;
  }
  drawn.description = field.description;
  if (!drawn.enclosing.empty()) drawn.caption = drawn.description + ": " + drawn.enclosing;
  drawn.isovalue = request.settings.threshold;
  drawn.atoms = std::move(field.atoms);
  SurfaceMeshing meshing = meshSurface(*field.field, drawn.atoms, request, progress);
  if (meshing.mesh) drawn.mesh = std::move(*meshing.mesh);
  drawn.failure = std::move(meshing.failure);
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

ConversionOutcome drawOrbital(LoadedInput& input, const ConversionRequest& original,
                              MessageSink& messages, const ProgressCallback& progress) {
  if (auto problem = requestProblem(original)) return std::move(*problem);
  const ConversionSettings& asked = original.settings;
  const bool cube = asked.outputKind == OutputKind::Cube;
  const bool classicScene = input.classic && !cube && !usesWatertightSurface(asked);
  if (classicScene && !asked.enclosedFraction) {
    return drawClassicScene(*input.classic, original, messages, progress);
  }
  ConversionRequest request = original;
  // A surface of densities coloured by another field builds a second density of the input.
  const FieldSettings& field = request.settings.field;
  const bool ofDensities = field.kind != FieldKind::mo || field.fukui != FukuiKind::none;
  if (ofDensities && request.settings.colouring.source) request.keepInverseSqrtOverlap = true;
  // A potential's atomic pieces, for the field or its colours, take about as long as the surface
  // and the colours together: they fill the first 40 % of the run.
  const auto& colourSource = request.settings.colouring.source;
  const bool potential =
      field.kind == FieldKind::esp || (colourSource && colourSource->kind == FieldKind::esp);
  if (potential) request.potentialProgress = progressShare(progress, 0, 40);
  const ProgressCallback rest = potential ? progressShare(progress, 40, 100) : progress;
  std::string enclosing;
  const DrawnField drawn = fittedField(input, request, pictureSide(asked), enclosing);
  if (!drawn.field) return drawn.failure;
  if (!input.classic && asked.field.isMo()) {
    const std::string degeneracy = degeneracyNote(*input.exact, asked.moNumber, asked.spin);
    if (!degeneracy.empty()) messages.show(kNoteCaption, degeneracy);
  }
  if (!enclosing.empty()) request.caption = drawn.description + ": " + enclosing;
  if (classicScene) return drawClassicScene(*input.classic, request, messages, progress);
  if (cube) {
    return convertToCube(*drawn.field, {drawn.extent.get(), drawn.extentThreshold}, drawn.atoms,
                         drawn.description + (input.classic ? ", classic model" : ", exact model"),
                         drawn.quantity, request, rest);
  }
  std::optional<ColouringField> colouring;
  if (request.settings.colouring.source) {
    colouring = buildColouringField(input, request);
    if (!colouring->field) return colouring->failure;
  }
  const PageCaption page = request.settings.outputKind == OutputKind::Html
                               ? pageCaption(input, request, drawn.description)
                               : PageCaption{};
  return convertThroughSurface(*drawn.field, drawn.atoms, request, messages, rest,
                               colouring ? &*colouring : nullptr, page);
}

ConversionOutcome runConversion(const ConversionRequest& request, MessageSink& messages,
                                const ProgressCallback& progress) {
  if (auto problem = requestProblem(request)) return std::move(*problem);
  InputLoad load = loadInput(request, messages);
  if (!load.input) return load.failure;
  return drawOrbital(*load.input, request, messages, progress);
}

}  // namespace lobewright
