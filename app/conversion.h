#pragma once

#include <functional>
#include <string>

#include "app/conversion_settings.h"
#include "input/messages.h"
#include "input/molecule.h"
#include "surface/grid_bounds.h"
#include "surface/surface_sweep.h"
#include "writers/progress_callback.h"

namespace lobewright {

inline constexpr const char* kInputFileErrorMessage = "Input file error.";
inline constexpr const char* kCannotOpenOutputMessage = "Cannot open output file.";
inline constexpr const char* kCannotWriteOutputMessage = "Cannot write output file.";
inline constexpr const char* kNoSurfaceMessage = "No surface found at this threshold.";
inline constexpr const char* kGridTooLargeMessage =
    "The grid would reach beyond 32-bit grid units; check the coordinates or lower the scale.";

// All the cores the machine has.
[[nodiscard]] int defaultThreadCount();

// "Input file error.", with the reader's advice on a second line when it has any.
[[nodiscard]] std::string inputErrorMessage(const Molecule& molecule);

struct ConversionRequest {
  std::string parameterFile;
  std::string inputFile;
  ConversionSettings settings;
  SweepOptions sweep = {SweepEngine::fast, defaultThreadCount()};
  // Told the grid just before the sweep starts, so a caller can say what is coming.
  std::function<void(const GridBounds&)> beforeSweep = nullptr;
};

enum class ConversionStatus {
  succeeded,
  unusableSettings,  // refused before anything was read
  inputError,
  gridTooLarge,  // the atoms lie too far out for the grid at this scale
  cannotOpenOutput,
  cannotWriteOutput,
};

struct ConversionOutcome {
  ConversionStatus status = ConversionStatus::succeeded;
  // What to tell the user under the caption "Lobewright error"; empty on success.
  std::string message;

  [[nodiscard]] bool succeeded() const { return status == ConversionStatus::succeeded; }
};

// One whole conversion from the MOPAC output to the written scene. The settings are checked and
// the input is read before the output is opened, so unusable settings, a bad input or a grid
// too large leave an existing output file untouched. Warnings go to the sink as they arise;
// progress is reported per grid layer, then 100.
[[nodiscard]] ConversionOutcome runConversion(const ConversionRequest& request,
                                              MessageSink& messages,
                                              const ProgressCallback& progress);

}  // namespace lobewright
