#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <future>
#include <limits>
#include <stdexcept>
#include <utility>

#include "mesh/grid_box.h"
#include "mesh/isosurface_sweep.h"
#include "mesh/mesh_cleanup.h"
#include "mesh/mesh_simplify.h"
#include "mesh/orbital_mesh.h"
#include "mesh/ordered_plane_pipeline.h"
#include "mesh/sweep_assembly.h"
#include "mesh/sweep_control.h"
#include "orbital/field_sample.h"

namespace lobewright {

// Triangles below this fraction of a grid cube's face in area are slivers.
inline constexpr double kSliverArea = 1e-4;
// A closed piece of a lobe narrower than this fraction of the grid spacing is dropped.
inline constexpr double kTinyPiece = 0.05;
// Marching tetrahedra give about three times the triangles of marching cubes; the lean lobe keeps
// this share of them, its triangles within this fraction of the grid spacing of the full ones.
inline constexpr double kLeanShare = 0.36;
inline constexpr double kLeanError = 0.05;

// The surface |psi| = threshold over the grid box as one closed, 2-manifold, outward-oriented
// mesh per lobe, by marching tetrahedra over the Kuhn split of the grid's cubes (see
// cube_tetrahedra.h): vertices where the field itself crosses the threshold on the grid's edges,
// normals from its gradient. The box should come from findSurfaceBox so that no lobe is cut.
//
// Planes of the grid are computed on control.threads threads; the mesh is the same for any
// number. Progress in percent after each plane, on the calling thread; the stop token is checked
// before each plane, and SweepCancelled thrown when it is set. The threshold must be positive and
// the scale (grid points per Angstrom) positive. Memory grows with the area of a plane of the box
// and with the surface, so the caller limits the box (gridPointCount) before it asks.
template <SampledField F>
[[nodiscard]] OrbitalMesh meshIsosurface(const F& field, double threshold, double scale,
                                         const GridBox& box, const SweepControl& control) {
  if (!(threshold > 0.0) || !std::isfinite(threshold) || !(scale > 0.0) || !std::isfinite(scale)) {
    throw std::invalid_argument("The surface needs a positive threshold and grid scale.");
  }
  for (int axis = 0; axis < 3; ++axis) {
    if (box.high[axis] <= box.low[axis]) return {};
    if (static_cast<int64_t>(box.high[axis]) - box.low[axis] >=
        std::numeric_limits<int32_t>::max()) {
      throw std::length_error("The surface's grid is too large.");
    }
  }
  const IsosurfaceSweep<F> sweep(field, threshold, scale, box);
  SweepAssembly assembly;
  const int32_t layers = sweep.layerCount();
  OrderedPlanePipeline<SweepPlane, SweepLayer>(layers, control.threads, control.stop)
      .run(
          [&](int64_t k, SweepPlane& plane) { sweep.computePlane(static_cast<int32_t>(k), plane); },
          [&](int64_t k, const SweepPlane& lower, const SweepPlane& upper, SweepLayer& layer) {
            sweep.computeLayer(static_cast<int32_t>(k), lower, upper, layer);
          },
          [&](int64_t k, const SweepPlane& lower, const SweepPlane& upper,
              const SweepLayer& layer) {
            if (k == 0) assembly.addPlane(lower);
            assembly.addPlane(upper);
            assembly.addLayer(layer);
            control.progress(static_cast<int>((k + 1) * 100 / layers));
          });
  OrbitalMesh mesh = std::move(assembly.mesh());
  const double spacing = 1.0 / scale;
  if (control.stop.stop_requested()) throw SweepCancelled{};
  // Each lobe has its share of the threads, a lone lobe (a density's) all of them.
  const bool bothLobes = !mesh.positive.triangles.empty() && !mesh.negative.triangles.empty();
  const int threadsPerLobe = bothLobes ? std::max(control.threads / 2, 1) : control.threads;
  const auto finish = [spacing, threadsPerLobe, lean = control.lean](LobeMesh& lobe) {
    removeSlivers(lobe, kSliverArea * spacing * spacing, kTinyPiece * spacing);
    if (lean) {
      simplifyLobe(lobe, kLeanShare, kLeanError * spacing, kSliverArea * spacing * spacing,
                   threadsPerLobe);
    }
  };
  // The lobes are independent: the negative one on another thread when there is one (or on this
  // one, when the system has none to spare).
  std::future<void> negative = std::async(
      control.threads > 1 ? std::launch::async | std::launch::deferred : std::launch::deferred,
      [&] { finish(mesh.negative); });
  finish(mesh.positive);
  negative.get();
  return mesh;
}

}  // namespace lobewright
