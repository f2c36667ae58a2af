#pragma once

#include <string>

#include "app/conversion_settings.h"

namespace lobewright {

// What the Out file command makes of the save dialog's answer.
struct OutputChoice {
  std::string dialogFileName;  // the name the save dialog proposes next time
  int filterIndex = 1;         // the filter it selects next time
  std::string outputPath;
  OutputKind outputKind = OutputKind::PovRay;
  // The path is not the name the user typed (an extension was added to it), so replacing a file
  // of that name must be asked first.
  bool extended = false;
};

// The filters are those of outputFormats() in its order, POV-Ray first, and an index outside them
// stands for LScript. A typed extension of one of the formats (in any case: ".glb", ".PNG")
// decides the format and the name is kept as typed; any other name gets the selected filter's
// extension appended. The dialog then proposes the name without its extension, unless that name
// ends in "/", with the format's filter selected.
[[nodiscard]] OutputChoice chooseOutput(const std::string& dialogFileName, int filterIndex);

}  // namespace lobewright
