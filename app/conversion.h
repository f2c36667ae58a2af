#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "app/messages.h"
#include "mesh/orbital_mesh.h"

namespace lobewright {

// Why the request cannot be run whatever its input holds: settings that give no meaningful sweep,
// or an output that the run must not write over (the input, the parameter file, or an OBJ named
// as its own material file). Nothing when it can be run.
[[nodiscard]] std::optional<ConversionOutcome> requestProblem(const ConversionRequest& request);

// Draws the settings' MO of the loaded input to the settings' output in its format. The output
// replaces an existing file only once it is written whole: an MO the input lacks, a grid too
// large, a failed write or a cancel leave an existing file as it was. Warnings go to the sink as
// they arise; progress is reported per grid layer, then 100. A batch draws every MO from one
// loaded input.
[[nodiscard]] ConversionOutcome drawOrbital(LoadedInput& input, const ConversionRequest& request,
                                            MessageSink& messages,
                                            const ProgressCallback& progress);

// The surface of the settings' MO of the loaded input as a picture `pixels` across draws it: at
// the isovalue that encloses the settings' share of psi^2, when they ask for one, and on the grid
// the picture needs, when the settings leave the scale to it; with the atoms as every new format
// takes them. A gallery draws its MOs so.
struct PictureSurface {
  OrbitalMesh mesh;
  std::vector<CalculationAtom> atoms;
  std::string enclosing;  // "|psi| = 0.03605 encloses 85 % of psi^2", or empty
  // "MO 37 of caffeine.aux: |psi| = ...", the line a .png of it carries; empty without `enclosing`
  std::string caption;
  std::string description;    // "MO 37 of caffeine.aux"
  float isovalue = 0.0f;      // the surface's: the one found for the share, or the settings'
  ConversionOutcome failure;  // succeeded when there is a mesh
};
[[nodiscard]] PictureSurface drawPictureSurface(LoadedInput& input,
                                                const ConversionRequest& request, int pixels,
                                                const ProgressCallback& progress);

// One whole conversion: the request checked, its input loaded, its MO drawn.
[[nodiscard]] ConversionOutcome runConversion(const ConversionRequest& request,
                                              MessageSink& messages,
                                              const ProgressCallback& progress);

}  // namespace lobewright
