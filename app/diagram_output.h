#pragma once

#include <optional>
#include <vector>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "app/mo_selection.h"

namespace lobewright {

// What a level diagram shows and how it is written.
struct DiagramChoice {
  std::optional<std::vector<MoRange>> selection;  // none: HOMO-5 to LUMO+5
  std::optional<Spin> spin;                       // none: every spin set of the file
  bool svg = false;  // an SVG document rather than a PNG picture rendered from it
};

// Writes the MO energy-level diagram of the input, read in the exact model whatever its kind, to
// the settings' output at the picture's size: an SVG document, or a PNG picture that librsvg
// renders from it. The output replaces an existing file only once it is written whole.
[[nodiscard]] ConversionOutcome drawLevelDiagram(const LoadedInput& input,
                                                 const ConversionRequest& request,
                                                 const DiagramChoice& choice);

}  // namespace lobewright
