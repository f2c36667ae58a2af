#include "app/mesh_output.h"

#include <filesystem>
#include <memory>
#include <sstream>

#include "app/framed_picture.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "app/picture_renderer.h"
#include "app/svg_renderer.h"
#include "writers/ball_and_stick.h"
#include "writers/framed_pov_writer.h"
#include "writers/glb_writer.h"
#include "writers/html_writer.h"
#include "writers/lscript_writer.h"
#include "writers/obj_writer.h"
#include "writers/picture_sheet.h"
#include "writers/ply_writer.h"
#include "writers/pov_scene_writer.h"
#include "writers/stl_writer.h"

namespace lobewright {
namespace {

ConversionOutcome cannotOpen(const std::string& path, const std::string& reason) {
  return {ConversionStatus::cannotOpenOutput, withReason(kCannotOpenOutputMessage, path, reason)};
}

ConversionOutcome cannotWrite(const std::string& path, const std::string& reason) {
  return {ConversionStatus::cannotWriteOutput, withReason(kCannotWriteOutputMessage, path, reason)};
}

const ConversionOutcome kCancelled{ConversionStatus::cancelled, kCancelledMessage};

// Pixels a captioned picture keeps at least on each side; a smaller page has no caption.
constexpr int kLeastCaptionedSide = 16;

double aspectOf(int width, int height) { return static_cast<double>(width) / height; }

// A picture with a caption line under it: POV-Ray renders the picture above the line, librsvg the
// page.
PictureResult renderCaptioned(const ConversionSettings& settings, const OrbitalMesh& mesh,
                              const BallAndStickModel& structure, const std::string& caption,
                              const SurfaceColouring* colouring, std::stop_token stop,
                              const std::function<void(int)>& progress, std::ostream& out) {
  const PictureSettings& picture = settings.picture;
  const SheetGrid grid = sheetGrid(1, picture.width, picture.height, 1, false);
  PictureSheet sheet{picture.width, picture.height, grid.fontSize, {}, {sheetPanel(grid, 0)}};
  SheetPanel& panel = sheet.panels.front();
  panel.caption = {caption};
  FramedSceneOptions options =
      framedOptions(settings, structure, aspectOf(grid.pictureWidth, grid.pictureHeight));
  options.colouring = colouring;
  PictureResult rendered = renderFramedPicture(mesh, structure, options, grid.pictureWidth,
                                               grid.pictureHeight, stop, progress, panel.png);
  if (!rendered.succeeded()) return rendered;
  return renderSvg(pictureSheetSvg(sheet), picture.width, picture.height, stop, out);
}

// Writes one format's bytes to the stream; the .obj's material file is the caller's.
MeshWriteResult writeFormat(std::ostream& out, const ConversionSettings& settings,
                            const OrbitalMesh& mesh, const std::vector<CalculationAtom>& atoms,
                            const BallAndStickModel& structure, const MeshDecoration& decoration) {
  const SurfaceColouring* colouring = decoration.colouring;
  const LobeColours& colours = settings.picture.colours;
  const bool structureOn = settings.showStructure;
  switch (settings.outputKind) {
    case OutputKind::Gltf:
      return writeGlb(out, mesh, structure, {colours, structureOn, colouring, settings.quantized});
    case OutputKind::Obj: {
      ObjOptions options{colours, structureOn, {}, colouring};
      options.materialLibrary =
          std::filesystem::path(materialPathFor(settings.outputPath)).filename().string();
      return writeObj(out, mesh, structure, options);
    }
    case OutputKind::Ply:
      return writePly(out, mesh, structure, {colours, structureOn, colouring});
    case OutputKind::Stl:
      return writeStl(out, mesh, structure, {});
    case OutputKind::Html:
      return writeHtml(out, mesh, structure, {colours, structureOn, decoration.page, colouring});
    case OutputKind::PovRay:
      if (settings.picture.frame) {
        const PictureSettings& picture = settings.picture;
        FramedSceneOptions options =
            framedOptions(settings, structure, aspectOf(picture.width, picture.height));
        options.colouring = colouring;
        return writeFramedPovScene(out, mesh, structure, options);
      }
      PovSceneWriter(out).writeScene(sceneAtoms(atoms, settings.scale), mesh,
                                     sceneOptions(settings));
      return streamResult(out);
    case OutputKind::LScript:
      LScriptWriter(out).writeScript(sceneAtoms(atoms, settings.scale), mesh,
                                     sceneOptions(settings));
      return streamResult(out);
    case OutputKind::Cube:
    case OutputKind::Png:
      break;
  }
  return {"This format is not drawn from the surface."};
}

}  // namespace

std::string materialPathFor(const std::string& objPath) {
  std::filesystem::path path(objPath);
  std::string name = path.stem().string() + ".mtl";
  // OBJ separates the names on its lines by blanks.
  for (char& c : name) {
    if (c == ' ' || c == '\t') c = '_';
  }
  return (path.parent_path() / name).string();
}

namespace {

// Writes the format's bytes, and an .obj's material file, into files the caller commits; the
// outcome when they cannot be written. A write that fails throws (see OutputFile).
ConversionOutcome writeUncommitted(const ConversionSettings& settings, const OrbitalMesh& mesh,
                                   const std::vector<CalculationAtom>& atoms, std::stop_token stop,
                                   const std::function<void(int)>& progress,
                                   const MeshDecoration& decoration,
                                   std::unique_ptr<OutputFile>& output,
                                   std::unique_ptr<OutputFile>& materials) {
  const std::string& caption = decoration.caption;
  const SurfaceColouring* colouring = decoration.colouring;
  const BallAndStickModel structure = buildBallAndStick(atoms);
  const std::string& path = settings.outputPath;
  std::string error;
  output = OutputFile::open(path, error);
  if (!output) return cannotOpen(path, error);

  if (settings.outputKind == OutputKind::Png) {
    const PictureSettings& options = settings.picture;
    const SheetGrid captioned = sheetGrid(1, options.width, options.height, 1, false);
    PictureResult picture;
    // A caption needs room above it for a picture POV-Ray can render.
    if (!caption.empty() && captioned.pictureWidth >= kLeastCaptionedSide &&
        captioned.pictureHeight >= kLeastCaptionedSide) {
      picture = renderCaptioned(settings, mesh, structure, caption, colouring, stop, progress,
                                output->stream());
    } else {
      std::string png;
      FramedSceneOptions framed =
          framedOptions(settings, structure, aspectOf(options.width, options.height));
      framed.colouring = colouring;
      picture = renderFramedPicture(mesh, structure, framed, options.width, options.height, stop,
                                    progress, png);
      if (picture.succeeded()) output->stream() << png;
    }
    if (picture.cancelled) return kCancelled;
    if (!picture.succeeded() && !output->failure().empty()) {
      return cannotWrite(path, output->failure());
    }
    if (!picture.succeeded()) return {ConversionStatus::cannotWriteOutput, picture.error};
  } else if (const MeshWriteResult written =
                 writeFormat(output->stream(), settings, mesh, atoms, structure, decoration);
             !written.succeeded()) {
    return cannotWrite(path, written.error);
  }

  if (settings.outputKind == OutputKind::Obj) {
    const std::string materialPath = materialPathFor(path);
    materials = OutputFile::open(materialPath, error);
    if (!materials) return cannotOpen(materialPath, error);
    const ObjOptions options{settings.picture.colours, settings.showStructure, {}, colouring};
    if (const MeshWriteResult written = writeMtl(materials->stream(), mesh, structure, options);
        !written.succeeded()) {
      return cannotWrite(materialPath, written.error);
    }
  }
  return {};
}

}  // namespace

ConversionOutcome writeMeshOutput(const ConversionSettings& settings, const OrbitalMesh& mesh,
                                  const std::vector<CalculationAtom>& atoms, std::stop_token stop,
                                  const std::function<void(int)>& progress,
                                  const MeshDecoration& decoration) {
  const std::string& path = settings.outputPath;
  std::unique_ptr<OutputFile> output;
  std::unique_ptr<OutputFile> materials;
  try {
    const ConversionOutcome written =
        writeUncommitted(settings, mesh, atoms, stop, progress, decoration, output, materials);
    if (!written.succeeded()) return written;
  } catch (const std::ios_base::failure&) {
    if (stop.stop_requested()) return kCancelled;
    // The material file is opened once the mesh is written whole.
    return materials ? cannotWrite(materialPathFor(path), materials->failure())
                     : cannotWrite(path, output->failure());
  }
  if (stop.stop_requested()) return kCancelled;
  // An .obj and its .mtl are committed together: a failure of either leaves both as they were.
  std::vector<OutputFile*> files{output.get()};
  if (materials) files.push_back(materials.get());
  if (OutputFile::commitTogether(files)) return {};
  if (stop.stop_requested()) return kCancelled;
  return materials && !materials->failure().empty()
             ? cannotWrite(materialPathFor(path), materials->failure())
             : cannotWrite(path, output->failure());
}

}  // namespace lobewright
