#pragma once

#include <functional>
#include <stop_token>

#include "mesh/fast_sweep.h"
#include "mesh/polygonizer.h"
#include "mesh/sweep_control.h"
#include "orbital/classic_orbital.h"

namespace lobewright {

enum class SweepEngine {
  literal,  // the plain sweep: every edge evaluates both of its ends, nothing is shared
  fast,     // the same triangles to the bit, each point evaluated once, on several threads
};

struct SweepOptions {
  SweepOptions(SweepEngine engineToUse = SweepEngine::fast, int threadCount = 1,
               std::stop_token stopToken = {})
      : engine(engineToUse), threads(threadCount), stop(std::move(stopToken)) {}

  SweepEngine engine;
  int threads;
  // Once this is requested, the fast sweep's threads and the consumer of its triangles stop
  // within moments and SweepCancelled is thrown; the literal sweep leaves the check to its
  // progress callback, once per layer.
  std::stop_token stop;
  // When set, sees every triangle the consumer is given, just before it (a preview keeps a
  // sample of them without sweeping twice).
  std::function<void(const SurfaceTriangle&)> observer;
};

// Which corners of each triangle need their forward-difference gradient.
enum class GradientsAt { apexOnly, everyCorner };

// Counts the evaluations of the orbital that the literal sweep makes.
class CountingField {
 public:
  CountingField(const ClassicOrbital& orbital, int64_t& evaluations)
      : m_orbital(orbital), m_evaluations(evaluations) {}

  [[nodiscard]] float valueAt(float x, float y, float z) const {
    ++m_evaluations;
    return m_orbital.valueAt(x, y, z);
  }

 private:
  const ClassicOrbital& m_orbital;
  int64_t& m_evaluations;
};

// One sweep over the orbital with the chosen engine: every triangle, with the gradients asked
// for, goes to the consumer in sweep order, and every layer's progress to reportProgress, all on
// the calling thread.
template <class Consumer>
SweepCounters sweepSurface(const ClassicOrbital& orbital, float threshold, int accuracy,
                           const GridBounds& bounds, const SweepOptions& options,
                           GradientsAt gradients, Consumer&& consumer,
                           const std::function<void(int)>& reportProgress) {
  if (options.engine == SweepEngine::fast) {
    return sweepFast(
        orbital, threshold, accuracy, bounds, options.threads,
        [&](const std::vector<ShadedTriangle>& layer, int percent) {
          // A consumer may take a while over a layer of a fine grid (the script writer files
          // every corner in an ordered set), so it too stops at once.
          for (const ShadedTriangle& triangle : layer) {
            if (options.stop.stop_requested()) throw SweepCancelled{};
            if (options.observer) options.observer(triangle.triangle);
            consumer(triangle);
          }
          reportProgress(percent);
        },
        options.stop);
  }
  SweepCounters counters;
  const CountingField field(orbital, counters.evaluations);
  polygonizeGrid(
      field, threshold, accuracy, bounds,
      [&](const SurfaceTriangle& triangle) {
        ++counters.triangles;
        if (options.observer) options.observer(triangle);
        ShadedTriangle shaded{triangle, {}};
        if (gradients == GradientsAt::everyCorner) {
          const SmoothTriangle smooth = smoothTriangle(field, triangle);
          for (int k = 0; k < 3; ++k) shaded.gradients[k] = smooth.corners[k].normal;
        } else {
          shaded.gradients[0] = forwardGradient(field, triangle.apex, triangle.apexValue);
        }
        consumer(shaded);
      },
      reportProgress);
  return counters;
}

}  // namespace lobewright
