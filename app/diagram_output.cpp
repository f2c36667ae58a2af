#include "app/diagram_output.h"

#include <filesystem>
#include <memory>

#include "app/level_diagram_build.h"
#include "app/orbital_list.h"
#include "app/output_file.h"
#include "app/svg_renderer.h"
#include "writers/diagram_svg.h"
#include "writers/level_diagram_layout.h"

namespace lobewright {

ConversionOutcome drawLevelDiagram(const LoadedInput& input, const ConversionRequest& request,
                                   const DiagramChoice& choice) {
  const Calculation& calculation = *input.exact;
  std::string title =
      "MO energy levels of " + std::filesystem::path(request.inputFile).filename().string();
  if (!calculation.method.empty()) title += " (" + calculation.method + ")";
  LevelDiagramBuild build =
      buildLevelDiagram(orbitalRows(calculation), choice.selection, choice.spin, title);
  if (!build.diagram) {
    return {ConversionStatus::inputError, inputErrorMessage(request.inputFile, build.error)};
  }
  const PictureSettings& picture = request.settings.picture;
  DiagramStyle style;
  style.width = picture.width;
  style.height = picture.height;
  const std::string svg = diagramSvg(layOutDiagram(*build.diagram, style), title);

  const std::string& path = request.settings.outputPath;
  std::string error;
  const std::unique_ptr<OutputFile> output = OutputFile::open(path, error, request.stop);
  if (!output) {
    return {ConversionStatus::cannotOpenOutput, withReason(kCannotOpenOutputMessage, path, error)};
  }
  if (choice.svg) {
    try {
      output->stream() << svg;
    } catch (const std::ios_base::failure&) {
      // The commit below says why.
    }
  } else {
    const PictureResult rendered =
        renderSvg(svg, picture.width, picture.height, request.stop, output->stream());
    if (rendered.cancelled) return {ConversionStatus::cancelled, kCancelledMessage};
    if (!rendered.succeeded() && output->failure().empty()) {
      return {ConversionStatus::cannotWriteOutput, rendered.error};
    }
  }
  // A write that failed leaves the commit to fail and say why.
  if (!output->commit()) {
    if (request.stop.stop_requested()) return {ConversionStatus::cancelled, kCancelledMessage};
    return {ConversionStatus::cannotWriteOutput,
            withReason(kCannotWriteOutputMessage, path, output->failure())};
  }
  return {};
}

}  // namespace lobewright
