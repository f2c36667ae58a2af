#include "app/output_choice.h"

namespace lobewright {

OutputChoice chooseOutput(const std::string& dialogFileName, int filterIndex) {
  std::string stem = dialogFileName;
  const std::size_t lastDot = dialogFileName.rfind('.');
  // A name that is nothing but the extension (".pov") is kept whole.
  if (lastDot != std::string::npos && lastDot >= 1) {
    const std::string extension = dialogFileName.substr(lastDot);
    if (extension == ".ls" || extension == ".pov") stem = dialogFileName.substr(0, lastDot);
  }

  OutputChoice choice;
  choice.dialogFileName = !stem.empty() && stem.back() == '/' ? dialogFileName : stem;
  if (filterIndex == 1) {
    choice.outputPath = stem + ".pov";
    choice.outputKind = OutputKind::PovRay;
  } else {
    choice.outputPath = stem + ".ls";
    choice.outputKind = OutputKind::LScript;
  }
  return choice;
}

}  // namespace lobewright
