#include "app/output_choice.h"

#include "app/output_format.h"

namespace lobewright {

OutputChoice chooseOutput(const std::string& dialogFileName, int filterIndex) {
  const std::vector<OutputFormat>& formats = outputFormats();
  std::string stem = dialogFileName;
  const std::size_t lastDot = dialogFileName.rfind('.');
  // A name that is nothing but the extension (".pov") is kept whole.
  if (lastDot != std::string::npos && lastDot >= 1) {
    const std::string extension = dialogFileName.substr(lastDot);
    for (const OutputFormat& format : formats) {
      if (extension == format.extension) stem = dialogFileName.substr(0, lastDot);
    }
  }

  OutputChoice choice;
  choice.dialogFileName = !stem.empty() && stem.back() == '/' ? dialogFileName : stem;
  const bool listed = filterIndex >= 1 && filterIndex <= static_cast<int>(formats.size());
  const OutputFormat& format =
      listed ? formats[filterIndex - 1] : outputFormat(OutputKind::LScript);
  choice.outputPath = stem + std::string(format.extension);
  choice.outputKind = format.kind;
  return choice;
}

}  // namespace lobewright
