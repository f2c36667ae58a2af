#pragma once

#include <cstdint>
#include <functional>

#include "mesh/isosurface_sweep.h"
#include "mesh/sweep_assembly.h"
#include "mesh/sweep_control.h"

namespace lobewright {

// A sweep's pieces for any field: plane k of the grid, and layer k between planes k and k + 1.
struct PlaneSteps {
  int32_t layerCount = 0;
  std::function<void(int32_t k, SweepPlane& plane)> computePlane;
  std::function<void(int32_t k, const SweepPlane& lower, const SweepPlane& upper,
                     SweepLayer& layer)>
      computeLayer;
};

// Computes every plane and layer on control.threads threads (the calling thread among them) and
// hands them to the assembly in grid order on the calling thread, reporting progress after each
// layer. Planes are computed at most a few ahead of the last layer handed over, so memory stays
// at a few planes. The stop token is checked before every piece of work and while waiting;
// SweepCancelled, or any exception from a piece, stops all threads and is thrown here.
void runPlanePipeline(const PlaneSteps& steps, const SweepControl& control,
                      SweepAssembly& assembly);

}  // namespace lobewright
