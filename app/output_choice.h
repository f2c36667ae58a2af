#pragma once

#include <string>

#include "app/conversion_settings.h"

namespace lobewright {

// What the Out file command makes of the save dialog's answer.
struct OutputChoice {
  std::string dialogFileName;  // the name the save dialog proposes next time
  std::string outputPath;
  OutputKind outputKind = OutputKind::PovRay;
};

// The selected filter decides the format, not the extension typed: the filters are those of
// outputFormats() in its order, POV-Ray first, and an index outside them stands for LScript. A
// typed extension of one of the formats (exactly, in lower case: ".pov", ".glb", ...) is replaced
// by the filter's extension, any other is kept and the filter's extension appended to it. The
// dialog then proposes the name without its extension, unless that name ends in "/".
[[nodiscard]] OutputChoice chooseOutput(const std::string& dialogFileName, int filterIndex);

}  // namespace lobewright
