#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "input/molecule.h"
#include "surface/grid_bounds.h"
#include "surface/shaded_triangle.h"

namespace lobewright {

struct SweepCounters {
  int64_t evaluations = 0;  // evaluations of the orbital
  int64_t triangles = 0;
};

// Receives the triangles of one z layer in sweep order, then that layer's progress percent.
// Always called on the thread that called sweepFast, layer after layer.
using LayerSink = std::function<void(const std::vector<ShadedTriangle>& layer, int percent)>;

// The same triangles, in the same order and to the bit, as the literal sweep over the molecule,
// with the forward-difference gradient at every corner. Each grid point and each crossing point
// is evaluated once, each sum only over the atoms that can reach it, and planes of the grid are
// computed on `threads` threads.
SweepCounters sweepFast(const Molecule& molecule, float threshold, int accuracy,
                        const GridBounds& bounds, int threads, const LayerSink& sink);

}  // namespace lobewright
