#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <vector>

#include "mesh/grid_bounds.h"
#include "mesh/shaded_triangle.h"
#include "orbital/classic_orbital.h"

namespace lobewright {

struct SweepCounters {
  int64_t evaluations = 0;  // evaluations of the orbital
  int64_t triangles = 0;
};

// Receives the triangles of one z layer in sweep order, then that layer's progress percent.
// Always called on the thread that called sweepFast, layer after layer.
using LayerSink = std::function<void(const std::vector<ShadedTriangle>& layer, int percent)>;

// The same triangles, in the same order and to the bit, as the literal sweep over the orbital,
// with the forward-difference gradient at every corner. Each grid point and each crossing point
// is evaluated once, each sum only over the atoms that can reach it, and planes of the grid are
// computed on `threads` threads.
//
// The agreement with the literal sweep rests on these rules, each kept in one place:
// - Envelope margin (SweepPlanes::surelyBelowThreshold). A run of grid points is classified below
//   the threshold without being evaluated only when a rigorous bound of |value| over its box lies
//   below 0.999 of the threshold. The computed sums exceed the exact ones by a few units in the
//   last place per term at most, far less than that margin, so a skipped point is one the literal
//   sweep also finds below.
// - Atom order (ReachField). Every sum adds the atoms in index order through addAtomShare, as
//   ClassicOrbital::valueAt does; an atom is left out only when it lies more than the cutoff plus
//   two grid units from the whole box, and such an atom adds nothing to any sum in the box. The
//   sums are therefore the same to the bit.
// - Far end's class (bisect in sweep_planes.cpp). The literal bisection evaluates the edge's far
//   end again at every step, but that end only ever moves to a midpoint of the same class, so its
//   class never changes: tracking it gives the same bracket without the evaluations.
// - Edge order (SweepPlanes::assembleLayer). A cube's crossing points are listed in the order of
//   the edge table (mesh/cube_edges.h), which fixes the fan's apex and the order of its
//   triangles. Every grid edge is bisected once, from its lower to its upper end as in every cube
//   that shares it, so neighbouring cubes share the bitwise same crossing point and gradient.
//
// Threads. Planes, and layers with their triangles, are computed on an OrderedPlanePipeline
// (ordered_plane_pipeline.h): on `threads` threads, at most a few planes ahead of the sink, and
// handed to the sink strictly in order on the calling thread; a single thread computes just the
// pieces the next layer needs, in order. Each piece counts its own evaluations, and the counts
// are summed as the layers are handed over, so the total does not depend on the threads.
//
// Stopping. Once `stop` is requested, a thread at work gives up within a few evaluations, a
// thread waiting for work is woken, and sweepFast throws SweepCancelled on the calling thread
// after all of its threads have ended. No further layer reaches the sink.
SweepCounters sweepFast(const ClassicOrbital& orbital, float threshold, int accuracy,
                        const GridBounds& bounds, int threads, const LayerSink& sink,
                        std::stop_token stop = {});

}  // namespace lobewright
