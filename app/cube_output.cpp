#include "app/cube_output.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "app/field_grid.h"
#include "app/grid_budget.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "app/surface_conversion.h"
#include "mesh/grid_box.h"
#include "mesh/surface_box.h"
#include "mesh/sweep_control.h"
#include "writers/cube_writer.h"
#include "writers/program_version.h"

namespace lobewright {
namespace {

// A cube is read by programs that draw their own surfaces, often at lower values than the
// threshold: its box holds every point where |field| reaches a fifth of it.
constexpr double kCubeReachShare = 0.2;

std::optional<GridBox> cubeBox(const Field& field, const std::vector<CalculationAtom>& atoms,
                               const ConversionSettings& settings, double threshold) {
  const AtomExtent extent = atomExtent(atoms);
  const double scale = settings.scale;
  if (!settings.cubeMargin) {
    return findSurfaceBox(field, threshold * kCubeReachShare, scale, extent.low, extent.high);
  }
  const double margin = *settings.cubeMargin;
  const std::array<double, 3> low{extent.low.x, extent.low.y, extent.low.z};
  const std::array<double, 3> high{extent.high.x, extent.high.y, extent.high.z};
  GridBox box;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const double start = std::floor((low[axis] - margin) * scale);
    const double end = std::ceil((high[axis] + margin) * scale);
    if (!(start >= std::numeric_limits<int32_t>::min() &&
          end <= std::numeric_limits<int32_t>::max() && start < end)) {
      return std::nullopt;
    }
    box.low[axis] = static_cast<int32_t>(start);
    box.high[axis] = static_cast<int32_t>(end);
  }
  return box;
}

}  // namespace

ConversionOutcome convertToCube(const Field& field, CubeExtent extent,
                                const std::vector<CalculationAtom>& atoms,
                                const std::string& description, const std::string& quantity,
                                const ConversionRequest& request,
                                const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  const double scale = settings.scale;
  const std::optional<GridBox> box = extent.field
                                         ? cubeBox(*extent.field, atoms, settings, extent.threshold)
                                         : cubeBox(field, atoms, settings, settings.threshold);
  if (!box) return {ConversionStatus::gridTooLarge, kSurfaceTooFarMessage};
  for (auto problem : {gridSizeProblem(boundsOf(*box), 1), cubeSizeProblem(boundsOf(*box))}) {
    if (problem) return {ConversionStatus::gridTooLarge, std::move(*problem)};
  }
  CubeGrid grid;
  grid.origin = gridPosition(box->low[0], box->low[1], box->low[2], scale);
  grid.spacing = 1.0 / scale;
  grid.countX = box->high[0] - box->low[0] + 1;
  grid.countY = box->high[1] - box->low[1] + 1;
  grid.countZ = box->high[2] - box->low[2] + 1;

  std::string error;
  const std::unique_ptr<OutputFile> output = OutputFile::open(settings.outputPath, error);
  if (!output) {
    return {ConversionStatus::cannotOpenOutput,
            withReason(kCannotOpenOutputMessage, settings.outputPath, error)};
  }
  const auto plane = [&](int i, std::span<double> values) {
    if (!planeValues(field, *box, settings.scale, i, values, request.sweep.threads, request.stop)) {
      throw SweepCancelled{};
    }
    progress(static_cast<int>(static_cast<int64_t>(i) * 100 / grid.countX));
  };
  try {
    error = writeCube(output->stream(), grid, atoms,
                      "Lobewright " + std::string(kProgramVersion) + ": " + description,
                      quantity + ", lengths in bohr", plane);
  } catch (const SweepCancelled&) {
    return {ConversionStatus::cancelled, kCancelledMessage};
  } catch (const std::ios_base::failure&) {
    // The commit below fails and says why.
  }
  if (!error.empty() && output->failure().empty()) {
    return {ConversionStatus::cannotWriteOutput,
            withReason(kCannotWriteOutputMessage, settings.outputPath, error)};
  }
  if (!error.empty() || !output->commit()) {
    return {ConversionStatus::cannotWriteOutput,
            withReason(kCannotWriteOutputMessage, settings.outputPath, output->failure())};
  }
  progress(100);
  ConversionOutcome outcome{ConversionStatus::succeeded, {}, 0};
  // A cube holds no surface; its scene is the molecule alone.
  if (request.keepScene) outcome.scene = std::make_shared<WrittenScene>(WrittenScene{{}, atoms, 0});
  return outcome;
}

}  // namespace lobewright
