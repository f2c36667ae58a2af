#include "app/conversion.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "app/classic_scene.h"
#include "app/cube_output.h"
#include "app/drawn_field.h"
#include "app/grid_budget.h"
#include "app/grid_extent.h"
#include "app/mesh_output.h"
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
      sampler.add(
          {{inAngstrom(t.apex), inAngstrom(t.second), inAngstrom(t.third)}, lobeSign(t.apexValue)});
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

// The classic scene or script of the settings' MO.
ConversionOutcome drawClassicScene(const ClassicCalculation& calculation,
                                   const ConversionRequest& request, MessageSink& messages,
                                   const ProgressCallback& progress) {
  const ClassicMoLookup lookup = classicOrbitalFor(calculation, request);
  if (!lookup.orbital) return lookup.failure;
  return writeClassicOutput(*lookup.orbital, calculation, atomsOf(calculation), request, messages,
                            progress);
}

}  // namespace

int defaultThreadCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::optional<ConversionOutcome> requestProblem(const ConversionRequest& request) {
  if (auto problem = unusableSettingsMessage(request.settings)) {
    return failure(ConversionStatus::unusableSettings, std::move(*problem));
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
  const ConversionSettings& settings = request.settings;
  const bool cube = settings.outputKind == OutputKind::Cube;
  if (input.classic && !cube && !usesWatertightSurface(settings)) {
    return drawClassicScene(*input.classic, request, messages, progress);
  }
  const DrawnField drawn = drawnField(input, request);
  if (!drawn.field) return drawn.failure;
  if (cube) {
    return convertToCube(*drawn.field, drawn.atoms,
                         drawn.description + (input.classic ? ", classic model" : ", exact model"),
                         drawn.quantity, request, progress);
  }
  const PageCaption caption = settings.outputKind == OutputKind::Html
                                  ? pageCaption(input, request, drawn.description)
                                  : PageCaption{};
  return convertThroughSurface(*drawn.field, drawn.atoms, request, messages, progress, caption);
}

ConversionOutcome runConversion(const ConversionRequest& request, MessageSink& messages,
                                const ProgressCallback& progress) {
  if (auto problem = requestProblem(request)) return std::move(*problem);
  InputLoad load = loadInput(request, messages);
  if (!load.input) return load.failure;
  return drawOrbital(*load.input, request, messages, progress);
}

}  // namespace lobewright
