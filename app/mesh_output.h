#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/conversion_request.h"
#include "app/conversion_settings.h"
#include "input/calculation.h"
#include "mesh/orbital_mesh.h"
#include "writers/html_writer.h"
#include "writers/surface_colouring.h"

namespace lobewright {

// Writes the surface and the atoms in one of the formats drawn from the watertight surface
// (glTF, OBJ with its .mtl, PLY, STL, a .pov scene framed or in the classic layout, an .ls
// script, a .png picture, a web page) to the settings' output path. Each file replaces what was
// there only once it is whole; an .obj and its .mtl are both written before either replaces
// anything. On failure the outcome says whether the output could not be opened or written, or the
// stop token ended the work, with the message for the user. The decoration's colouring, when
// given, colours the lobes vertex by vertex (the formats that carry colours: glTF, OBJ, PLY, framed
// .pov, .png, .html); a picture's caption goes under it, a page's above it.
struct MeshDecoration {
  std::string caption;
  const SurfaceColouring* colouring = nullptr;
  PageCaption page;
};
[[nodiscard]] ConversionOutcome writeMeshOutput(const ConversionSettings& settings,
                                                const OrbitalMesh& mesh,
                                                const std::vector<CalculationAtom>& atoms,
                                                std::stop_token stop,
                                                const std::function<void(int)>& progress,
                                                const MeshDecoration& decoration = {});

// The .mtl file written beside an .obj: the same name with the extension .mtl.
[[nodiscard]] std::string materialPathFor(const std::string& objPath);

}  // namespace lobewright
