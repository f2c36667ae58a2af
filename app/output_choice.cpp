#include "app/output_choice.h"

#include "app/output_format.h"

namespace lobewright {

OutputChoice chooseOutput(const std::string& dialogFileName, int filterIndex) {
  const std::vector<OutputFormat>& formats = outputFormats();
  const bool listed = filterIndex >= 1 && filterIndex <= static_cast<int>(formats.size());
  OutputKind kind = listed ? formats[filterIndex - 1].kind : OutputKind::LScript;
  std::string stem = dialogFileName;
  const std::size_t lastDot = dialogFileName.rfind('.');
  const std::size_t lastSlash = dialogFileName.rfind('/');
  // A name that is nothing but the extension (".pov") is kept whole; so is a dot in a folder's
  // name.
  const bool typedExtension = lastDot != std::string::npos && lastDot >= 1 &&
                              (lastSlash == std::string::npos || lastDot > lastSlash + 1);
  std::optional<OutputKind> typed;
  if (typedExtension) typed = outputKindOfPath(dialogFileName);
  if (typed) {
    kind = *typed;
    stem = dialogFileName.substr(0, lastDot);
  }

  OutputChoice choice;
  choice.dialogFileName = !stem.empty() && stem.back() == '/' ? dialogFileName : stem;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    if (formats[i].kind == kind) choice.filterIndex = static_cast<int>(i) + 1;
  }
  choice.outputKind = kind;
  choice.outputPath = typed ? dialogFileName : stem + std::string(outputFormat(kind).extension);
  choice.extended = choice.outputPath != dialogFileName;
  return choice;
}

}  // namespace lobewright
