#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "app/conversion_settings.h"
#include "app/input_source.h"
#include "app/written_scene.h"
#include "input/messages.h"
#include "input/molecule.h"
#include "mesh/grid_bounds.h"
#include "mesh/surface_sweep.h"
#include "writers/progress_callback.h"

namespace lobewright {

inline constexpr const char* kInputFileErrorMessage = "Input file error.";
inline constexpr const char* kParameterFileErrorMessage = "Parameter file error.";
inline constexpr const char* kCannotOpenOutputMessage = "Cannot open output file.";
inline constexpr const char* kCannotWriteOutputMessage = "Cannot write output file.";
inline constexpr const char* kNoSurfaceMessage = "No surface found at this threshold.";
inline constexpr const char* kCancelledMessage = "The run was cancelled; no file was written.";
inline constexpr const char* kSurfaceTooFarMessage =
    "The surface reaches too far beyond the atoms to be enclosed; raise the threshold.";
inline constexpr const char* kClassicNeedsOutputMessage =
    "the classic model reads MOPAC output files (.out, .mno) only; use the exact model for .aux "
    "and .mgf files";
inline constexpr const char* kGridTooLargeMessage =
    "The grid would reach beyond 32-bit grid units; check the coordinates or lower the scale.";

// All the cores the machine has.
[[nodiscard]] int defaultThreadCount();

// "Input file error.", with what went wrong in the named file on a second line.
[[nodiscard]] std::string inputErrorMessage(const std::string& fileName, const std::string& reason);
[[nodiscard]] std::string inputErrorMessage(const Molecule& molecule, const std::string& fileName);

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
  // Stops the run at the next grid layer; the output is then left as it was.
  std::stop_token stop;
  // Whether a successful run returns what it wrote as a scene, for a preview.
  bool keepScene = false;
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

// The classic model's molecule as a conversion reads it: the input checked (a regular file or
// "-"), a named parameter file required, the chosen MO read. On failure the molecule is empty
// and the outcome says why.
struct ClassicInput {
  std::unique_ptr<Molecule> molecule;
  ConversionOutcome failure;
};
[[nodiscard]] ClassicInput readClassicInput(const ConversionRequest& request,
                                            const InputSource& source, MessageSink& messages);

// The HOMO's and LUMO's numbers in the request's input, as the model the request uses sees them:
// the classic model counts the filled levels the output states, the exact model reads the
// occupancies of the chosen spin. On failure `error` holds the message for the user.
struct FrontierNumbers {
  int homo = 0;
  int lumo = 0;
  std::string error;
};
[[nodiscard]] FrontierNumbers findFrontierNumbers(const ConversionRequest& request);

// One whole conversion from the MOPAC output to the written scene. The settings are checked and
// the input is read before the output is opened, and the output replaces an existing file only
// once it is written whole: unusable settings, a bad input, a grid too large, a failed write or
// a cancel leave an existing output file as it was. An output that is the input or the
// parameter file is refused. Warnings go to the sink as they arise; progress is reported per
// grid layer, then 100.
[[nodiscard]] ConversionOutcome runConversion(const ConversionRequest& request,
                                              MessageSink& messages,
                                              const ProgressCallback& progress);

}  // namespace lobewright
