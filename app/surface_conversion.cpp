#include "app/surface_conversion.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "app/grid_budget.h"
#include "app/mesh_output.h"
#include "app/vertex_colouring.h"
#include "mesh/surface_box.h"
#include "mesh/watertight_mesher.h"
#include "writers/picture_view.h"

namespace lobewright {

std::optional<GridBox> surfaceBoxAround(const Field& field,
                                        const std::vector<CalculationAtom>& atoms,
                                        const ConversionSettings& settings) {
  const AtomExtent extent = atomExtent(atoms);
  return findSurfaceBox(field, settings.threshold, settings.scale, extent.low, extent.high);
}

int pictureScale(const Field& field, const std::vector<CalculationAtom>& atoms,
                 const ConversionSettings& settings, int pixels) {
  // Room around the atoms' centres for their balls.
  constexpr double kAtomRoom = 1.0;
  const std::optional<GridBox> box = surfaceBoxAround(field, atoms, settings);
  if (!box) return settings.scale;
  const AtomExtent extent = atomExtent(atoms);
  const Vec3 atomsSize = extent.high - extent.low;
  double surfaceSize = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    surfaceSize = std::max(surfaceSize, static_cast<double>(box->high[axis] - box->low[axis]));
  }
  const double size = std::min(std::max({atomsSize.x, atomsSize.y, atomsSize.z}) + 2.0 * kAtomRoom,
                               surfaceSize / settings.scale + 2.0 * kNeighbourhood);
  const double steps = std::ceil(pixels / std::max(size, 1.0) / kPixelsPerGridStep);
  if (!std::isfinite(steps)) return settings.scale;
  return std::max(settings.scale,
                  static_cast<int>(std::min(steps, static_cast<double>(kFinestPictureScale))));
}

SurfaceMeshing meshSurface(const Field& field, const std::vector<CalculationAtom>& atoms,
                           const ConversionRequest& request, const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  const auto refused = [](ConversionStatus status, std::string message) {
    return SurfaceMeshing{std::nullopt, {status, std::move(message)}};
  };
  const std::optional<GridBox> box = surfaceBoxAround(field, atoms, settings);
  if (!box) return refused(ConversionStatus::gridTooLarge, kSurfaceTooFarMessage);
  const GridBounds bounds = boundsOf(*box);
  const int threads = std::max(1, request.sweep.threads);
  if (auto problem = gridSizeProblem(bounds, threads)) {
    return refused(ConversionStatus::gridTooLarge, std::move(*problem));
  }
  if (request.beforeSweep) request.beforeSweep(bounds);
  try {
    return {meshIsosurface(field, settings.threshold, settings.scale, *box,
                           {progress, request.stop, threads}),
            {}};
  } catch (const SweepCancelled&) {
    return refused(ConversionStatus::cancelled, kCancelledMessage);
  }
}

ConversionOutcome convertThroughSurface(const Field& field,
                                        const std::vector<CalculationAtom>& atoms,
                                        const ConversionRequest& request, MessageSink& messages,
                                        const ProgressCallback& progress,
                                        const ColouringField* colouring, const PageCaption& page) {
  const ConversionSettings& settings = request.settings;
  // A picture spends most of its time in the renderer, after the surface; the colours at the
  // vertices take the last tenth of the surface's part.
  const bool picture = settings.outputKind == OutputKind::Png;
  const int surfaceEnd = picture ? 30 : 99;
  const int meshEnd = colouring ? surfaceEnd - surfaceEnd / 10 : surfaceEnd;
  SurfaceMeshing meshing = meshSurface(field, atoms, request, progressShare(progress, 0, meshEnd));
  if (!meshing.mesh) return std::move(meshing.failure);
  const OrbitalMesh& mesh = *meshing.mesh;
  const auto triangles =
      static_cast<int64_t>(mesh.positive.triangles.size() + mesh.negative.triangles.size());
  if (auto problem = meshSizeProblem(static_cast<uint64_t>(triangles), settings)) {
    return {ConversionStatus::gridTooLarge, std::move(*problem)};
  }
  std::optional<SurfaceColouring> colours;
  if (colouring) {
    try {
      colours = colourVertices(
          valuesAtVertices(*colouring->field, mesh, std::max(1, request.sweep.threads),
                           request.stop, progressShare(progress, meshEnd, surfaceEnd)),
          settings.colouring, colouring->title, colouring->units);
    } catch (const SweepCancelled&) {
      return {ConversionStatus::cancelled, kCancelledMessage};
    }
  }
  ConversionOutcome written =
      writeMeshOutput(settings, mesh, atoms, request.stop, progressShare(progress, surfaceEnd, 100),
                      {request.caption, colours ? &*colours : nullptr, page});
  if (!written.succeeded()) return written;
  progress(100);
  if (triangles == 0) messages.show(kWarningCaption, kNoSurfaceMessage);
  ConversionOutcome outcome{ConversionStatus::succeeded, {}, triangles};
  if (request.keepScene) outcome.scene = std::make_shared<WrittenScene>(sampleScene(mesh, atoms));
  return outcome;
}

}  // namespace lobewright
