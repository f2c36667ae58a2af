#include "mesh/fast_sweep.h"

#include <utility>

#include "mesh/ordered_plane_pipeline.h"
#include "mesh/polygonizer.h"
#include "mesh/sweep_control.h"
#include "mesh/sweep_planes.h"

namespace lobewright {
namespace {

void throwIfStopped(const std::stop_token& stop) {
  if (stop.stop_requested()) throw SweepCancelled{};
}

// The z of layer k's lower plane, which lies below zHigh and so within int32_t.
int32_t zOfLayer(const GridBounds& bounds, int64_t k) {
  return static_cast<int32_t>(bounds.zLow + k);
}

// A piece of the sweep with the evaluations of the orbital it took, summed as the layers are
// handed over so that the count does not depend on which thread computed what.
struct CountedPlane {
  GridPlane grid;
  int64_t evaluations = 0;
};
struct CountedLayer {
  GridLayer crossings;
  std::vector<ShadedTriangle> triangles;
  int64_t evaluations = 0;
};

void sweepCubes(const SweepPlanes& planes, const GridBounds& bounds, int threads,
                std::stop_token stop, SweepCounters& counters, const LayerSink& sink) {
  OrderedPlanePipeline<CountedPlane, CountedLayer>(planes.layerCount(), threads, std::move(stop))
      .run(
          [&](int64_t k, CountedPlane& plane) {
            plane.evaluations = 0;
            planes.computePlane(k, plane.grid, plane.evaluations);
          },
          [&](int64_t k, const CountedPlane& bottom, const CountedPlane& top, CountedLayer& layer) {
            layer.evaluations = 0;
            planes.computeLayer(k, bottom.grid, top.grid, layer.crossings, layer.evaluations);
            layer.triangles.clear();
            planes.assembleLayer(bottom.grid, top.grid, layer.crossings, layer.triangles);
          },
          [&](int64_t k, const CountedPlane& bottom, const CountedPlane& top,
              const CountedLayer& layer) {
            if (k == 0) counters.evaluations += bottom.evaluations;
            counters.evaluations += top.evaluations + layer.evaluations;
            counters.triangles += static_cast<int64_t>(layer.triangles.size());
            sink(layer.triangles, layerProgress(zOfLayer(bounds, k), bounds));
          });
}

}  // namespace

SweepCounters sweepFast(const ClassicOrbital& orbital, float threshold, int accuracy,
                        const GridBounds& bounds, int threads, const LayerSink& sink,
                        std::stop_token stop) {
  SweepCounters counters;
  const ReachField field(orbital);
  const SweepPlanes planes(field, threshold, accuracy, bounds, stop);
  if (!planes.hasCubes()) {
    // No cube to visit, yet every z layer still reports its progress.
    for (int64_t z = bounds.zLow; z < bounds.zHigh; ++z) {
      throwIfStopped(stop);
      sink({}, layerProgress(static_cast<int32_t>(z), bounds));
    }
    return counters;
  }
  sweepCubes(planes, bounds, threads, std::move(stop), counters, sink);
  return counters;
}

}  // namespace lobewright
