#include "app/gallery_output.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/conversion.h"
#include "app/framed_picture.h"
#include "app/orbital_list.h"
#include "app/output_file.h"
#include "app/svg_renderer.h"
#include "input/number_text.h"
#include "writers/level_diagram_layout.h"
#include "writers/picture_sheet.h"
#include "writers/picture_view.h"

namespace lobewright {
namespace {

// Pixels a panel's picture keeps at least on each side.
constexpr int kLeastPanelSide = 16;

// The MO's row of the file's list, of the spin drawn.
std::optional<OrbitalRow> listedRow(const std::vector<OrbitalRow>& rows, int mo, Spin spin) {
  for (const OrbitalRow& row : rows) {
    if (row.number == mo && (row.spin == Spin::none || row.spin == spin)) return row;
  }
  return std::nullopt;
}

// "MO 37  HOMO  10a''" and "-9.07 eV": the panel's caption, with the isovalue found for an
// enclosed share on a third line.
std::vector<std::string> panelCaption(int mo, const std::optional<OrbitalRow>& row,
                                      const std::string& enclosing) {
  std::string name = "MO " + std::to_string(mo);
  std::vector<std::string> lines;
  if (row) {
    if (!row->frontier.empty()) name += "  " + row->frontier;
    if (!row->symmetry.empty()) name += "  " + row->symmetry;
    lines = {name, row->energy ? energyText(*row->energy) + " eV" : "energy unknown"};
  } else {
    lines = {name, ""};
  }
  if (!enclosing.empty()) lines.push_back(enclosing.substr(0, enclosing.find(" encloses")));
  return lines;
}

std::string galleryTitle(const LoadedInput& input, const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  std::string title = settings.spin == Spin::beta ? "Beta MOs of " : "MOs of ";
  title += std::filesystem::path(request.inputFile).filename().string();
  if (input.exact && !input.exact->method.empty()) title += " (" + input.exact->method + ")";
  if (settings.enclosedFraction) {
    return title + ", each surface enclosing " +
           printedNumber("%g", *settings.enclosedFraction * 100.0) + " % of psi^2";
  }
  return title + ", |psi| = " + printedNumber("%g", settings.threshold);
}

}  // namespace

ConversionOutcome drawGallery(LoadedInput& input, const ConversionRequest& request,
                              const std::vector<int>& mos, MessageSink& messages,
                              const ProgressCallback& progress) {
  const ConversionSettings& settings = request.settings;
  const PictureSettings& picture = settings.picture;
  // The rows give the captions; an input the exact model cannot read has captions of numbers.
  ConversionOutcome unread;
  const std::vector<OrbitalRow> rows =
      ensureExactCalculation(input, unread) ? orbitalRows(*input.exact) : std::vector<OrbitalRow>{};
  const int captionLines = settings.enclosedFraction ? 3 : 2;
  const auto count = static_cast<int>(mos.size());
  const SheetGrid grid = sheetGrid(count, picture.width, picture.height, captionLines, true);
  if (grid.pictureWidth < kLeastPanelSide || grid.pictureHeight < kLeastPanelSide) {
    return {ConversionStatus::unusableSettings,
            "A gallery of " + std::to_string(count) + " MOs needs a larger picture than " +
                std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                "; give a larger --size or fewer MOs."};
  }

  const std::string& path = settings.outputPath;
  std::string error;
  const std::unique_ptr<OutputFile> output = OutputFile::open(path, error, request.stop);
  if (!output) {
    return {ConversionStatus::cannotOpenOutput, withReason(kCannotOpenOutputMessage, path, error)};
  }

  std::vector<PictureSurface> surfaces;
  for (int i = 0; i < count; ++i) {
    ConversionRequest one = request;
    one.settings.moNumber = mos[static_cast<std::size_t>(i)];
    PictureSurface surface =
        drawPictureSurface(input, one, std::max(grid.pictureWidth, grid.pictureHeight),
                           progressShare(progress, 40 * i / count, 40 * (i + 1) / count));
    if (!surface.failure.succeeded()) return surface.failure;
    if (surface.mesh.positive.triangles.empty() && surface.mesh.negative.triangles.empty()) {
      messages.show(kWarningCaption,
                    "MO " + std::to_string(one.settings.moNumber) + ": " + kNoSurfaceMessage);
    }
    surfaces.push_back(std::move(surface));
  }

  const BallAndStickModel structure = buildBallAndStick(surfaces.front().atoms);
  const double aspect = static_cast<double>(grid.pictureWidth) / grid.pictureHeight;
  FramedSceneOptions options = framedOptions(settings, structure, aspect);
  PictureSubject subject{{}, &structure, settings.showStructure};
  for (const PictureSurface& surface : surfaces) subject.meshes.push_back(&surface.mesh);
  options.camera = pictureCamera(subject, picture.view, aspect);

  PictureSheet sheet{
      picture.width, picture.height, grid.fontSize, galleryTitle(input, request), {}};
  for (int i = 0; i < count; ++i) {
    const int mo = mos[static_cast<std::size_t>(i)];
    SheetPanel panel = sheetPanel(grid, i);
    panel.caption = panelCaption(mo, listedRow(rows, mo, settings.spin),
                                 surfaces[static_cast<std::size_t>(i)].enclosing);
    const PictureResult rendered = renderFramedPicture(
        surfaces[static_cast<std::size_t>(i)].mesh, structure, options, grid.pictureWidth,
        grid.pictureHeight, request.stop,
        progressShare(progress, 40 + 55 * i / count, 40 + 55 * (i + 1) / count), panel.png);
    if (rendered.cancelled) return {ConversionStatus::cancelled, kCancelledMessage};
    if (!rendered.succeeded()) return {ConversionStatus::cannotWriteOutput, rendered.error};
    sheet.panels.push_back(std::move(panel));
  }

  const PictureResult page = renderSvg(pictureSheetSvg(sheet), picture.width, picture.height,
                                       request.stop, output->stream());
  if (page.cancelled) return {ConversionStatus::cancelled, kCancelledMessage};
  if (!page.succeeded() && output->failure().empty()) {
    return {ConversionStatus::cannotWriteOutput, page.error};
  }
  // A write that failed leaves the commit to fail and say why.
  if (!output->commit()) {
    if (request.stop.stop_requested()) return {ConversionStatus::cancelled, kCancelledMessage};
    return {ConversionStatus::cannotWriteOutput,
            withReason(kCannotWriteOutputMessage, path, output->failure())};
  }
  progress(100);
  return {};
}

}  // namespace lobewright
