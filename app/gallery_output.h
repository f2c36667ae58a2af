#pragma once

#include <vector>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "app/messages.h"

namespace lobewright {

// The MOs a gallery shows unless told otherwise: from HOMO-2 to LUMO+2.
inline constexpr int kGalleryReach = 2;

// One PNG picture of every MO in `mos` of the loaded input (of the settings' spin), laid out in a
// grid at the picture's size: each in a panel with its number, HOMO or LUMO, symmetry label and
// energy (and the isovalue found, for an enclosed share), all seen from one view at one scale, in
// the same lobe colours. The pictures are rendered by POV-Ray, the page by librsvg; the output
// replaces an existing file only once it is written whole. An MO without a surface is drawn with
// a warning; one that cannot be drawn fails the gallery.
[[nodiscard]] ConversionOutcome drawGallery(LoadedInput& input, const ConversionRequest& request,
                                            const std::vector<int>& mos, MessageSink& messages,
                                            const ProgressCallback& progress);

}  // namespace lobewright
