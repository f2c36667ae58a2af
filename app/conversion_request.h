#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "app/conversion_settings.h"
#include "app/written_scene.h"
#include "mesh/grid_bounds.h"
#include "mesh/surface_sweep.h"

namespace lobewright {

// Told the progress of a run in percent, on the thread that runs it.
using ProgressCallback = std::function<void(int percent)>;

// The part of a run's progress, from `from` to `to` percent, that one step of it fills.
[[nodiscard]] inline ProgressCallback progressShare(const ProgressCallback& progress, int from,
                                                    int to) {
  return [&progress, from, to](int percent) {
    progress(from + (to - from) * std::clamp(percent, 0, 100) / 100);
  };
}

// All the cores the machine has.
[[nodiscard]] int defaultThreadCount();

struct ConversionRequest {
  std::string parameterFile;
  // A parameter file the user named must be read; the default one may fall back to the built-in
  // table with a warning.
  bool parameterFileRequired = false;
  std::string inputFile;
  ConversionSettings settings;
  SweepOptions sweep = {SweepEngine::fast, defaultThreadCount()};
  // Told the grid just before the sweep starts, so a caller can say what is coming.
  std::function<void(const GridBounds&)> beforeSweep = nullptr;
  // Told the number of AOs before each density matrix of a field is worked out, in time that
  // grows as their cube, so a caller can say what is coming (longDensityMatrixNotice).
  std::function<void(std::size_t aoCount)> beforeDensityMatrix = nullptr;
  // Told in percent how far the making of a potential's atomic pieces has got, on the thread that
  // builds the field: on a thousand atoms it takes as long as the surface.
  ProgressCallback potentialProgress = nullptr;
  // Whether a density keeps S^-1/2 in the loaded calculation for the next density of the same
  // load: for callers that draw several, since for a molecule of 2,000 AOs it takes seconds to
  // work out and 16 MB to keep.
  bool keepInverseSqrtOverlap = false;
  // Stops the run at the next grid layer; the output is then left as it was.
  std::stop_token stop;
  // Whether a successful run returns what it wrote as a scene, for a preview.
  bool keepScene = false;
  // A line under a .png picture, such as the isovalue found for an enclosed share; none when
  // empty.
  std::string caption;
};

enum class ConversionStatus {
  succeeded,
  unusableSettings,  // refused before anything was read
  inputError,
  parameterError,
  gridTooLarge,  // the atoms lie too far out for the grid at this scale
  cannotOpenOutput,
  cannotWriteOutput,
  cancelled,
};

struct ConversionOutcome {
  ConversionStatus status = ConversionStatus::succeeded;
  // What to tell the user under the caption "Lobewright error"; empty on success.
  std::string message;
  int64_t triangles = 0;
  // What was written, when the request asked for it and the run succeeded.
  std::shared_ptr<const WrittenScene> scene = nullptr;

  [[nodiscard]] bool succeeded() const { return status == ConversionStatus::succeeded; }
};

}  // namespace lobewright
